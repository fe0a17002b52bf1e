// The codecs' decoders on arbitrary data: byte 0 picks the codec, bytes 1-2
// the destination length, which is exactly the buffer's size.
#include "archive/codec.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const int ids[] = {VKZ_CODEC_APLIB, VKZ_CODEC_UCL, VKZ_CODEC_MD5, VKZ_CODEC_BZIP2,
                              VKZ_CODEC_STORED};
    if (size < 3) return 0;
    VKZ_Codec* codec = VKZ_CreateCodec(ids[data[0] % 5]);
    uint32_t capacity = (uint32_t)data[1] << 8 | data[2];
    uint8_t* out = (uint8_t*)malloc(capacity ? capacity : 1);
    int n = codec->Decompress(data + 3, (uint32_t)(size - 3), out, capacity);
    if (n < -1 || (n >= 0 && (uint32_t)n > capacity)) abort();
    free(out);
    delete codec;
    return 0;
}
