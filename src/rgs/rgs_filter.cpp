// Filters and distortions: each output pixel is computed from other pixels of
// a copy of the layer in the scratch layer (4). The loops visit the pixels in
// a fixed order, reading layer 4 and writing the layer pixel by pixel, so an
// operation applied to layer 4 itself reads back its own earlier writes: that
// order is part of the result and must not change.
#include "rgs/rgs.h"
#include "rgs/rgs_ops.h"

#include <cmath>
#include <cstdlib>
#include <cstring>

static const double kTwoPi = 6.2831855f; // single-precision constant, widened

static void CopyToScratch(int layer) {
    if (layer != 4) memcpy(RGS_Layers[4], RGS_Layers[layer], LAYER_SIZE);
}

// Byte offset of pixel (x, y); both already within 0-255.
static inline int At(int x, int y) {
    return 3 * (256 * y + x);
}

// Inline twins of the shared clamp and brightness, for the per-pixel loops.
static inline int Clamp(int v) {
    return v >= 255 ? 255 : v <= 0 ? 0 : v;
}
static inline uint8_t ClampByte(int v) {
    return (uint8_t)Clamp(v);
}
static inline int Brightness(RGS_Pixel p) {
    int m = p.r > p.g ? p.r : p.g;
    return m > p.b ? m : p.b;
}

// The cosine weight of the last fraction seen at one spot. A sample
// coordinate's fraction repeats for positions that share a row, a column or a
// brightness, as long as the float keeps its exponent (the spacing of floats
// changes with it), so caches are kept per exponent band and sign. This saves
// most cos calls; the weights and the result are those of RGS_SampleLayer.
struct WeightCache {
    double f = NAN, w = 0;
};
enum { BANDS = 32 };

static inline int Band(float v) {
    uint32_t bits; // std::bit_cast, which Emscripten's libc++ lacks
    memcpy(&bits, &v, sizeof bits);
    int e = (int)((bits >> 23) & 255) - 126; // 1 for [1, 2), 2 for [2, 4), ...
    e = e < 0 ? 0 : e > 15 ? 15 : e;
    return e + 16 * (int)(bits >> 31);
}

// Entry for band b is cache[b * stride].
static inline double CachedWeight(WeightCache* cache, int stride, float v, double f) {
    WeightCache* c = &cache[Band(v) * stride];
    if (!(c->f == f)) {
        c->f = f;
        c->w = RGS_CosineWeight(f);
    }
    return c->w;
}

// Where the CPU has AVX2, the batch runs on its wider vectors (chosen at load
// time). The same IEEE operations in the same order, without fused
// multiply-adds, so the results are the same bit for bit.
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) && !defined(__EMSCRIPTEN__)
#define ZK_WIDE_VECTORS __attribute__((target_clones("avx2", "default")))
#else
#define ZK_WIDE_VECTORS
#endif

// RGS_SampleLayer at up to 256 points, in stages so that the arithmetic runs
// over whole arrays (the compiler vectorises it): the same operations in the
// same order as the one-point sampler. The caller fills ix, iy, a and b.
struct SampleBatch {
    int ix[256], iy[256];
    double a[256], b[256];                  // cosine weights of the fractions
    double w[4][256];                       // corner weights w00, w10, w01, w11
    uint8_t corner[4][3][256], out[3][256]; // corner values and results per channel
};

