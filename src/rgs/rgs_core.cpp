#include "rgs/rgs.h"

#include <cmath>

uint8_t RGS_Layers[RGS_LAYER_COUNT][LAYER_SIZE];
uint32_t RGS_Random = 0;

uint32_t RGS_NextRandom() {
    RGS_Random *= 22695475u;
    return RGS_Random;
}

int32_t RGS_RandomValue() {
    return (int32_t)RGS_Random >> 16;
}

int RGS_RoundHalfUp(double v) {
    double t = std::trunc(v);
    return (int)(v - t < 0.5 ? std::floor(v) : std::ceil(v));
}

int RGS_ClampByte(int v) {
    if (v >= 255) return 255;
    if (v <= 0) return 0;
    return v;
}

int RGS_ToInt(double v, int32_t* out) {
    // Bounds chosen so that every value passing them truncates into int32.
    if (!(v > -2147483649.0 && v < 2147483648.0)) return 0;
    *out = (int32_t)v;
    return 1;
}

double RGS_CosineWeight(double f) {
    const double pi = 3.1415927f; // the single-precision constant, widened
    return (1.0 - std::cos(pi * f)) / 2.0;
}

RGS_Pixel RGS_CosineBlend(RGS_Pixel p00, RGS_Pixel p10, RGS_Pixel p01, RGS_Pixel p11, double a,
                          double b) {
    RGS_Weights w = RGS_BlendWeights(a, b);
    RGS_Pixel out;
    out.r = (uint8_t)RGS_BlendChannel(p00.r, p10.r, p01.r, p11.r, w);
    out.g = (uint8_t)RGS_BlendChannel(p00.g, p10.g, p01.g, p11.g, w);
    out.b = (uint8_t)RGS_BlendChannel(p00.b, p10.b, p01.b, p11.b, w);
    return out;
}

RGS_Pixel RGS_CosineInterpolate(RGS_Pixel p00, RGS_Pixel p10, RGS_Pixel p01, RGS_Pixel p11,
                                double fx, double fy) {
    return RGS_CosineBlend(p00, p10, p01, p11, RGS_CosineWeight(fx), RGS_CosineWeight(fy));
}

RGS_Pixel RGS_SampleLayer(int layer, double x, double y) {
    // Callers keep coordinates finite and within the 32-bit range.
    int ix = (int)x, iy = (int)y;
    double fx = x - ix, fy = y - iy;
    return RGS_CosineInterpolate(RGS_GetPixel(layer, ix, iy), RGS_GetPixel(layer, ix + 1, iy),
                                 RGS_GetPixel(layer, ix, iy + 1),
                                 RGS_GetPixel(layer, ix + 1, iy + 1), fx, fy);
}

int RGS_Brightness(RGS_Pixel p) {
    int m = p.r > p.g ? p.r : p.g;
    return m > p.b ? m : p.b;
}
