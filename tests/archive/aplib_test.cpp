#include "archive/aplib.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <tuple>
#include <vector>

using Bytes = std::vector<uint8_t>;

static Bytes Depack(const Bytes& in, uint32_t capacity, uint32_t* result) {
    Bytes out(capacity + 16, 0xEE); // guard bytes after the capacity
    *result = aPLibDepack(in.data(), (uint32_t)in.size(), out.data(), capacity);
    for (uint32_t i = capacity; i < capacity + 16; i++) EXPECT_EQ(out[i], 0xEE) << "overrun";
    out.resize(*result == APLIB_ERROR ? 0 : *result);
    return out;
}

static Bytes Pack(const Bytes& in) {
    static std::vector<uint8_t> work(aPLibWorkMemSize);
    Bytes out(in.size() + in.size() / 8 + 256);
    uint32_t n = aPLibPack(in.data(), out.data(), (uint32_t)in.size(), work.data(), nullptr);
    out.resize(n);
    return out;
}

// Writes streams command by command the way the depacker reads them.
struct Stream {
    Bytes bytes;
    size_t tag = 0;
    int left = 0;
    void Byte(uint8_t v) { bytes.push_back(v); }
    void Bit(int b) {
        if (!left) tag = bytes.size(), bytes.push_back(0), left = 8;
        left--;
        if (b) bytes[tag] |= (uint8_t)(1 << left);
    }
    void Bits(const char* s) {
        for (; *s; s++) Bit(*s == '1');
    }
    void Gamma(uint32_t v) {
        int top = 31 - __builtin_clz(v);
        for (int k = top - 1; k >= 0; k--) Bit((v >> k) & 1), Bit(k > 0);
    }
    void Literal(uint8_t v) { Bit(0), Byte(v); }
    void End() { Bits("110"), Byte(0); }
};

TEST(APLibDepack, ReferenceVectors) {
    uint32_t n;
    EXPECT_EQ(Depack({0x41, 0xC0, 0x00}, 16, &n), Bytes({0x41}));
    EXPECT_EQ(n, 1u);
    EXPECT_EQ(Depack({0x41, 0xD8, 0x03, 0x00}, 16, &n), Bytes({0x41, 0x41, 0x41, 0x41}));
    EXPECT_EQ(n, 4u);
    // Tag bits 111 0000: the single-byte code writes a zero.
    EXPECT_EQ(Depack({0x41, 0xE1, 0x80, 0x00}, 16, &n), Bytes({0x41, 0x00}));
    // Tag bits 111 0010: the byte two back.
    EXPECT_EQ(Depack({0x41, 0x72, 0x42, 0xC0, 0x00}, 16, &n), Bytes({0x41, 0x42, 0x41}));
    // A short match with offset 0 ends the stream whatever its low bit;
    // anything after the marker is ignored.
    EXPECT_EQ(Depack({0x41, 0xC0, 0x01, 0xFF, 0xFF}, 16, &n), Bytes({0x41}));
}

TEST(APLibDepack, GammaTwoMeansRepeatOnlyAfterALiteral) {
    // After a match, gamma 2 is an explicit offset with high part 0.
    Stream s;
    s.Byte('a');
    for (char c : std::string("bcdef")) s.Literal((uint8_t)c);
    s.Bits("110"), s.Byte(3 << 1 | 1);               // short match: offset 3, length 3 -> "def"
    s.Bits("10"), s.Gamma(2), s.Byte(6), s.Gamma(2); // offset 6, length 2 + 2
    s.End();
    uint32_t n;
    EXPECT_EQ(Depack(s.bytes, 64, &n),
              Bytes({'a', 'b', 'c', 'd', 'e', 'f', 'd', 'e', 'f', 'd', 'e', 'f', 'd'}));

    // After a literal, gamma 2 repeats the last offset (3), length unadjusted.
    Stream r;
    r.Byte('a');
    for (char c : std::string("bcdef")) r.Literal((uint8_t)c);
    r.Bits("110"), r.Byte(3 << 1 | 0); // offset 3, length 2 -> "de"
    r.Literal('x');
    r.Bits("10"), r.Gamma(2), r.Gamma(3); // repeat offset 3, length 3 -> "dex"
    r.End();
    EXPECT_EQ(Depack(r.bytes, 64, &n),
              Bytes({'a', 'b', 'c', 'd', 'e', 'f', 'd', 'e', 'x', 'd', 'e', 'x'}));

    // A single-byte code leaves the offset alone and also opens a repeat.
    Stream t;
    t.Byte('a'), t.Literal('b'), t.Literal('c');
    t.Bits("110"), t.Byte(2 << 1 | 0); // offset 2 -> "bc"
    t.Bits("1110001");                 // one back: 'c'
    t.Bits("10"), t.Gamma(2), t.Gamma(2);
    t.End();
    EXPECT_EQ(Depack(t.bytes, 64, &n), Bytes({'a', 'b', 'c', 'b', 'c', 'c', 'c', 'c'}));
}