// Samples layer `from` at the n points and writes point i to out + i * stride.
// When `from` is the layer written, each point must see the writes before it
// (inOrder): then points are gathered, blended and written one at a time.
ZK_WIDE_VECTORS static void SampleBatchRun(SampleBatch& s, int n, int from, uint8_t* out,
                                           int stride, bool inOrder) {
    for (int i = 0; i < n; i++) {
        double a = s.a[i], b = s.b[i];
        s.w[0][i] = (float)((1.0 - a) * (1.0 - b));
        s.w[1][i] = (float)(a * (1.0 - b));
        s.w[2][i] = (float)((1.0 - a) * b);
        s.w[3][i] = a * b;
    }
    const uint8_t* L = RGS_Layers[from];
    for (int i = 0; i < n; i++) {
        int x0 = s.ix[i] & 255, x1 = (s.ix[i] + 1) & 255;
        int y0 = s.iy[i] & 255, y1 = (s.iy[i] + 1) & 255;
        const uint8_t* p[4] = {L + At(x0, y0), L + At(x1, y0), L + At(x0, y1), L + At(x1, y1)};
        if (inOrder) {
            for (int k = 0; k < 3; k++)
                out[i * stride + k] = (uint8_t)(int)(p[0][k] * s.w[0][i] + p[1][k] * s.w[1][i] +
                                                     p[2][k] * s.w[2][i] + p[3][k] * s.w[3][i]);
            continue;
        }
        for (int c = 0; c < 4; c++)
            for (int k = 0; k < 3; k++) s.corner[c][k][i] = p[c][k];
    }
    if (inOrder) return;
    for (int k = 0; k < 3; k++)
        for (int i = 0; i < n; i++)
            s.out[k][i] =
                (uint8_t)(int)(s.corner[0][k][i] * s.w[0][i] + s.corner[1][k][i] * s.w[1][i] +
                               s.corner[2][k][i] * s.w[2][i] + s.corner[3][k][i] * s.w[3][i]);
    for (int i = 0; i < n; i++)
        for (int k = 0; k < 3; k++) out[i * stride + k] = s.out[k][i];
}

void RGS_HalfTile(int layer) {
    CopyToScratch(layer);
    const uint8_t* S = RGS_Layers[4];
    uint8_t* D = RGS_Layers[layer];
    for (int y = 0; y < 256; y++) {
        int sy = (2 * y) & 255;
        for (int x = 0; x < 256; x++) {
            int sx = (2 * x) & 255;
            int a = At(sx, sy), b = At(sx + 1, sy), c = At(sx, sy + 1), d = At(sx + 1, sy + 1);
            for (int k = 0; k < 3; k++)
                D[At(x, y) + k] = (uint8_t)((S[a + k] + S[b + k] + S[c + k] + S[d + k]) >> 2);
        }
    }
}

void RGS_TransposeShift(int layer, int32_t rowOffset, int32_t columnOffset) {
    const int a = rowOffset & 255, b = columnOffset & 255;
    CopyToScratch(layer);
    for (int x = 0; x < 256; x++)
        for (int y = 0; y < 256; y++)
            RGS_PutPixel(layer, x, y, RGS_GetPixel(4, (y + b) & 255, (x + a) & 255));
}

// A sample coordinate c + v*gain, rounded to single precision as the sampler
// receives it.
static inline float Displaced(int c, int v, float gain) {
    return (float)(c + v * (double)gain);
}

static int ConvertibleFloat(float v) {
    int32_t unused;
    return RGS_ToInt(v, &unused);
}

