// aPLib depacker. Tag bits are taken most significant first; a tag byte is
// fetched from the input when a bit is wanted and the last one is used up, so
// tag and data bytes share one stream. Every input fetch and every output write
// is checked against its buffer: damaged data fails, it cannot overrun.
//
// Speed: while more than `slack` input bytes remain, no single command can run
// out of input (its gamma codes are capped at 32 bits), so the main loop skips
// the per-byte input test and only the last few commands go through the
// checked loop. Output room is always checked, once per command.
#include "archive/aplib.h"

#include <cstddef>
#include <cstring>

namespace {

enum : uint32_t { slack = 24 }; // most input one command can take: 2 x 8 gamma bytes + 2

struct State {
    const uint8_t* in;
    const uint8_t* inEnd;
    uint8_t* out;
    uint8_t* outStart;
    uint8_t* outEnd;
    uint32_t tag; // bits left-aligned, then a marker bit; exactly the marker: empty
    uint32_t lastOffset;
    int lastWasMatch;
};

enum Step { stepGo, stepEnd, stepError, stepSlow };

// Gamma codes that end within the current tag byte, looked up from the top 9
// bits of the tag register (up to 8 tag bits, then the marker bit): the value
// and the bits it takes, or 0 bits when the code runs on into the next byte.
struct GammaEntry {
    uint8_t value, bits;
};
struct GammaTable {
    GammaEntry e[512];
    constexpr GammaTable() : e{} {
        for (uint32_t key = 1; key < 512; key++) {
            int available = 8 - __builtin_ctz(key); // bits before the marker
            uint32_t v = 1;
            for (int used = 0; used + 2 <= available; used += 2) {
                uint32_t bit = key >> (8 - used) & 1, more = key >> (7 - used) & 1;
                v = v * 2 + bit;
                if (!more) {
                    e[key] = GammaEntry{(uint8_t)v, (uint8_t)(used + 2)};
                    break;
                }
            }
        }
    }
};
constexpr GammaTable gammaTable;

// Copies a back-reference, lowest address first, so an offset below the length
// repeats the last `offset` bytes as a pattern.
inline bool Copy(uint8_t*& outRef, uint8_t* outStart, uint8_t* outEnd, uint32_t offset,
                 uint32_t length) {
    uint8_t* out = outRef;
    if (offset == 0 || offset > (uint32_t)(out - outStart)) return false;
    uint32_t room = (uint32_t)(outEnd - out);
    if (length > room) return false;
    const uint8_t* from = out - offset;
    if (offset >= 8 && room - length >= 8) {
        // Eight at a time; may write up to 7 bytes past the match, inside the
        // buffer, which later output overwrites.
        uint8_t* stop = out + length;
        do {
            memcpy(out, from, 8);
            out += 8;
            from += 8;
        } while (out < stop);
        outRef = stop;
    } else if (offset == 1) {
        memset(out, out[-1], length);
        outRef = out + length;
    } else {
        while (length--) *out++ = *from++;
        outRef = out;
    }
    return true;
}

// Decodes commands until the end marker, an error, or (when unchecked) until
// the input comes within `slack` bytes of its end.
// State lives in locals while running: output writes may alias anything, so
// fields read through a reference would be reloaded after every byte.
template <bool Checked> Step Run(State& st) {
    const uint8_t* in = st.in;
    const uint8_t* const inEnd = st.inEnd;
    uint8_t* out = st.out;
    uint8_t* const outStart = st.outStart;
    uint8_t* const outEnd = st.outEnd;
    uint32_t tag = st.tag, lastOffset = st.lastOffset;
    int lastWasMatch = st.lastWasMatch;
    Step result;

#define AP_BYTE(v)                                                                                 \
    do {                                                                                           \
        if (Checked && in == inEnd) goto fail;                                                     \
        (v) = *in++;                                                                               \
    } while (0)
#define AP_BIT(v)                                                                                  \
    do {                                                                                           \
        if (Checked) {                                                                             \
            if (tag == 0x80000000u) {                                                              \
                uint32_t byte_;                                                                    \
                AP_BYTE(byte_);                                                                    \
                tag = byte_ << 24 | 0x00800000u;                                                   \
            }                                                                                      \
        } else {                                                                                   \
            uint32_t empty_ = tag == 0x80000000u;                                                  \
            uint32_t fresh_ = (uint32_t)*in << 24 | 0x00800000u;                                   \
            tag = empty_ ? fresh_ : tag;                                                           \
            in += empty_;                                                                          \
        }                                                                                          \
        (v) = tag >> 31;                                                                           \
        tag <<= 1;                                                                                 \
    } while (0)
// Gamma numbers above 2^31 cannot describe anything that fits; treat as damage.
#define AP_GAMMA(v)                                                                                \
    do {                                                                                           \
        GammaEntry e_ = gammaTable.e[tag >> 23];                                                   \
        if (e_.bits) {                                                                             \
            (v) = e_.value;                                                                        \
            tag <<= e_.bits;                                                                       \
            break;                                                                                 \
        }                                                                                          \
        uint32_t bit_, more_;                                                                      \
        (v) = 1;                                                                                   \
        do {                                                                                       \
            if ((v)&0x80000000u) goto fail;                                                        \
            AP_BIT(bit_);                                                                          \
            (v) = (v)*2 + bit_;                                                                    \
            AP_BIT(more_);                                                                         \
        } while (more_);                                                                           \
    } while (0)

    for (;;) {
        if (!Checked && (size_t)(inEnd - in) < slack) {
            result = stepSlow;
            break;
        }
        uint32_t bit, offset, length;
        if (!Checked) {
            // A run of 0 bits is a run of literals: copy them at once.
            if (tag == 0x80000000u) tag = (uint32_t)*in++ << 24 | 0x00800000u;
            if (!(tag >> 31)) {
                uint32_t n = (uint32_t)__builtin_clz(tag);
                if ((size_t)(outEnd - out) < 8) {
                    if ((size_t)(outEnd - out) < n) goto fail;
                    for (uint32_t i = 0; i < n; i++) out[i] = in[i];
                } else {
                    memcpy(out, in, 8);
                }
                out += n;
                in += n;
                tag <<= n;
                lastWasMatch = 0;
                continue;
            }
        }
        AP_BIT(bit);
        if (!bit) { // 0: literal
            if (out == outEnd) goto fail;
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
                offset = lastOffset; // 0 before any match: refused by Copy
                AP_GAMMA(length);
            } else {
                if (high - 1 >= (1u << 24)) goto fail;
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
                if (!offset) {
                    result = stepEnd;
                    break;
                }
                length = 2 + (x & 1);
                lastOffset = offset;
                lastWasMatch = 1;
            } else { // 111: one byte from up to 15 back, or a zero
                uint32_t o = 0;
                for (int i = 0; i < 4; i++) {
                    AP_BIT(bit);
                    o = o * 2 + bit;
                }
                if (out == outEnd) goto fail;
                if (o) {
                    if (o > (uint32_t)(out - outStart)) goto fail;
                    *out = out[-(ptrdiff_t)o];
                } else {
                    *out = 0;
                }
                out++;
                lastWasMatch = 0;
                continue;
            }
        }
        if (!Copy(out, outStart, outEnd, offset, length)) goto fail;
    }
    st.in = in;
    st.out = out;
    st.tag = tag;
    st.lastOffset = lastOffset;
    st.lastWasMatch = lastWasMatch;
    return result;
fail:
    return stepError;
#undef AP_BYTE
#undef AP_BIT
#undef AP_GAMMA
}

} // namespace

uint32_t aPLibDepack(const void* source, uint32_t sourceLength, void* destination,
                     uint32_t capacity) {
    if (capacity == APLIB_ERROR) capacity--; // keep the error value out of range
    State st;
    st.in = (const uint8_t*)source;
    st.inEnd = st.in + sourceLength;
    st.outStart = st.out = (uint8_t*)destination;
    st.outEnd = st.outStart + capacity;
    st.tag = 0x80000000u; // no tag byte loaded yet
    st.lastOffset = 0;
    st.lastWasMatch = 0;

    // The stream starts with a plain byte.
    if (st.in == st.inEnd || st.out == st.outEnd) return APLIB_ERROR;
    *st.out++ = *st.in++;

    Step step = Run<false>(st);
    if (step == stepSlow) step = Run<true>(st);
    if (step != stepEnd) return APLIB_ERROR;
    return (uint32_t)(st.out - st.outStart);
}
