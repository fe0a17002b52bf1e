// aPLib packer (first cut: literals only, replaced by the optimal parse).
#include "archive/aplib.h"

uint32_t aPLibPack(const void* source, void* destination, uint32_t length, void* workMem,
                   aPLibProgress) {
    if (!source || !destination || !workMem || length < 2) return 0;
    const uint8_t* in = (const uint8_t*)source;
    uint8_t* out = (uint8_t*)destination;
    uint32_t o = 0, tagPos = 0, bits = 0;
    auto bit = [&](int b) {
        if (!bits) {
            tagPos = o++;
            out[tagPos] = 0;
            bits = 8;
        }
        bits--;
        if (b) out[tagPos] |= (uint8_t)(1 << bits);
    };
    out[o++] = in[0];
    for (uint32_t i = 1; i < length; i++) {
        bit(0);
        out[o++] = in[i];
    }
    bit(1), bit(1), bit(0);
    out[o++] = 0;
    return o;
}