void RGS_DisplaceByBrightness(int destination, int source, int map, float xGain, float yGain) {
    // The sampler truncates the coordinates to 32-bit integers. Brightness and
    // position are each 0-255 and the coordinate is monotonic in both, so the
    // four corners bound every coordinate this command can produce.
    for (int c = 0; c <= 255; c += 255)
        for (int v = 0; v <= 255; v += 255)
            if (!ConvertibleFloat(Displaced(c, v, xGain)) ||
                !ConvertibleFloat(Displaced(c, v, yGain)))
                return;
    // Per brightness, its bands side by side.
    static WeightCache xByV[256][BANDS], yByV[256][BANDS];
    double gx[256], gy[256]; // V * gain, as Displaced computes it
    for (int v = 0; v < 256; v++) {
        gx[v] = v * (double)xGain;
        gy[v] = v * (double)yGain;
    }
    // Every map read comes before the write of its pixel (the only write that
    // could change it), so the brightness is always the map's own. Only when
    // the source is written too must the pixels go in their order, columns
    // outer, each sample seeing the writes before it; else rows, a batch each.
    const bool inOrder = destination == source;
    // A line's pixels share one coordinate (y for a row): across the line
    // the sample coordinate depends on the brightness alone.
    const double* gAlong = inOrder ? gy : gx;
    const double* gAcross = inOrder ? gx : gy;
    WeightCache(*alongCache)[BANDS] = inOrder ? yByV : xByV;
    WeightCache(*acrossCache)[BANDS] = inOrder ? xByV : yByV;
    static SampleBatch s;
    for (int line = 0; line < 256; line++) {
        // In stages, the conversions over whole arrays (they vectorise).
        float c[256];
        double f[256], acrossW[256];
        int acrossI[256], V[256];
        for (int v = 0; v < 256; v++) {
            c[v] = (float)(line + gAcross[v]);
            acrossI[v] = (int)c[v];
            f[v] = c[v] - (double)acrossI[v];
        }
        for (int v = 0; v < 256; v++) acrossW[v] = CachedWeight(acrossCache[v], 1, c[v], f[v]);
        double o[256];
        for (int i = 0; i < 256; i++) {
            V[i] = Brightness(RGS_GetPixel(map, inOrder ? line : i, inOrder ? i : line));
            o[i] = gAlong[V[i]];
        }
        int alongI[256];
        for (int i = 0; i < 256; i++) {
            c[i] = (float)(i + o[i]);
            alongI[i] = (int)c[i];
            f[i] = c[i] - (double)alongI[i];
        }
        int* ia = inOrder ? s.iy : s.ix;
        int* ic = inOrder ? s.ix : s.iy;
        double* wa = inOrder ? s.b : s.a;
        double* wc = inOrder ? s.a : s.b;
        for (int i = 0; i < 256; i++) {
            ia[i] = alongI[i];
            wa[i] = CachedWeight(alongCache[V[i]], 1, c[i], f[i]);
            ic[i] = acrossI[V[i]];
            wc[i] = acrossW[V[i]];
        }
        uint8_t* out = RGS_Layers[destination] + (inOrder ? At(line, 0) : At(0, line));
        SampleBatchRun(s, 256, source, out, inOrder ? 768 : 3, inOrder);
    }
}

void RGS_Swirl(int layer, int32_t centreX, int32_t centreY, float radius, float strength) {
    if (strength == 0.0f) return;
    if (radius == 0.0f) return; // the angle divides by it
    const int cx = centreX & 0xFFFF, cy = centreY & 0xFFFF;
    const double rad = radius;
    // An infinite or NaN radius or strength gives a NaN angle for the pixels
    // inside the circle (and none outside), so skip only when there are any.
    int64_t mdx = cx > 255 ? cx - 255 : 0, mdy = cy > 255 ? cy - 255 : 0;
    if (std::sqrt((double)(mdx * mdx + mdy * mdy)) <= rad &&
        !(std::isfinite(radius) && std::isfinite(strength)))
        return;
    CopyToScratch(layer);
    const double q = rad / strength;
    // The angle depends only on the squared distance d, which many pixels
    // share; remember cos and sin per d in a small direct-mapped table.
    struct Turn {
        int64_t d;
        double c, s;
    };
    static Turn turns[4096];
    for (Turn& t : turns) t.d = -1;
    for (int x = 0; x < 256; x++)
        for (int y = 0; y < 256; y++) {
            int64_t dx = x - cx, dy = y - cy, d = dx * dx + dy * dy;
            Turn& t = turns[(uint32_t)((uint64_t)d * 2654435761u) >> 20];
            if (t.d != d) {
                t.d = d;
                t.c = 1.0; // outside the circle the angle is 0
                t.s = 0.0;
                double r = std::sqrt((double)d);
                if (r <= rad) {
                    double e = rad - r;
                    double theta = kTwoPi * (e * e / rad) / q;
                    t.c = std::cos(theta);
                    t.s = std::sin(theta);
                }
            }
            int X = (int)((double)dx * t.c - (double)dy * t.s + cx);
            int Y = (int)((double)dy * t.c + (double)dx * t.s + cy);
            RGS_PutPixel(layer, x, y, RGS_GetPixel(4, X, Y)); // wraps modulo 256
        }
}

