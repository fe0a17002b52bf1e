// aPLib depacker. Tag bits are taken most significant first; a tag byte is
// fetched from the input when a bit is wanted and the last one is used up, so
// tag and data bytes share one stream. Every input fetch and every output write
// is checked against its buffer: damaged data fails, it cannot overrun.
#include "archive/aplib.h"

#include <cstddef>
#include <cstring>

uint32_t aPLibDepack(const void* source, uint32_t sourceLength, void* destination,
                     uint32_t capacity) {
    if (capacity == APLIB_ERROR) capacity--; // keep the error value out of range
    const uint8_t* in = (const uint8_t*)source;
    const uint8_t* const inEnd = in + sourceLength;
    uint8_t* const outStart = (uint8_t*)destination;
    uint8_t* out = outStart;
    uint8_t* const outEnd = outStart + capacity;
    uint32_t tag = 0, bitsLeft = 0;
    uint32_t lastOffset = 0; // 0: no match has set one yet
    int lastWasMatch = 0;

#define AP_BYTE(v)                                                                                 \
    do {                                                                                           \
        if (in == inEnd) return APLIB_ERROR;                                                       \
        (v) = *in++;                                                                               \
    } while (0)
#define AP_BIT(v)                                                                                  \
    do {                                                                                           \
        if (!bitsLeft) {                                                                           \
            AP_BYTE(tag);                                                                          \
            bitsLeft = 8;                                                                          \
        }                                                                                          \
        bitsLeft--;                                                                                \
        (v) = (tag >> bitsLeft) & 1;                                                               \
    } while (0)
// Gamma numbers above 2^31 cannot describe anything that fits; treat as damage.
#define AP_GAMMA(v)                                                                                \
    do {                                                                                           \
        uint32_t bit_, more_;                                                                      \
        (v) = 1;                                                                                   \
        do {                                                                                       \
            if ((v)&0x80000000u) return APLIB_ERROR;                                               \
            AP_BIT(bit_);                                                                          \
            (v) = (v)*2 + bit_;                                                                    \
            AP_BIT(more_);                                                                         \
        } while (more_);                                                                           \
    } while (0)

    if (out == outEnd) return APLIB_ERROR;
    AP_BYTE(*out);
    out++;

    for (;;) {
        uint32_t bit, offset, length;
        AP_BIT(bit);
        if (!bit) { // 0: literal
            if (out == outEnd) return APLIB_ERROR;
            AP_BYTE(*out);
            out++;
            lastWasMatch = 0;
            continue;
        }
        AP_BIT(bit);
        if (!bit) { // 10: gamma-coded offset, or the repeat offset
            uint32_t high;
            AP_GAMMA(high);
            high -= lastWasMatch ? 1 : 2;
            lastWasMatch = 1;
            if (high == 0) {
                offset = lastOffset;
                AP_GAMMA(length);
            } else {
                if (high - 1 >= (1u << 24)) return APLIB_ERROR;
                uint32_t low;
                AP_BYTE(low);
                offset = (high - 1) * 256 + low;
                lastOffset = offset;
                AP_GAMMA(length);
                if (offset >= 32000)
                    length += 2;
                else if (offset >= 1280)
                    length += 1;
                else if (offset < 128)
                    length += 2;
            }
        } else {
            AP_BIT(bit);
            if (!bit) { // 110: short match, or the end marker
                uint32_t x;
                AP_BYTE(x);
                offset = x >> 1;
                if (!offset) break;
                length = 2 + (x & 1);
                lastOffset = offset;
                lastWasMatch = 1;
            } else { // 111: one byte from up to 15 back, or a zero
                uint32_t o = 0;
                for (int i = 0; i < 4; i++) {
                    AP_BIT(bit);
                    o = o * 2 + bit;
                }
                if (out == outEnd) return APLIB_ERROR;
                if (o) {
                    if (o > (uint32_t)(out - outStart)) return APLIB_ERROR;
                    *out = out[-(ptrdiff_t)o];
                } else {
                    *out = 0;
                }
                out++;
                lastWasMatch = 0;
                continue;
            }
        }

        // Back-reference: bytes go lowest address first, so an offset below the
        // length repeats the last `offset` bytes as a pattern.
        if (offset == 0 || offset > (uint32_t)(out - outStart)) return APLIB_ERROR;
        if (length > (uint32_t)(outEnd - out)) return APLIB_ERROR;
        const uint8_t* from = out - offset;
        if (offset >= 8 && (uint32_t)(outEnd - out) - length >= 8) {
            // Eight at a time; may write up to 7 bytes past the match, which the
            // room check above keeps inside the buffer and later output overwrites.
            uint8_t* stop = out + length;
            do {
                memcpy(out, from, 8);
                out += 8;
                from += 8;
            } while (out < stop);
            out = stop;
        } else {
            while (length--) *out++ = *from++;
        }
    }
#undef AP_BYTE
#undef AP_BIT
#undef AP_GAMMA
    return (uint32_t)(out - outStart);
}