TEST(APLibDepack, LengthAdjustsByOffset) {
    struct Case {
        uint32_t offset, coded, expect;
    } cases[] = {{127, 2, 4},  {128, 2, 2},   {1279, 2, 2},
                 {1280, 2, 3}, {31999, 2, 3}, {32000, 2, 4}};
    for (const Case& c : cases) {
        Stream s;
        s.Byte(1);
        for (uint32_t i = 1; i < c.offset; i++) s.Literal((uint8_t)(i * 7));
        s.Bits("10"), s.Gamma((c.offset >> 8) + 3), s.Byte(c.offset & 255), s.Gamma(c.coded);
        s.End();
        uint32_t n;
        Bytes out = Depack(s.bytes, c.offset + 16, &n);
        ASSERT_EQ(n, c.offset + c.expect) << c.offset;
        for (uint32_t i = 0; i < c.expect; i++) EXPECT_EQ(out[c.offset + i], out[i]);
    }
}

TEST(APLibDepack, DamagedStreamsFailInsideTheirBuffers) {
    uint32_t n;
    // Out of room by one byte, then exactly enough.
    Bytes four = {0x41, 0xD8, 0x03, 0x00};
    Depack(four, 3, &n);
    EXPECT_EQ(n, APLIB_ERROR);
    Depack(four, 4, &n);
    EXPECT_EQ(n, 4u);
    Depack({0x41}, 0, &n);
    EXPECT_EQ(n, APLIB_ERROR);

    // Every proper prefix of a valid stream runs out of input.
    Bytes text(3000);
    for (size_t i = 0; i < text.size(); i++)
        text[i] = (uint8_t)("stream of words "[i % 16] + i / 700);
    Bytes packed = Pack(text);
    for (size_t cut = 0; cut < packed.size(); cut++) {
        Bytes prefix(packed.begin(), packed.begin() + cut);
        Depack(prefix, (uint32_t)text.size(), &n);
        ASSERT_EQ(n, APLIB_ERROR) << cut;
    }

    // An offset reaching before the output, a repeat before any offset, a
    // single-byte code before there is a byte that far back, and endless
    // gamma continuation bits.
    Stream far;
    far.Byte(1), far.Bits("10"), far.Gamma(3), far.Byte(5), far.Gamma(2), far.End();
    Stream rep;
    rep.Byte(1), rep.Bits("10"), rep.Gamma(2), rep.Gamma(2), rep.End();
    Stream single;
    single.Byte(1), single.Bits("1110010"), single.End();
    for (const Bytes& bad : {far.bytes, rep.bytes, single.bytes, Bytes(64, 0xFF)}) {
        Depack(bad, 1 << 16, &n);
        EXPECT_EQ(n, APLIB_ERROR);
    }

    // Random garbage never escapes its buffers (the guard bytes are checked).
    std::mt19937 rng(1);
    for (int round = 0; round < 2000; round++) {
        Bytes junk(1 + rng() % 64);
        for (auto& b : junk) b = (uint8_t)rng();
        Depack(junk, rng() % 200, &n);
    }
}