void RGS_SineWarp(int layer, float rowFrequency, float columnFrequency, float xAmplitude,
                  float yAmplitude) {
    // The row offset depends only on y and the column term only on x.
    float ox[256];
    double oy[256];
    for (int i = 0; i < 256; i++) {
        ox[i] = (float)(xAmplitude * std::sin(i * (double)rowFrequency));
        oy[i] = yAmplitude * std::sin(i * (double)columnFrequency);
    }
    float oxLo = ox[0], oxHi = ox[0];
    double oyLo = oy[0], oyHi = oy[0];
    for (int i = 0; i < 256; i++) {
        if (std::isnan(ox[i]) || std::isnan(oy[i])) return;
        if (ox[i] < oxLo) oxLo = ox[i];
        if (ox[i] > oxHi) oxHi = ox[i];
        if (oy[i] < oyLo) oyLo = oy[i];
        if (oy[i] > oyHi) oyHi = oy[i];
    }
    if (!ConvertibleFloat((float)(0 + (double)oxLo)) ||
        !ConvertibleFloat((float)(255 + (double)oxHi)) || !ConvertibleFloat((float)(0 + oyLo)) ||
        !ConvertibleFloat((float)(255 + oyHi)))
        return;
    CopyToScratch(layer);
    static WeightCache column[BANDS][256];
    static SampleBatch s;
    for (int y = 0; y < 256; y++) {
        WeightCache row[BANDS];
        for (int x = 0; x < 256; x++) {
            float sx = (float)(x + (double)ox[y]);
            float sy = (float)(y + oy[x]);
            s.ix[x] = (int)sx, s.iy[x] = (int)sy;
            s.a[x] = CachedWeight(row, 1, sx, sx - (double)s.ix[x]);
            s.b[x] = CachedWeight(&column[0][x], 256, sy, sy - (double)s.iy[x]);
        }
        // In place the samples read the row's earlier writes.
        SampleBatchRun(s, 256, 4, RGS_Layers[layer] + At(0, y), 3, layer == 4);
    }
}

void RGS_GradientDisplace(int layer) {
    CopyToScratch(layer);
    const uint8_t* S = RGS_Layers[4];
    uint8_t* D = RGS_Layers[layer];
    for (int x = 0; x < 256; x++) {
        int xl = x > 0 ? x - 1 : 0, xr = x < 255 ? x + 1 : 255;
        for (int y = 0; y < 256; y++) {
            int yu = y > 0 ? y - 1 : 0, yd = y < 255 ? y + 1 : 255;
            for (int k = 0; k < 3; k++) {
                int sx = Clamp(S[At(xl, y) + k] - S[At(xr, y) + k] + x);
                int sy = Clamp(S[At(x, yu) + k] - S[At(x, yd) + k] + y);
                D[At(x, y) + k] = S[At(sx, sy) + k];
            }
        }
    }
}

void RGS_EdgeBoost(int layer, int32_t xOffset, int32_t yOffset, int32_t gain) {
    const int dx = xOffset & 255, dy = yOffset & 255, g = gain & 255;
    CopyToScratch(layer);
    const uint8_t* S = RGS_Layers[4];
    uint8_t* D = RGS_Layers[layer];
    for (int x = 0; x < 256; x++) {
        int ox = x + dx < 255 ? x + dx : 255;
        for (int y = 0; y < 256; y++) {
            int oy = y + dy < 255 ? y + dy : 255;
            for (int k = 0; k < 3; k++) {
                int c = S[At(x, y) + k], o = S[At(ox, oy) + k];
                D[At(x, y) + k] = ClampByte(c + g * std::abs(c - o));
            }
        }
    }
}

