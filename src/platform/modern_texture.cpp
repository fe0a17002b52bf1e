#include "modern_texture.h"

#include <cmath>
#include <cstdint>
#include <vector>

// GLU's rounding of a size to a power of two: 3 * 2^k and up rounds up.
// (Sizes beyond 2^30 stop there; the texture size limit halves them anyway.)
static int NearestPower(int value) {
    int power = 1;
    for (;;) {
        if (value == 1 || power == 1 << 30) return power;
        if (value == 3) return power <= 1 << 28 ? power * 4 : 1 << 30;
        value >>= 1;
        power *= 2;
    }
}

// Area-weighted box filter from a w x h image (rows `stride` bytes apart) to
// a tightly packed w2 x h2 one, for shrinking and enlarging alike.
static void ScaleImage(const uint8_t* src, int w, int h, size_t stride, int channels, uint8_t* dst,
                       int w2, int h2) {
    const double sx = (double)w / w2, sy = (double)h / h2;
    for (int oy = 0; oy < h2; oy++) {
        const double y0 = oy * sy, y1 = y0 + sy;
        for (int ox = 0; ox < w2; ox++) {
            const double x0 = ox * sx, x1 = x0 + sx;
            double sum[4] = {0, 0, 0, 0}, area = 0;
            for (int y = (int)y0; y < h && y < y1; y++) {
                const double wy = std::fmin(y + 1.0, y1) - std::fmax((double)y, y0);
                for (int x = (int)x0; x < w && x < x1; x++) {
                    const double weight = wy * (std::fmin(x + 1.0, x1) - std::fmax((double)x, x0));
                    const uint8_t* p = src + y * stride + (size_t)x * channels;
                    for (int c = 0; c < channels; c++) sum[c] += weight * p[c];
                    area += weight;
                }
            }
            uint8_t* q = dst + ((size_t)oy * w2 + ox) * channels;
            for (int c = 0; c < channels; c++) q[c] = (uint8_t)(sum[c] / area + 0.5);
        }
    }
}

int ModernTexture_Upload(const ModernGL& gl, GLuint name, const DrawImage& image, int mipmaps,
                         int* width, int* height) {
    *width = *height = 0;
    gl.BindTexture(GL_TEXTURE_2D, name);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER,
                     mipmaps ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
    gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    const int w = image.width, h = image.height;
    if (w <= 0 || h <= 0 || !image.pixels) return 0;
    const int channels = image.channels == 4 ? 4 : 3;
    const GLenum format = channels == 4 ? GL_RGBA : GL_RGB;
    // Rows start on multiples of the alignment; one GL cannot take is repacked.
    const int align = image.rowAlignment > 0 ? image.rowAlignment : 1;
    const int alignOk = align == 1 || align == 2 || align == 4 || align == 8;
    const size_t rowBytes = (size_t)w * channels;
    const size_t stride = (rowBytes + align - 1) / align * align;

    int w2 = gl.fullNpot ? w : NearestPower(w), h2 = gl.fullNpot ? h : NearestPower(h);
    while (w2 > gl.maxTextureSize || h2 > gl.maxTextureSize) {
        w2 = w2 > 1 ? w2 / 2 : 1;
        h2 = h2 > 1 ? h2 / 2 : 1;
    }
    const uint8_t* pixels = image.pixels;
    int unpack = alignOk ? align : 1;
    std::vector<uint8_t> scaled;
    if (w2 != w || h2 != h || !alignOk) {
        scaled.resize((size_t)w2 * h2 * channels);
        ScaleImage(image.pixels, w, h, stride, channels, scaled.data(), w2, h2);
        pixels = scaled.data();
        unpack = 1;
    }
    GLint saved = 4;
    gl.GetIntegerv(GL_UNPACK_ALIGNMENT, &saved);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, unpack);
    gl.TexImage2D(GL_TEXTURE_2D, 0, (GLint)format, w2, h2, 0, format, GL_UNSIGNED_BYTE, pixels);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, saved);
    if (mipmaps) gl.GenerateMipmap(GL_TEXTURE_2D);
    *width = w2, *height = h2;
    return 1;
}
