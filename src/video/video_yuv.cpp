#include "video/video_yuv.h"

#include "video/video.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// BT.709 in 15-bit fixed point (so a pair fits one SSE2 multiply-add), scaled
// to the limited range: luma to 16-235, chroma to 16-240 around 128. Each
// chroma row sums to 0, so grey has no colour.
enum : int16_t {
    YR = 5983, // 0.2126 * 219/255 * 32768
    YG = 20127,
    YB = 2032,
    UR = -3298, // -0.2126/1.8556 * 224/255 * 32768
    UG = -11094,
    UB = 14392, // 0.5 * 224/255 * 32768
    VR = 14392,
    VG = -13072,
    VB = -1320,
};
enum : int32_t {
    Y_BIAS = (16 << 15) + (1 << 14),
    C_BIAS = (128 << 17) + (1 << 16), // chroma sums four pixels: 2 more bits
};

// Pixels [from, width) of a pair of rows, R, G and B at byte offsets `r`, 1
// and `b` of each `bpp`-byte pixel; `from` is even.
template <int bpp, int r, int b>
static void RowPairTail(const uint8_t* top, const uint8_t* bottom, int from, int width, uint8_t* y0,
                        uint8_t* y1, uint8_t* u, uint8_t* v) {
    for (int x = from; x < width; x++) {
        const uint8_t* p = top + x * bpp;
        const uint8_t* q = bottom + x * bpp;
        y0[x] = (uint8_t)((YR * p[r] + YG * p[1] + YB * p[b] + Y_BIAS) >> 15);
        y1[x] = (uint8_t)((YR * q[r] + YG * q[1] + YB * q[b] + Y_BIAS) >> 15);
    }
    for (int x = from / 2; x < width / 2; x++) {
        const uint8_t* p = top + 2 * x * bpp;
        const uint8_t* q = bottom + 2 * x * bpp;
        const int32_t R = p[r] + p[r + bpp] + q[r] + q[r + bpp];
        const int32_t G = p[1] + p[1 + bpp] + q[1] + q[1 + bpp];
        const int32_t B = p[b] + p[b + bpp] + q[b] + q[b + bpp];
        u[x] = (uint8_t)((UR * R + UG * G + UB * B + C_BIAS) >> 17);
        v[x] = (uint8_t)((VR * R + VG * G + VB * B + C_BIAS) >> 17);
    }
}

#if defined(__SSE2__)
// The coefficients for 16-bit lanes R G B A (or B G R A) of two pixels.
static __m128i Weights(int r, int16_t kr, int16_t kg, int16_t kb) {
    return r == 0 ? _mm_setr_epi16(kr, kg, kb, 0, kr, kg, kb, 0)
                  : _mm_setr_epi16(kb, kg, kr, 0, kb, kg, kr, 0);
}

// Adds each pixel's two partial products: four pixels' sums, in order.
static __m128i PairSums(__m128i a, __m128i b) {
    const __m128 fa = _mm_castsi128_ps(a), fb = _mm_castsi128_ps(b);
    return _mm_add_epi32(_mm_castps_si128(_mm_shuffle_ps(fa, fb, _MM_SHUFFLE(2, 0, 2, 0))),
                         _mm_castps_si128(_mm_shuffle_ps(fa, fb, _MM_SHUFFLE(3, 1, 3, 1))));
}

// Luma of four 4-byte pixels, as 32-bit values.
static __m128i Luma4(const uint8_t* p, __m128i weights) {
    const __m128i zero = _mm_setzero_si128(), px = _mm_loadu_si128((const __m128i*)p);
    const __m128i sums = PairSums(_mm_madd_epi16(_mm_unpacklo_epi8(px, zero), weights),
                                  _mm_madd_epi16(_mm_unpackhi_epi8(px, zero), weights));
    return _mm_srai_epi32(_mm_add_epi32(sums, _mm_set1_epi32(Y_BIAS)), 15);
}

static void Luma16(const uint8_t* p, __m128i weights, uint8_t* out) {
    const __m128i a = _mm_packs_epi32(Luma4(p, weights), Luma4(p + 16, weights));
    const __m128i b = _mm_packs_epi32(Luma4(p + 32, weights), Luma4(p + 48, weights));
    _mm_storeu_si128((__m128i*)out, _mm_packus_epi16(a, b));
}