// A channel's 3x3 neighbourhood, wrapped at the edges.
struct Nine {
    int UL, U, UR, L, C, R, DL, D, DR;
};

// Rows outer, columns inner, reading the scratch copy as it is at each step.
template <class F> static void Filter3x3(int layer, F f) {
    const uint8_t* S = RGS_Layers[4];
    uint8_t* out = RGS_Layers[layer];
    for (int y = 0; y < 256; y++) {
        const uint8_t* ru = S + At(0, (y - 1) & 255);
        const uint8_t* ry = S + At(0, y);
        const uint8_t* rd = S + At(0, (y + 1) & 255);
        uint8_t* o = out + At(0, y);
        for (int x = 0; x < 256; x++) {
            int l = 3 * ((x - 1) & 255), c = 3 * x, r = 3 * ((x + 1) & 255);
            for (int k = 0; k < 3; k++) {
                Nine n{ru[l + k], ru[c + k], ru[r + k], ry[l + k], ry[c + k],
                       ry[r + k], rd[l + k], rd[c + k], rd[r + k]};
                o[c + k] = f(n);
            }
        }
    }
}

void RGS_EdgeDetect(int layer) {
    CopyToScratch(layer);
    Filter3x3(layer, [](const Nine& n) {
        int gx = (n.UR + n.R + n.DR) - (n.UL + n.L + n.DL) + 128;
        int gy = (n.DL + n.D + n.DR) - (n.UL + n.U + n.UR) + 128;
        return ClampByte((int)std::sqrt((double)(gx * gx + gy * gy)));
    });
}

void RGS_Sharpen(int layer) {
    CopyToScratch(layer);
    Filter3x3(layer, [](const Nine& n) {
        int corners = n.UL + n.UR + n.DL + n.DR, sides = n.U + n.D + n.L + n.R;
        return ClampByte(((5 * n.C) >> 1) - (corners >> 3) - (sides >> 2));
    });
}

void RGS_Scatter(int layer, int32_t spread, int32_t seed) {
    CopyToScratch(layer);
    uint32_t s = (uint32_t)seed;
    // Any spread gives a shift count 0-31; outside 0-16 the offsets just
    // shrink to 0/-1 or grow past the layer and wrap.
    const unsigned sh = (16u - (uint32_t)spread) & 31u;
    for (int x = 0; x < 256; x++)
        for (int y = 0; y < 256; y++) {
            s *= 22695475u;
            int32_t h1 = (int32_t)s >> 16;
            s *= 22695475u;
            int32_t h2 = (int32_t)s >> 16;
            int32_t jx = (h1 - 32767) >> sh, jy = (h2 - 32767) >> sh;
            RGS_PutPixel(layer, x, y, RGS_GetPixel(4, (x + jx) & 255, (y + jy) & 255));
        }
    RGS_Random = s;
}

// The triangle's weights N + 1 - |t| (t = -N ... N) are those of two boxes of
// len = N + 1 taps one after the other, so a row's blur is a box sum of its
// box sums, each taken from prefix sums: the same integers as tap by tap, in
// time independent of the radius. Rows wrap around: a box covers `turns` whole
// rows and `rest` more values.
struct Triangle {
    int turns, rest;
    int shift; // the second box starts (len - 1) & 255 before the pixel
};

// The `rest`-value sums of `in` (prefix sums P, P[m] holding the first m
// values) from each start, wrapping around.
template <class Sum> static void BoxSums(const Sum (*P)[3], int rest, Sum out[256][3]) {
    for (int z = 0; z < 256 - rest; z++)
        for (int k = 0; k < 3; k++) out[z][k] = P[z + rest][k] - P[z][k];
    for (int z = 256 - rest; z < 256; z++)
        for (int k = 0; k < 3; k++) out[z][k] = P[256][k] - P[z][k] + P[z + rest - 256][k];
}

