// The offscreen frame in a browser is the canvas itself: the hidden window
// sized it to the frame, and its WebGL context keeps the drawing buffer
// between frames. WebGL reads RGBA rows only; they are repacked here.
#include "engine/offscreen.h"

#include <GLES2/gl2.h>

#include <vector>

void Offscreen_Prepare() {}

int Offscreen_Create(int, int) {
    // Start as the window would: black, depth at the far plane.
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    return 1;
}

// order: where R, G, B and A go in an output pixel of `bytes` bytes.
static void Read(int width, int height, int rowPixels, int bytes, const int* order, uint8_t* out) {
    std::vector<uint8_t> rgba((size_t)width * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    for (int y = 0; y < height; y++) {
        const uint8_t* p = rgba.data() + (size_t)y * width * 4;
        uint8_t* q = out + (size_t)y * rowPixels * bytes;
        for (int x = 0; x < width; x++, p += 4, q += bytes)
            for (int c = 0; c < bytes; c++) q[order[c]] = p[c];
    }
}

void Offscreen_ReadRgb(int width, int height, int rowPixels, uint8_t* out) {
    static const int rgb[3] = {0, 1, 2};
    Read(width, height, rowPixels, 3, rgb, out);
}

void Offscreen_ReadBgra(int width, int height, int rowPixels, uint8_t* out) {
    static const int bgra[4] = {2, 1, 0, 3};
    Read(width, height, rowPixels, 4, bgra, out);
}

void Offscreen_ReadRgba(int width, int height, int rowPixels, uint8_t* out) {
    static const int rgba[4] = {0, 1, 2, 3};
    Read(width, height, rowPixels, 4, rgba, out);
}
