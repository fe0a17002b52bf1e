// Filters and distortions: each output pixel is computed from other pixels of
// a copy of the layer in the scratch layer (4). The loops visit the pixels in
// a fixed order, reading layer 4 and writing the layer pixel by pixel, so an
// operation applied to layer 4 itself reads back its own earlier writes: that
// order is part of the result and must not change.
#include "rgs/rgs.h"
#include "rgs/rgs_ops.h"

#include <bit>
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
    uint32_t bits = std::bit_cast<uint32_t>(v);
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

// RGS_SampleLayer with cached weights, its blend written out so the compiler
// can schedule it with the caller's loop (same operations in the same order).
static inline RGS_Pixel SampleCached(int layer, float x, float y, WeightCache* cx, int xStride,
                                     WeightCache* cy, int yStride) {
    int ix = (int)x, iy = (int)y;
    double a = CachedWeight(cx, xStride, x, x - (double)ix);
    double b = CachedWeight(cy, yStride, y, y - (double)iy);
    const uint8_t* L = RGS_Layers[layer];
    const uint8_t* p00 = L + At(ix & 255, iy & 255);
    const uint8_t* p10 = L + At((ix + 1) & 255, iy & 255);
    const uint8_t* p01 = L + At(ix & 255, (iy + 1) & 255);
    const uint8_t* p11 = L + At((ix + 1) & 255, (iy + 1) & 255);
    double w00 = (float)((1.0 - a) * (1.0 - b));
    double w10 = (float)(a * (1.0 - b));
    double w01 = (float)((1.0 - a) * b);
    double w11 = a * b;
    uint8_t out[3];
    for (int k = 0; k < 3; k++)
        out[k] = (uint8_t)(int)(p00[k] * w00 + p10[k] * w10 + p01[k] * w01 + p11[k] * w11);
    return RGS_Pixel{out[0], out[1], out[2]};
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
    static WeightCache xByV[BANDS][256], yByV[BANDS][256]; // per brightness
    // Columns outer, unless the destination is neither input: then no read
    // sees a write and rows outer (kinder to the cache) give the same result.
    double gx[256], gy[256]; // V * gain, as Displaced computes it
    for (int v = 0; v < 256; v++) {
        gx[v] = v * (double)xGain;
        gy[v] = v * (double)yGain;
    }
    auto one = [&](int x, int y) {
        int V = Brightness(RGS_GetPixel(map, x, y));
        RGS_Pixel p = SampleCached(source, (float)(x + gx[V]), (float)(y + gy[V]), &xByV[0][V], 256,
                                   &yByV[0][V], 256);
        RGS_PutPixel(destination, x, y, p);
    };
    if (destination == source || destination == map) {
        for (int x = 0; x < 256; x++)
            for (int y = 0; y < 256; y++) one(x, y);
    } else {
        for (int y = 0; y < 256; y++)
            for (int x = 0; x < 256; x++) one(x, y);
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
    for (int y = 0; y < 256; y++) {
        WeightCache row[BANDS];
        for (int x = 0; x < 256; x++) {
            float sx = (float)(x + (double)ox[y]);
            float sy = (float)(y + oy[x]);
            RGS_PutPixel(layer, x, y, SampleCached(4, sx, sy, row, 1, &column[0][x], 256));
        }
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
