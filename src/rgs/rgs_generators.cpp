// Generators (opcodes 1-7): fill a whole layer from parameters alone.
#include "rgs/rgs.h"
#include "rgs/rgs_ops.h"

#include <cmath>
#include <cstring>

// Writes v (its low 8 bits) to the flagged channels and 0 to the others.
static inline void PutFlagged(uint8_t* p, int v, int r, int g, int b) {
    p[0] = r ? (uint8_t)v : 0;
    p[1] = g ? (uint8_t)v : 0;
    p[2] = b ? (uint8_t)v : 0;
}

static inline uint8_t* At(int layer, int x, int y) {
    return &RGS_Layers[layer][3 * (256 * y + x)];
}

void RGS_Cells(int layer, int32_t count, int32_t seed, int r, int g, int b) {
    int n = count & 255;
    if (n > 100) n = 100;
    RGS_Random = (uint32_t)seed;
    int px[100], py[100];
    for (int i = 0; i < n; i++) {
        RGS_NextRandom();
        px[i] = RGS_RandomValue() % 256;
        RGS_NextRandom();
        py[i] = RGS_RandomValue() % 256;
    }
    // Squared column distances per point, so the inner loop only adds.
    static int dx2[100][256];
    for (int i = 0; i < n; i++)
        for (int x = 0; x < 256; x++) {
            int dx = x - px[i] < 0 ? px[i] - x : x - px[i];
            if (dx > 128) dx = 256 - dx;
            dx2[i][x] = dx * dx;
        }
    // Taking the nearest point by its integer squared distance and one square
    // root per pixel gives the same d as a root per point with d kept in
    // single precision: the float rounding is monotonic, so no farther point
    // can round below the nearest one's rounded distance.
    static float distance[65536];
    float lo = 255, hi = 0;
    for (int y = 0; y < 256; y++) {
        int dy2[100];
        for (int i = 0; i < n; i++) {
            int dy = y - py[i] < 0 ? py[i] - y : y - py[i];
            if (dy > 128) dy = 256 - dy;
            dy2[i] = dy * dy;
        }
        for (int x = 0; x < 256; x++) {
            int best = -1;
            for (int i = 0; i < n; i++) {
                int s = dx2[i][x] + dy2[i];
                if (best < 0 || s < best) best = s;
            }
            float d = 255;
            if (best >= 0) {
                double e = std::sqrt((double)best);
                if (e < d) d = (float)e;
            }
            distance[256 * y + x] = d;
            if (d < lo) lo = d;
            if (d > hi) hi = d;
        }
    }
    double range = (double)hi - (double)lo;
    for (int i = 0; i < 65536; i++) {
        int v = range == 0 ? 0 : (int)(((double)distance[i] - lo) * 255.0 / range);
        PutFlagged(&RGS_Layers[layer][3 * i], v, r, g, b);
    }
}

void RGS_Plasma(int layer, int32_t columnStep, int32_t rowStep, int32_t columnPhase,
                int32_t rowPhase, int r, int g, int b) {
    const double k = 0.017453292f;
    // Both sine terms depend on one coordinate only.
    double rowTerm[256], columnTerm[256];
    for (int i = 0; i < 256; i++) {
        rowTerm[i] = std::sin((double)(rowPhase + (int64_t)i * rowStep) * k + 1.0);
        columnTerm[i] = std::sin((double)(columnPhase + (int64_t)i * columnStep) * k + 1.0);
    }
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++)
            PutFlagged(At(layer, x, y), (int)(127.5 + 63.5 * (rowTerm[y] + columnTerm[x])), r, g,
                       b);
}

// One cell of value noise: corners read when the cell starts, then S x S
// interpolated pixels wrapping around the layer. A cell wider than the layer
// writes each pixel many times; only the last write of each survives, so the
// loops start at the last 256 offsets.
static void NoiseCell(int layer, int x0, int y0, int S, double inv) {
    int x1 = (x0 + S) & 255, y1 = (y0 + S) & 255;
    RGS_Pixel p00 = RGS_GetPixel(layer, x0, y0), p10 = RGS_GetPixel(layer, x1, y0);
    RGS_Pixel p01 = RGS_GetPixel(layer, x0, y1), p11 = RGS_GetPixel(layer, x1, y1);
    int first = S > 256 ? S - 256 : 0, span = S - first;
    double weight[256];
    for (int t = 0; t < span; t++) weight[t] = RGS_CosineWeight((float)((first + t) * inv));
    for (int i = 0; i < span; i++)
        for (int j = 0; j < span; j++)
            RGS_PutPixel(layer, x0 + first + j, y0 + first + i,
                         RGS_CosineBlend(p00, p10, p01, p11, weight[j], weight[i]));
}

