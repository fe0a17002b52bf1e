// Colour and level operations: each pixel from its own channel values, or
// through per-channel tables built from the layer's histograms.
#include "rgs/rgs.h"
#include "rgs/rgs_ops.h"

#include <cmath>
#include <cstring>

static const double kPi = 3.1415927f;         // single-precision constants, widened
static const double kSixtieth = 0.016666668f; // 1/60

// Applies one 256-entry table per channel to every pixel of a layer.
static void ApplyTables(int layer, const uint8_t table[3][256]) {
    uint8_t* p = RGS_Layers[layer];
    for (int i = 0; i < LAYER_SIZE; i += 3) {
        p[i] = table[0][p[i]];
        p[i + 1] = table[1][p[i + 1]];
        p[i + 2] = table[2][p[i + 2]];
    }
}

void RGS_AddColor(int layer, float r, float g, float b) {
    const float add[3] = {r, g, b};
    uint8_t table[3][256];
    int32_t v;
    // c + a only grows with c, so checking 0 and 255 covers every value.
    for (int k = 0; k < 3; k++)
        if (!RGS_ToInt(0.0 + add[k], &v) || !RGS_ToInt(255.0 + add[k], &v)) return;
    for (int k = 0; k < 3; k++)
        for (int c = 0; c < 256; c++) {
            RGS_ToInt(c + (double)add[k], &v);
            table[k][c] = (uint8_t)v; // low 8 bits: wraps both ways
        }
    ApplyTables(layer, table);
}

void RGS_ScaleColor(int layer, float r, float g, float b) {
    const float mul[3] = {r, g, b};
    uint8_t table[3][256];
    for (int k = 0; k < 3; k++)
        for (int c = 0; c < 256; c++) {
            double v = c * (double)mul[k];
            if (v >= 255.0)
                table[k][c] = 255;
            else if (v > 0.0)
                table[k][c] = (uint8_t)(int)v;
            else
                table[k][c] = 0; // also NaN
        }
    ApplyTables(layer, table);
}

void RGS_SineColor(int layer, float r, float g, float b) {
    const float freq[3] = {r, g, b};
    uint8_t table[3][256];
    // sin of an infinite or NaN argument has no value to convert.
    for (int k = 0; k < 3; k++)
        if (freq[k] != 0.0f && !std::isfinite(freq[k])) return;
    for (int k = 0; k < 3; k++)
        for (int c = 0; c < 256; c++) {
            if (freq[k] == 0.0f) {
                table[k][c] = (uint8_t)c;
                continue;
            }
            double v = (std::sin(freq[k] * kPi * c) + 1.0) * 127.5;
            table[k][c] = (uint8_t)(int)v;
        }
    ApplyTables(layer, table);
}

struct HsvOut {
    double r, g, b;
};

// hue is already wrapped into [0, 360).
static HsvOut RGS_HsvToRgb(double hue, double s, double V) {
    if (s == 0.0) return HsvOut{V, V, V};
    double h6 = hue * kSixtieth;
    int i = (int)h6;
    double f = h6 - i;
    if (i >= 6) { // the constant is slightly above 1/60: hues just below 360
        i = 0;
        f = h6 - 6.0;
    }
    double p = (float)(V * (1.0 - s));
    double q = (float)(V * (1.0 - s * f));
    double t = (float)(V * (1.0 - s * (1.0 - f)));
    switch (i) {
    case 0:
        return HsvOut{V, t, p};
    case 1:
        return HsvOut{q, V, p};
    case 2:
        return HsvOut{p, V, t};
    case 3:
        return HsvOut{p, q, V};
    case 4:
        return HsvOut{t, p, V};
    default:
        return HsvOut{V, p, q};
    }
}

// The result of "while hue < 0 add 360, then while hue >= 360 subtract 360"
// in double precision, without the loops. Below 2^53 every step of those loops
// except the last addition is exact, so fmod plus that one addition gives the
// same value. Returns 0 for NaN and hues too large to wrap.
static int WrapHue(double hue, double* out) {
    if (!(std::fabs(hue) < 9007199254740992.0)) return 0;
    double h = std::fmod(hue, 360.0);
    if (h < 0.0) h += 360.0;
    while (h >= 360.0) h -= 360.0;
    *out = h + 0.0; // no negative zero
    return 1;
}