// The blurred sums of a row (3 channels, interleaved). Sum must hold
// 255 x len x len.
template <class Sum>
static void TriangleSums(const Triangle& t, const uint8_t* row, Sum out[256][3]) {
    Sum p[257][3], box[256][3], q[257][3], span[256][3];
    p[0][0] = p[0][1] = p[0][2] = 0;
    for (int m = 0; m < 256; m++)
        for (int k = 0; k < 3; k++) p[m + 1][k] = p[m][k] + row[3 * m + k];
    BoxSums<Sum>(p, t.rest, box);
    q[0][0] = q[0][1] = q[0][2] = 0;
    for (int m = 0; m < 256; m++)
        for (int k = 0; k < 3; k++) q[m + 1][k] = q[m][k] + box[m][k];
    BoxSums<Sum>(q, t.rest, span);
    // The whole turns, left out above: each box holds `turns` times the row's
    // total, and the second box `turns` times the total of the box sums.
    Sum whole[3];
    for (int k = 0; k < 3; k++) {
        Sum len = (Sum)(256 * t.turns + t.rest), rowTotal = (Sum)t.turns * p[256][k];
        whole[k] = rowTotal * len + (Sum)t.turns * q[256][k];
    }
    for (int y = 0; y < 256; y++) {
        const Sum* from = span[(y - t.shift) & 255];
        for (int k = 0; k < 3; k++) out[y][k] = from[k] + whole[k];
    }
}

// The weights add up to len^2 and the quotient is below 256. Sums stay below
// 2^53, so the rounded division can only round up onto an integer it already
// is: its truncation is the integer quotient.
template <class Sum> static inline int Quotient(Sum sum, double divisor) {
    return (int)((double)sum / divisor);
}

template <class Sum> static void BlurTranspose(int layer, int64_t len) {
    const Triangle t{(int)(len >> 8), (int)(len & 255), (int)((len - 1) & 255)};
    const double divisor = (double)(len * len);
    // In place (layer 4), pixel (x, x) lies in the row that column x reads,
    // and the pixels after it see its new value: a change of d there adds d
    // times the folded weight of its distance to their sums.
    Sum folded[256] = {};
    if (layer == 4)
        for (int64_t s = -(len - 1); s <= len - 1; s++)
            folded[s & 255] += (Sum)(len - (s < 0 ? -s : s));
    CopyToScratch(layer);
    const uint8_t* S = RGS_Layers[4];
    uint8_t* D = RGS_Layers[layer];
    Sum sums[256][3];
    for (int x = 0; x < 256; x++) {
        const uint8_t* row = S + At(0, x); // output column x reads scratch row x
        TriangleSums<Sum>(t, row, sums);
        if (layer == 4)
            for (int k = 0; k < 3; k++) {
                Sum change = (Sum)(Quotient(sums[x][k], divisor) - row[3 * x + k]);
                for (int y = x + 1; y < 256; y++) sums[y][k] += change * folded[(x - y) & 255];
            }
        int quotient[256][3];
        for (int y = 0; y < 256; y++)
            for (int k = 0; k < 3; k++) quotient[y][k] = Quotient(sums[y][k], divisor);
        for (int y = 0; y < 256; y++)
            for (int k = 0; k < 3; k++) D[At(x, y) + k] = (uint8_t)quotient[y][k];
    }
}

void RGS_BlurTranspose(int layer, int32_t radius) {
    const int64_t len = (radius & 0xFFFF) + 1;
    // 32-bit sums while they fit: they vectorise.
    if (len <= 2048)
        BlurTranspose<int32_t>(layer, len);
    else
        BlurTranspose<int64_t>(layer, len);
}

void RGS_Blur3x3(int layer, int32_t passes) {
    const int count = passes & 255;
    for (int pass = 0; pass < count; pass++) {
        CopyToScratch(layer);
        Filter3x3(layer, [](const Nine& n) {
            int corners = n.UL + n.UR + n.DL + n.DR, sides = n.U + n.D + n.L + n.R;
            return (uint8_t)((corners + 2 * sides + 4 * n.C) >> 4);
        });
    }
}
