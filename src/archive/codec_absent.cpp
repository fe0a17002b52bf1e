// The UCL and bzip2 members where their libraries are not built (the web
// build): they pack and unpack nothing, and say why once, so an archive
// packed with them fails with a reason rather than silently.
#include "archive/codecs.h"

#include <cstdio>

static int Absent(const char* name) {
    static int told[2] = {0, 0};
    int& once = told[name[0] == 'u' ? 0 : 1];
    if (!once)
        fprintf(stderr,
                "an archive entry is packed with %s, which this build cannot unpack (it has "
                "aplib and stored); pack the archive again with zelkor vkz create --codec aplib\n",
                name);
    once = 1;
    return -1;
}

int VKZ_CodecUCL::Compress(const void*, uint32_t, void*) {
    return Absent("ucl");
}

int VKZ_CodecUCL::Decompress(const void*, uint32_t, void*, uint32_t) {
    return Absent("ucl");
}

int VKZ_CodecBzip2::Compress(const void*, uint32_t, void*) {
    return Absent("bzip2");
}

int VKZ_CodecBzip2::Decompress(const void*, uint32_t, void*, uint32_t) {
    return Absent("bzip2");
}

int64_t VKZ_CodecBzip2::DecompressStream(VKZ_StreamIO*, uint32_t, uint32_t) {
    return Absent("bzip2");
}
