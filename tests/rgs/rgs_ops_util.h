// Small helpers for the RGS operation tests.
#pragma once
#include "rgs/rgs.h"

#include <cmath>
#include <cstring>
#include <vector>

inline void FillLayer(int layer, uint8_t r, uint8_t g, uint8_t b) {
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++) RGS_PutPixel(layer, x, y, RGS_Pixel{r, g, b});
}

// Every channel a different function of position, so moves are traceable.
inline void PatternLayer(int layer) {
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++)
            RGS_PutPixel(layer, x, y, RGS_Pixel{(uint8_t)x, (uint8_t)y, (uint8_t)(x * 7 + y * 13)});
}

inline void NoiseLayers(uint32_t seed) {
    for (int l = 0; l < RGS_LAYER_COUNT; l++)
        for (int i = 0; i < LAYER_SIZE; i++) {
            seed = seed * 1664525u + 1013904223u;
            RGS_Layers[l][i] = (uint8_t)(seed >> 24);
        }
}

inline std::vector<uint8_t> Snapshot() {
    std::vector<uint8_t> v(sizeof RGS_Layers);
    memcpy(v.data(), RGS_Layers, sizeof RGS_Layers);
    return v;
}

inline bool SamePixel(RGS_Pixel a, RGS_Pixel b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}
