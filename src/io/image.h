// The pixels handed to the picture writers: 8-bit components, or floats in
// 0..1 that a writer rounds to 8 bits (or dithers to 5 for 16-bit TGA).
#pragma once
#include <cstdint>

struct IO_Image {
    int width = 0, height = 0;
    int channels = 3;               // per pixel: 3 (R, G, B) or 4 (R, G, B, A)
    const uint8_t* bytes = nullptr; // either these
    const float* floats = nullptr;  // or these
    int topRowFirst = 0;            // rows top down; else bottom up, as OpenGL keeps them
};

// The 8-bit value of a float component (rounded, clamped).
uint8_t IO_ToByte(float v);
// Component c (0..3) of the pixel at column x of stored row `row`, as a float
// in 0..1; a missing alpha is opaque.
float IO_PixelFloat(const IO_Image& image, int x, int row, int c);
// The same as a byte.
uint8_t IO_PixelByte(const IO_Image& image, int x, int row, int c);
