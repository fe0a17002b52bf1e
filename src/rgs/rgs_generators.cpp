// Generators (opcodes 1-7): fill a whole layer from parameters alone.
#include "rgs/rgs.h"
#include "rgs/rgs_ops.h"

#include <climits>
#include <cmath>
#include <utility>
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
        int best[256];
        for (int x = 0; x < 256; x++) best[x] = n ? INT32_MAX : -1;
        // Points in order of their row distance: once that alone reaches the
        // farthest best so far, no point left can lower any pixel's minimum.
        // (A point's coordinates may be negative: then dy reaches 510 and
        // the wrapped one -254, whose square is kept.)
        int dys[100], order[100], start[257] = {};
        for (int i = 0; i < n; i++) {
            int dy = y - py[i] < 0 ? py[i] - y : y - py[i];
            dy = dy > 128 ? 256 - dy : dy;
            dys[i] = dy < 0 ? -dy : dy;
            start[dys[i] + 1]++;
        }
        for (int d = 0; d < 256; d++) start[d + 1] += start[d];
        for (int i = 0; i < n; i++) order[start[dys[i]]++] = i;
        int worst = INT32_MAX; // at least the farthest best (found every few points)
        for (int j = 0; j < n; j++) {
            int i = order[j], dy2 = dys[i] * dys[i];
            if (dy2 >= worst) break;
            const int* col = dx2[i];
            for (int x = 0; x < 256; x++) {
                int s = col[x] + dy2;
                best[x] = s < best[x] ? s : best[x];
            }
            if (j % 4 == 3) {
                worst = 0;
                for (int x = 0; x < 256; x++) worst = best[x] > worst ? best[x] : worst;
            }
        }
        for (int x = 0; x < 256; x++) {
            float d = 255;
            if (best[x] >= 0) {
                double e = std::sqrt((double)best[x]);
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

// Corner weights of every offset in a cell, one array per corner so the
// blend runs over whole rows of a cell. Cells up to 64 wide repeat often and
// keep a table of all their rows; wider ones, few, work out each row anew.
struct NoiseWeights {
    int first, span;      // offsets first ... first + span - 1 are written
    double a[256];        // cosine weight of each offset
    double w[4][64 * 64]; // w00, w10, w01, w11 of every row (narrow cells)
    double rowW[4][256];  // of one row (wide cells)
    const double* row[4];
};

static void SetRow(double* out[4], const NoiseWeights* nw, int i) {
    for (int j = 0; j < nw->span; j++) {
        RGS_Weights w = RGS_BlendWeights(nw->a[j], nw->a[i]);
        out[0][j] = w.w00, out[1][j] = w.w10, out[2][j] = w.w01, out[3][j] = w.w11;
    }
}

static void SelectRow(NoiseWeights* nw, int i) {
    if (nw->span <= 64) {
        for (int k = 0; k < 4; k++) nw->row[k] = &nw->w[k][i * nw->span];
    } else {
        double* out[4] = {nw->rowW[0], nw->rowW[1], nw->rowW[2], nw->rowW[3]};
        SetRow(out, nw, i);
        for (int k = 0; k < 4; k++) nw->row[k] = nw->rowW[k];
    }
}

// One cell of value noise: corners read when the cell starts, then S x S
// interpolated pixels wrapping around the layer. A cell wider than the layer
// writes each pixel many times; only the last write of each survives, so the
// loops start at the last 256 offsets. Flagged channels hold equal values and
// the others 0 throughout (each channel is blended alike from its own
// corners), so one channel, k, is blended and copied to the flagged ones.
static void NoiseCell(int layer, int x0, int y0, int S, int k, const int masks[3],
                      NoiseWeights* nw) {
    int x1 = (x0 + S) & 255, y1 = (y0 + S) & 255;
    double c00 = At(layer, x0, y0)[k], c10 = At(layer, x1, y0)[k];
    double c01 = At(layer, x0, y1)[k], c11 = At(layer, x1, y1)[k];
    int first = nw->first, span = nw->span;
    for (int i = 0; i < span; i++) {
        SelectRow(nw, i);
        const double *w00 = nw->row[0], *w10 = nw->row[1], *w01 = nw->row[2], *w11 = nw->row[3];
        uint8_t* row = RGS_Layers[layer] + 768 * ((y0 + first + i) & 255);
        for (int j = 0; j < span; j++) {
            int v = (int)(c00 * w00[j] + c10 * w10[j] + c01 * w01[j] + c11 * w11[j]);
            uint8_t* p = row + 3 * ((x0 + first + j) & 255);
            p[0] = (uint8_t)(v & masks[0]);
            p[1] = (uint8_t)(v & masks[1]);
            p[2] = (uint8_t)(v & masks[2]);
        }
    }
}

void RGS_Noise(int layer, int32_t spacing, int32_t levels, int32_t seed, int r, int g, int b) {
    int S = spacing & 0xFFFF;
    if (S == 0) return; // no grid: the command is invalid and skipped
    RGS_Fill(layer, 0);
    if (seed != 0) RGS_Random = (uint32_t)seed;
    int mask = ((uint32_t)levels - 1u) & 255;
    // RGS_NextRandom and RGS_RandomValue written out: at spacing 1 they run
    // for every pixel.
    uint32_t state = RGS_Random;
    for (int y = 0; y < 256; y += S)
        for (int x = 0; x < 256; x += S) {
            state *= 22695475u;
            PutFlagged(At(layer, x, y), ((int32_t)state >> 16) & mask, r, g, b);
        }
    RGS_Random = state;
    // Interpolation changes nothing when every grid value is 0 (mask 0 or no
    // flag), nor when every pixel is a cell origin (S = 1), whose weights are
    // 1, 0, 0, 0.
    if (mask == 0 || S == 1 || !(r || g || b)) return;
    const int masks[3] = {r ? 255 : 0, g ? 255 : 0, b ? 255 : 0};
    int k = r ? 0 : g ? 1 : 2;
    static NoiseWeights nw;
    double inv = (float)(1.0 / S);
    nw.first = S > 256 ? S - 256 : 0;
    nw.span = S - nw.first;
    for (int t = 0; t < nw.span; t++) nw.a[t] = RGS_CosineWeight((float)((nw.first + t) * inv));
    if (nw.span <= 64)
        for (int i = 0; i < nw.span; i++) {
            double* out[4];
            for (int w = 0; w < 4; w++) out[w] = &nw.w[w][i * nw.span];
            SetRow(out, &nw, i);
        }
    // Cell origins run while the next one is below 255 (16-bit arithmetic).
    for (uint16_t y0 = 0;; y0 = (uint16_t)(y0 + S)) {
        for (uint16_t x0 = 0;; x0 = (uint16_t)(x0 + S)) {
            NoiseCell(layer, x0, y0, S, k, masks, &nw);
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
        for (int i = 0; i < LAYER_SIZE; i++) { // a saturating add, in vector form
            uint8_t a = dst[i], sum = (uint8_t)(a + add[i]);
            dst[i] = sum < a ? 255 : sum;
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
                std::swap(c, o);
                u = 1;
            } else {
                u++;
            }
        }
        if (w == H) {
            std::swap(c, o);
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
