// The codecs' decoders on arbitrary data: byte 0 picks the codec, bytes 1-2
// the destination length, which is exactly the buffer's size. Unpacked in
// pieces, a stream never gives more than that, and what both ways unpack
// whole is the same.
#include "archive/codec.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct Stream {
    const uint8_t* data;
    uint32_t left;
    std::vector<uint8_t> out;
};

int Read(void* user, uint8_t* buffer, uint32_t size) {
    Stream* s = (Stream*)user;
    // Short reads, as a file may give them.
    uint32_t n = size < s->left ? size : s->left;
    if (n > 7) n = n / 2 + 1;
    memcpy(buffer, s->data, n);
    s->data += n, s->left -= n;
    return (int)n;
}

int Write(void* user, const uint8_t* data, uint32_t size) {
    Stream* s = (Stream*)user;
    s->out.insert(s->out.end(), data, data + size);
    return 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const int ids[] = {VKZ_CODEC_APLIB, VKZ_CODEC_UCL, VKZ_CODEC_MD5, VKZ_CODEC_BZIP2,
                              VKZ_CODEC_STORED};
    if (size < 3) return 0;
    VKZ_Codec* codec = VKZ_CreateCodec(ids[data[0] % 5]);
    uint32_t capacity = (uint32_t)data[1] << 8 | data[2];
    uint8_t* out = (uint8_t*)malloc(capacity ? capacity : 1);
    int n = codec->Decompress(data + 3, (uint32_t)(size - 3), out, capacity);
    if (n < -1 || (n >= 0 && (uint32_t)n > capacity)) abort();
    Stream s{data + 3, (uint32_t)(size - 3), {}};
    VKZ_StreamIO io{Read, Write, &s};
    int64_t streamed = codec->DecompressStream(&io, (uint32_t)(size - 3), capacity);
    if (s.out.size() > capacity || (streamed >= 0 && (size_t)streamed != s.out.size())) abort();
    if (n > 0 && streamed == n && memcmp(out, s.out.data(), (size_t)n) != 0) abort();
    free(out);
    delete codec;
    return 0;
}