TEST(APLibPack, RefusesTinyInputs) {
    std::vector<uint8_t> work(aPLibWorkMemSize);
    uint8_t in[2] = {1, 2}, out[300];
    EXPECT_EQ(aPLibPack(in, out, 0, work.data(), nullptr), 0u);
    EXPECT_EQ(aPLibPack(in, out, 1, work.data(), nullptr), 0u);
    EXPECT_EQ(aPLibPack(in, out, 2, nullptr, nullptr), 0u);
    EXPECT_EQ(aPLibPack(nullptr, out, 2, work.data(), nullptr), 0u);
    EXPECT_GT(aPLibPack(in, out, 2, work.data(), nullptr), 0u);
}

TEST(APLibPack, FourEqualBytesPackToTheReferenceStream) {
    EXPECT_EQ(Pack({0x41, 0x41, 0x41, 0x41}), Bytes({0x41, 0xD8, 0x03, 0x00}));
}

static Bytes Sample(int kind, size_t size, uint32_t seed) {
    std::mt19937 rng(seed);
    Bytes d(size);
    for (size_t i = 0; i < size; i++) {
        switch (kind) {
        case 0:
            d[i] = (uint8_t)rng();
            break; // noise
        case 1:
            d[i] = 0;
            break; // one value
        case 2:
            d[i] = (uint8_t) "lorem ipsum dolor "[rng() % 18];
            break; // text-like
        case 3:
            d[i] = (uint8_t)(i % 12 < 4 ? i / 12 : i % 12);
            break; // records
        default:
            d[i] = (uint8_t)(rng() % 3 ? d[i ? i - 1 : 0] : rng() % 4);
            break;
        }
    }
    if (kind == 4 && size > 40000) { // a far repeat beyond the window
        std::copy(d.begin(), d.begin() + 2000, d.end() - 2000);
    }
    return d;
}

// Round trips through sizes around the segment length and beyond 64 KiB;
// output stays within the common bound and ends with the 00 marker.
TEST(APLibPack, RoundTripsVariedData) {
    size_t sizes[] = {2, 3, 15, 16, 17, 255, 4095, 4096, 4097, 5000, 70000, 140000};
    for (int kind = 0; kind < 5; kind++)
        for (size_t size : sizes) {
            // The large sizes only where they are quick to pack.
            if (size > 5000 && size != (kind == 4 ? 70000u : 140000u)) continue;
            if (size > 5000 && kind == 2) continue;
            Bytes in = Sample(kind, size, (uint32_t)(kind * 100 + size));
            Bytes packed = Pack(in);
            ASSERT_GT(packed.size(), 0u);
            ASSERT_LE(packed.size(), size + size / 8 + 256);
            EXPECT_EQ(packed.back(), 0);
            uint32_t n;
            Bytes back = Depack(packed, (uint32_t)size, &n);
            ASSERT_EQ(n, size) << "kind " << kind << " size " << size;
            ASSERT_TRUE(back == in) << "kind " << kind << " size " << size;
            if (kind == 1) {
                EXPECT_LE(packed.size(), 12u); // a run is one match however long
            }
        }
}