void RGS_Noise(int layer, int32_t spacing, int32_t levels, int32_t seed, int r, int g, int b) {
    int S = spacing & 0xFFFF;
    if (S == 0) return; // no grid: the command is invalid and skipped
    RGS_Fill(layer, 0);
    if (seed != 0) RGS_Random = (uint32_t)seed;
    int mask = ((uint32_t)levels - 1u) & 255;
    for (int y = 0; y < 256; y += S)
        for (int x = 0; x < 256; x += S) {
            RGS_NextRandom();
            PutFlagged(At(layer, x, y), RGS_RandomValue() & mask, r, g, b);
        }
    double inv = (float)(1.0 / S);
    // Cell origins run while the next one is below 255 (16-bit arithmetic).
    for (uint16_t y0 = 0;; y0 = (uint16_t)(y0 + S)) {
        for (uint16_t x0 = 0;; x0 = (uint16_t)(x0 + S)) {
            NoiseCell(layer, x0, y0, S, inv);
            if ((uint16_t)(x0 + S) >= 255) break;
        }
        if ((uint16_t)(y0 + S) >= 255) break;
    }
}

void RGS_FractalNoise(int layer, int32_t spacing, int32_t octaves, int32_t persistence,
                      int32_t seed, int r, int g, int b) {
    if ((spacing & 0xFFFF) == 0) return; // invalid, skipped before anything is written
    RGS_Noise(layer, spacing, 1, seed, r, g, b);
    uint32_t amp = 256, s = (uint16_t)spacing;
    uint32_t n = (uint16_t)octaves, p = (uint16_t)persistence;
    for (uint32_t k = 1; k < n; k++) {
        amp = ((amp * p) >> 8) & 0xFFFF;
        if (amp == 0) break;
        s >>= 1;
        if (s == 0) break;
        RGS_Noise(4, (int32_t)s, (int32_t)amp, 0, r, g, b);
        uint8_t* dst = RGS_Layers[layer];
        const uint8_t* add = RGS_Layers[4];
        for (int i = 0; i < LAYER_SIZE; i++) {
            int v = dst[i] + add[i];
            dst[i] = v >= 255 ? 255 : (uint8_t)v;
        }
    }
}

void RGS_RadialGlow(int layer, float falloff, int r, int g, int b) {
    double K = falloff * 180.0;
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++) {
            double dx = (x - 128) * 0.0078125, dy = (y - 128) * 0.0078125;
            double v = 255.0 - K * std::sqrt(dx * dx + dy * dy);
            if (v >= 255)
                v = 255;
            else if (!(v > 0))
                v = 0; // NaN too
            PutFlagged(At(layer, x, y), (int)v, r, g, b);
        }
}

void RGS_Checker(int layer, int32_t cellWidth, int32_t cellHeight, uint32_t colourA,
                 uint32_t colourB) {
    uint32_t c = colourA, o = colourB;
    uint8_t u = 1, w = 1;
    uint16_t W = (uint16_t)cellWidth, H = (uint16_t)cellHeight;
    for (int y = 0; y < 256; y++) {
        for (int x = 0; x < 256; x++) {
            uint8_t* p = At(layer, x, y);
            p[0] = (uint8_t)c;
            p[1] = (uint8_t)(c >> 8);
            p[2] = (uint8_t)(c >> 16);
            if (u == W) {
                uint32_t t = c;
                c = o;
                o = t;
                u = 1;
            } else {
                u++;
            }
        }
        if (w == H) {
            uint32_t t = c;
            c = o;
            o = t;
            w = 1;
        } else {
            w++;
        }
    }
}

void RGS_Fill(int layer, uint32_t colour) {
    uint8_t* p = RGS_Layers[layer];
    for (int i = 0; i < 65536; i++, p += 3) {
        p[0] = (uint8_t)colour;
        p[1] = (uint8_t)(colour >> 8);
        p[2] = (uint8_t)(colour >> 16);
    }
}
