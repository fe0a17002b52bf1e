// MD5 after RFC 1321. The block function is written out round by round with
// the usual shortcuts (F and G as bit selects) so the compiler keeps all four
// chaining words and the sixteen message words in registers.
#include "archive/md5.h"

#include <cstring>

namespace {

inline uint32_t Rol(uint32_t x, int s) {
    return (x << s) | (x >> (32 - s));
}
inline uint32_t Load32(const uint8_t* p) {
    return (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
}

#define MD5_F(x, y, z) ((z) ^ ((x) & ((y) ^ (z))))
#define MD5_G(x, y, z) ((y) ^ ((z) & ((x) ^ (y))))
#define MD5_H(x, y, z) ((x) ^ (y) ^ (z))
#define MD5_I(x, y, z) ((y) ^ ((x) | ~(z)))
#define MD5_STEP(f, a, b, c, d, x, t, s)                                                           \
    a += f(b, c, d) + (x) + (t);                                                                   \
    a = Rol(a, s) + b;

void Transform(uint32_t st[4], const uint8_t* block, size_t blocks) {
    uint32_t a = st[0], b = st[1], c = st[2], d = st[3];
    for (; blocks; blocks--, block += 64) {
        uint32_t x[16];
        for (int i = 0; i < 16; i++) x[i] = Load32(block + 4 * i);
        const uint32_t aa = a, bb = b, cc = c, dd = d;

        MD5_STEP(MD5_F, a, b, c, d, x[0], 0xd76aa478, 7)
        MD5_STEP(MD5_F, d, a, b, c, x[1], 0xe8c7b756, 12)
        MD5_STEP(MD5_F, c, d, a, b, x[2], 0x242070db, 17)
        MD5_STEP(MD5_F, b, c, d, a, x[3], 0xc1bdceee, 22)
        MD5_STEP(MD5_F, a, b, c, d, x[4], 0xf57c0faf, 7)
        MD5_STEP(MD5_F, d, a, b, c, x[5], 0x4787c62a, 12)
        MD5_STEP(MD5_F, c, d, a, b, x[6], 0xa8304613, 17)
        MD5_STEP(MD5_F, b, c, d, a, x[7], 0xfd469501, 22)
        MD5_STEP(MD5_F, a, b, c, d, x[8], 0x698098d8, 7)
        MD5_STEP(MD5_F, d, a, b, c, x[9], 0x8b44f7af, 12)
        MD5_STEP(MD5_F, c, d, a, b, x[10], 0xffff5bb1, 17)
        MD5_STEP(MD5_F, b, c, d, a, x[11], 0x895cd7be, 22)
        MD5_STEP(MD5_F, a, b, c, d, x[12], 0x6b901122, 7)
        MD5_STEP(MD5_F, d, a, b, c, x[13], 0xfd987193, 12)
        MD5_STEP(MD5_F, c, d, a, b, x[14], 0xa679438e, 17)
        MD5_STEP(MD5_F, b, c, d, a, x[15], 0x49b40821, 22)

        MD5_STEP(MD5_G, a, b, c, d, x[1], 0xf61e2562, 5)
        MD5_STEP(MD5_G, d, a, b, c, x[6], 0xc040b340, 9)
        MD5_STEP(MD5_G, c, d, a, b, x[11], 0x265e5a51, 14)
        MD5_STEP(MD5_G, b, c, d, a, x[0], 0xe9b6c7aa, 20)
        MD5_STEP(MD5_G, a, b, c, d, x[5], 0xd62f105d, 5)
        MD5_STEP(MD5_G, d, a, b, c, x[10], 0x02441453, 9)
        MD5_STEP(MD5_G, c, d, a, b, x[15], 0xd8a1e681, 14)
        MD5_STEP(MD5_G, b, c, d, a, x[4], 0xe7d3fbc8, 20)
        MD5_STEP(MD5_G, a, b, c, d, x[9], 0x21e1cde6, 5)
        MD5_STEP(MD5_G, d, a, b, c, x[14], 0xc33707d6, 9)
        MD5_STEP(MD5_G, c, d, a, b, x[3], 0xf4d50d87, 14)
        MD5_STEP(MD5_G, b, c, d, a, x[8], 0x455a14ed, 20)
        MD5_STEP(MD5_G, a, b, c, d, x[13], 0xa9e3e905, 5)
        MD5_STEP(MD5_G, d, a, b, c, x[2], 0xfcefa3f8, 9)
        MD5_STEP(MD5_G, c, d, a, b, x[7], 0x676f02d9, 14)
        MD5_STEP(MD5_G, b, c, d, a, x[12], 0x8d2a4c8a, 20)

        MD5_STEP(MD5_H, a, b, c, d, x[5], 0xfffa3942, 4)
        MD5_STEP(MD5_H, d, a, b, c, x[8], 0x8771f681, 11)
        MD5_STEP(MD5_H, c, d, a, b, x[11], 0x6d9d6122, 16)
        MD5_STEP(MD5_H, b, c, d, a, x[14], 0xfde5380c, 23)
        MD5_STEP(MD5_H, a, b, c, d, x[1], 0xa4beea44, 4)
        MD5_STEP(MD5_H, d, a, b, c, x[4], 0x4bdecfa9, 11)
        MD5_STEP(MD5_H, c, d, a, b, x[7], 0xf6bb4b60, 16)
        MD5_STEP(MD5_H, b, c, d, a, x[10], 0xbebfbc70, 23)
        MD5_STEP(MD5_H, a, b, c, d, x[13], 0x289b7ec6, 4)
        MD5_STEP(MD5_H, d, a, b, c, x[0], 0xeaa127fa, 11)
        MD5_STEP(MD5_H, c, d, a, b, x[3], 0xd4ef3085, 16)
        MD5_STEP(MD5_H, b, c, d, a, x[6], 0x04881d05, 23)
        MD5_STEP(MD5_H, a, b, c, d, x[9], 0xd9d4d039, 4)
        MD5_STEP(MD5_H, d, a, b, c, x[12], 0xe6db99e5, 11)
        MD5_STEP(MD5_H, c, d, a, b, x[15], 0x1fa27cf8, 16)
        MD5_STEP(MD5_H, b, c, d, a, x[2], 0xc4ac5665, 23)

        MD5_STEP(MD5_I, a, b, c, d, x[0], 0xf4292244, 6)
        MD5_STEP(MD5_I, d, a, b, c, x[7], 0x432aff97, 10)
        MD5_STEP(MD5_I, c, d, a, b, x[14], 0xab9423a7, 15)
        MD5_STEP(MD5_I, b, c, d, a, x[5], 0xfc93a039, 21)
        MD5_STEP(MD5_I, a, b, c, d, x[12], 0x655b59c3, 6)
        MD5_STEP(MD5_I, d, a, b, c, x[3], 0x8f0ccc92, 10)
        MD5_STEP(MD5_I, c, d, a, b, x[10], 0xffeff47d, 15)
        MD5_STEP(MD5_I, b, c, d, a, x[1], 0x85845dd1, 21)
        MD5_STEP(MD5_I, a, b, c, d, x[8], 0x6fa87e4f, 6)
        MD5_STEP(MD5_I, d, a, b, c, x[15], 0xfe2ce6e0, 10)
        MD5_STEP(MD5_I, c, d, a, b, x[6], 0xa3014314, 15)
        MD5_STEP(MD5_I, b, c, d, a, x[13], 0x4e0811a1, 21)
        MD5_STEP(MD5_I, a, b, c, d, x[4], 0xf7537e82, 6)
        MD5_STEP(MD5_I, d, a, b, c, x[11], 0xbd3af235, 10)
        MD5_STEP(MD5_I, c, d, a, b, x[2], 0x2ad7d2bb, 15)
        MD5_STEP(MD5_I, b, c, d, a, x[9], 0xeb86d391, 21)

        a += aa;
        b += bb;
        c += cc;
        d += dd;
    }
    st[0] = a;
    st[1] = b;
    st[2] = c;
    st[3] = d;
}

} // namespace

VKZ_MD5::VKZ_MD5() : state{}, bitCount{}, buffer{}, digest{}, finalized(0) {
    Init();
}

void VKZ_MD5::Init() {
    state[0] = 0x67452301;
    state[1] = 0xefcdab89;
    state[2] = 0x98badcfe;
    state[3] = 0x10325476;
    bitCount[0] = bitCount[1] = 0;
    finalized = 0;
}

void VKZ_MD5::Update(const void* data, uint32_t length) {
    if (finalized || length == 0) return;
    const uint8_t* p = (const uint8_t*)data;
    uint32_t used = (bitCount[0] >> 3) & 63;
    uint32_t low = bitCount[0] + (length << 3);
    if (low < bitCount[0]) bitCount[1]++;
    bitCount[0] = low;
    bitCount[1] += length >> 29;

    if (used) {
        uint32_t room = 64 - used;
        if (length < room) {
            memcpy(buffer + used, p, length);
            return;
        }
        memcpy(buffer + used, p, room);
        Transform(state, buffer, 1);
        p += room;
        length -= room;
    }
    if (length >= 64) {
        Transform(state, p, length / 64);
        p += length & ~63u;
        length &= 63;
    }
    if (length) memcpy(buffer, p, length);
}

void VKZ_MD5::Final() {
    if (finalized) return;
    uint8_t lengthBytes[8];
    for (int i = 0; i < 4; i++) {
        lengthBytes[i] = (uint8_t)(bitCount[0] >> (8 * i));
        lengthBytes[4 + i] = (uint8_t)(bitCount[1] >> (8 * i));
    }
    static const uint8_t padding[64] = {0x80};
    uint32_t used = (bitCount[0] >> 3) & 63;
    Update(padding, used < 56 ? 56 - used : 120 - used);
    Update(lengthBytes, 8);
    for (int i = 0; i < 4; i++)
        for (int j = 0; j < 4; j++) digest[4 * i + j] = (uint8_t)(state[i] >> (8 * j));
    finalized = 1;
}

int VKZ_MD5::Compress(const void* source, uint32_t length, void* destination) {
    Init();
    Update(source, length);
    Final();
    GetDigest((uint8_t*)destination);
    return 16;
}

int VKZ_MD5::Decompress(const void*, uint32_t, void*, uint32_t) {
    return -1;
}
int VKZ_MD5::MaxCompressedSize(uint32_t) {
    return 16;
}

void VKZ_MD5::GetDigest(uint8_t* out16) {
    if (finalized) memcpy(out16, digest, 16);
}

void VKZ_MD5::GetHexDigest(char* out33) {
    if (!finalized) return;
    static const char hex[] = "0123456789abcdef";
    for (int i = 0; i < 16; i++) {
        out33[2 * i] = hex[digest[i] >> 4];
        out33[2 * i + 1] = hex[digest[i] & 15];
    }
    out33[32] = 0;
}