// The cheapest stream in bits, found by a search over every state
// (position, repeat offset, last command a match) with every match.
static uint32_t OptimalBits(const Bytes& in) {
    auto gamma = [](uint32_t v) { return 2 * (31 - __builtin_clz(v)); };
    std::map<std::tuple<uint32_t, uint32_t, int>, uint32_t> best;
    best[{1, 0, 0}] = 8;
    uint32_t n = (uint32_t)in.size(), result = ~0u;
    for (auto it = best.begin(); it != best.end(); ++it) { // ordered by position
        auto [p, rep, afterMatch] = it->first;
        uint32_t cost = it->second;
        auto offer = [&](uint32_t q, uint32_t r, int m, uint32_t c) {
            auto [slot, fresh] = best.try_emplace({q, r, m}, c);
            if (!fresh && c < slot->second) slot->second = c;
        };
        if (p == n) {
            result = std::min(result, cost + 11);
            continue;
        }
        bool single = in[p] == 0;
        for (uint32_t o = 1; o <= 15 && o <= p; o++) single |= in[p - o] == in[p];
        offer(p + 1, rep, 0, cost + (single ? 7 : 9));
        for (uint32_t o = 1; o <= p; o++) {
            uint32_t len = 0;
            while (p + len < n && in[p + len] == in[p - o + len]) len++;
            for (uint32_t l = 2; l <= len; l++) {
                if (!afterMatch && o == rep) offer(p + l, o, 1, cost + 4 + gamma(l));
                if (o < 128 && l <= 3) {
                    offer(p + l, o, 1, cost + 11);
                    continue;
                }
                uint32_t adjust = o >= 32000 ? 2 : o >= 1280 ? 1 : o < 128 ? 2 : 0;
                if (l >= adjust + 2)
                    offer(p + l, o, 1,
                          cost + 10 + gamma((o >> 8) + (afterMatch ? 2 : 3)) + gamma(l - adjust));
            }
        }
    }
    return result;
}

TEST(APLibPack, MatchesTheExhaustiveOptimum) {
    std::mt19937 rng(5);
    for (int round = 0; round < 60; round++) {
        Bytes in(8 + rng() % 120);
        int alphabet = 2 + round % 4;
        for (auto& b : in) b = (uint8_t)('a' + rng() % alphabet);
        if (round % 3 == 0) // long-range structure for repeat offsets
            for (size_t i = 20; i < in.size(); i++)
                if (rng() % 4) in[i] = in[i - 20];
        uint32_t bits = OptimalBits(in);
        Bytes packed = Pack(in);
        // Bytes = data bytes + tag bytes; rounding the tag bits costs < 1.
        EXPECT_LE(packed.size(), (bits + 7) / 8 + 1) << "round " << round;
    }
}

TEST(APLibPack, FindsDistantCopiesAcrossLongRuns) {
    // Runs of zeros with a marker after each, the whole block twice. Every
    // position of an earlier run sits on the two-byte chains, so a search that
    // walks them one by one runs out of depth long before it reaches the first
    // copy; the second copy should cost one long match, a few bytes.
    Bytes block;
    std::mt19937 rng(1);
    for (int marker = 1; block.size() < 1400; marker++) {
        block.insert(block.end(), 50 + rng() % 200, 0);
        block.push_back((uint8_t)marker);
    }
    Bytes twice = block;
    twice.insert(twice.end(), block.begin(), block.end());
    size_t once = Pack(block).size(), both = Pack(twice).size();
    EXPECT_LE(both, once + 5);
    uint32_t result = 0;
    EXPECT_EQ(Depack(Pack(twice), (uint32_t)twice.size(), &result), twice);
}

TEST(APLibPack, ReachesBackOverTheWholeInput) {
    // Noise, then its first 8 KiB again 200 KiB later: one match.
    Bytes in = Sample(0, 200000, 7);
    in.insert(in.end(), in.begin(), in.begin() + 8192);
    Bytes packed = Pack(in);
    EXPECT_LE(packed.size(), Pack(Bytes(in.begin(), in.end() - 8192)).size() + 12);
    uint32_t n;
    EXPECT_EQ(Depack(packed, (uint32_t)in.size(), &n), in);
}

TEST(APLibPack, RoundTripsSlowlyVaryingData) {
    // A random walk: short matches everywhere, many near 64 KiB back, where
    // an earlier packer wrote matches whose bytes differed.
    std::mt19937 rng(33);
    Bytes in(100000);
    uint8_t v = 0;
    for (auto& b : in) {
        uint32_t r = rng();
        b = v = (uint8_t)(v + ((r & 3) == 0) - ((r >> 2 & 3) == 0));
    }
    uint32_t n;
    EXPECT_EQ(Depack(Pack(in), (uint32_t)in.size(), &n), in);
}
