#include "io/image.h"

#include <cmath>
#include <cstddef>

uint8_t IO_ToByte(float v) {
    if (!(v > 0)) return 0;
    if (v >= 1) return 255;
    return (uint8_t)std::lround(v * 255.0f);
}

static size_t Index(const IO_Image& image, int x, int row, int c) {
    return ((size_t)row * image.width + x) * image.channels + c;
}

float IO_PixelFloat(const IO_Image& image, int x, int row, int c) {
    if (c >= image.channels) return 1.0f;
    if (image.floats) return image.floats[Index(image, x, row, c)];
    return image.bytes[Index(image, x, row, c)] / 255.0f;
}

uint8_t IO_PixelByte(const IO_Image& image, int x, int row, int c) {
    if (c >= image.channels) return 255;
    if (image.floats) return IO_ToByte(image.floats[Index(image, x, row, c)]);
    return image.bytes[Index(image, x, row, c)];
}