// The 2x2 sums of four pixels of two rows: two chroma samples' R G B A.
static __m128i Sums2x2(const uint8_t* p, const uint8_t* q) {
    const __m128i zero = _mm_setzero_si128();
    const __m128i top = _mm_loadu_si128((const __m128i*)p);
    const __m128i bottom = _mm_loadu_si128((const __m128i*)q);
    const __m128i left =
        _mm_add_epi16(_mm_unpacklo_epi8(top, zero), _mm_unpacklo_epi8(bottom, zero));
    const __m128i right =
        _mm_add_epi16(_mm_unpackhi_epi8(top, zero), _mm_unpackhi_epi8(bottom, zero));
    const __m128i a = _mm_add_epi16(left, _mm_srli_si128(left, 8));
    const __m128i b = _mm_add_epi16(right, _mm_srli_si128(right, 8));
    return _mm_unpacklo_epi64(a, b);
}

// Eight chroma samples from 16 pixels of two rows.
static void Chroma8(__m128i s0, __m128i s1, __m128i s2, __m128i s3, __m128i weights, uint8_t* out) {
    const __m128i bias = _mm_set1_epi32(C_BIAS);
    const __m128i a = _mm_srai_epi32(
        _mm_add_epi32(PairSums(_mm_madd_epi16(s0, weights), _mm_madd_epi16(s1, weights)), bias),
        17);
    const __m128i b = _mm_srai_epi32(
        _mm_add_epi32(PairSums(_mm_madd_epi16(s2, weights), _mm_madd_epi16(s3, weights)), bias),
        17);
    const __m128i words = _mm_packs_epi32(a, b);
    _mm_storel_epi64((__m128i*)out, _mm_packus_epi16(words, words));
}

template <int r>
static int RowPairWide(const uint8_t* top, const uint8_t* bottom, int width, uint8_t* y0,
                       uint8_t* y1, uint8_t* u, uint8_t* v) {
    const __m128i wy = Weights(r, YR, YG, YB), wu = Weights(r, UR, UG, UB),
                  wv = Weights(r, VR, VG, VB);
    int x = 0;
    for (; x + 16 <= width; x += 16) {
        const uint8_t *p = top + 4 * x, *q = bottom + 4 * x;
        Luma16(p, wy, y0 + x);
        Luma16(q, wy, y1 + x);
        const __m128i s0 = Sums2x2(p, q), s1 = Sums2x2(p + 16, q + 16),
                      s2 = Sums2x2(p + 32, q + 32), s3 = Sums2x2(p + 48, q + 48);
        Chroma8(s0, s1, s2, s3, wu, u + x / 2);
        Chroma8(s0, s1, s2, s3, wv, v + x / 2);
    }
    return x;
}
#endif

template <int bpp, int r, int b>
static void RowPair(const uint8_t* top, const uint8_t* bottom, int width, uint8_t* y0, uint8_t* y1,
                    uint8_t* u, uint8_t* v) {
    int from = 0;
#if defined(__SSE2__)
    if (bpp == 4) from = RowPairWide<r>(top, bottom, width, y0, y1, u, v);
#endif
    RowPairTail<bpp, r, b>(top, bottom, from, width, y0, y1, u, v);
}

void VideoYuv_Convert(const uint8_t* rows, ptrdiff_t rowStep, int pixelFormat, int width,
                      int height, const VideoYuvPlanes& out) {
    for (int row = 0; row + 1 < height; row += 2) {
        const uint8_t* top = rows + row * rowStep;
        const uint8_t* bottom = top + rowStep;
        uint8_t* y0 = out.plane[0] + row * out.stride[0];
        uint8_t* y1 = y0 + out.stride[0];
        uint8_t* u = out.plane[1] + (row / 2) * out.stride[1];
        uint8_t* v = out.plane[2] + (row / 2) * out.stride[2];
        if (pixelFormat == ZK_VIDEO_BGRA)
            RowPair<4, 2, 0>(top, bottom, width, y0, y1, u, v);
        else if (pixelFormat == ZK_VIDEO_RGBA)
            RowPair<4, 0, 2>(top, bottom, width, y0, y1, u, v);
        else
            RowPair<3, 0, 2>(top, bottom, width, y0, y1, u, v);
    }
}