void RGS_Colorize(int layer, float hue, float saturation) {
    double h;
    if (!WrapHue(hue, &h)) return;
    double s = saturation;
    if (!(s > 0.0))
        s = 0.0;
    else if (s >= 1.0)
        s = 1.0;
    // The result depends only on the brightness, so one entry per value.
    uint8_t table[256][3];
    for (int V = 0; V < 256; V++) {
        HsvOut c = RGS_HsvToRgb(h, s, V);
        table[V][0] = (uint8_t)(int)c.r;
        table[V][1] = (uint8_t)(int)c.g;
        table[V][2] = (uint8_t)(int)c.b;
    }
    uint8_t* p = RGS_Layers[layer];
    for (int i = 0; i < LAYER_SIZE; i += 3) {
        int m = p[i] > p[i + 1] ? p[i] : p[i + 1];
        int V = m > p[i + 2] ? m : p[i + 2]; // the brightness
        p[i] = table[V][0];
        p[i + 1] = table[V][1];
        p[i + 2] = table[V][2];
    }
}

void RGS_ShuffleChannels(int layer) {
    if (layer != 4) memcpy(RGS_Layers[4], RGS_Layers[layer], LAYER_SIZE);
    const uint8_t* s = RGS_Layers[4];
    uint8_t* d = RGS_Layers[layer];
    for (int i = 0; i < LAYER_SIZE; i += 3) {
        uint8_t g = s[i + 1], b = s[i + 2];
        d[i] = b;
        d[i + 1] = b;
        d[i + 2] = g;
    }
}

void RGS_Invert(int layer) {
    uint8_t* p = RGS_Layers[layer];
    for (int i = 0; i < LAYER_SIZE; i++) p[i] = (uint8_t)(255 - p[i]);
}

void RGS_BitRotate(int layer, int32_t leftShift, int32_t rightShift) {
    unsigned l = (uint32_t)leftShift & 255u & 31u, r = (uint32_t)rightShift & 255u & 31u;
    uint8_t table[256];
    for (unsigned c = 0; c < 256; c++) table[c] = (uint8_t)(((c << l) & 255u) | (c >> r));
    uint8_t* p = RGS_Layers[layer];
    for (int i = 0; i < LAYER_SIZE; i++) p[i] = table[p[i]];
}

void RGS_Threshold(int layer) {
    uint8_t* p = RGS_Layers[layer];
    for (int i = 0; i < LAYER_SIZE; i++) p[i] = p[i] > 128 ? 255 : 0;
}

static void CountHistograms(int layer, uint32_t hist[3][256]) {
    memset(hist, 0, sizeof(uint32_t) * 3 * 256);
    const uint8_t* p = RGS_Layers[layer];
    for (int i = 0; i < LAYER_SIZE; i += 3) {
        hist[0][p[i]]++;
        hist[1][p[i + 1]]++;
        hist[2][p[i + 2]]++;
    }
}

void RGS_Equalize(int layer) {
    uint32_t hist[3][256];
    uint8_t table[3][256];
    CountHistograms(layer, hist);
    for (int k = 0; k < 3; k++) {
        float acc = 0.0f;
        for (int v = 0; v < 256; v++) {
            acc = (float)(acc + hist[k][v] * 0.0038909912109375);
            table[k][v] = (uint8_t)RGS_ClampByte(RGS_RoundHalfUp(acc));
        }
    }
    ApplyTables(layer, table);
}

void RGS_Stretch(int layer) {
    uint32_t hist[3][256];
    uint8_t table[3][256];
    CountHistograms(layer, hist);
    for (int k = 0; k < 3; k++) {
        int lo = 0, hi = 255;
        while (lo < 255 && hist[k][lo] == 0) lo++;
        while (hi > 0 && hist[k][hi] == 0) hi--;
        float scale = (float)((hi - lo) * (1.0 / 65536.0));
        float acc = (float)lo;
        for (int v = 0; v < 256; v++) {
            acc = (float)(acc + hist[k][v] * (double)scale);
            table[k][v] = (uint8_t)RGS_RoundHalfUp(acc);
        }
    }
    ApplyTables(layer, table);
}
