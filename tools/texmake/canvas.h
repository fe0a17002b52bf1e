// The texture compositor's canvas: float RGBA, row 0 at the top, and the
// painting operations the recipes use.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

struct Rgb {
    float r = 0, g = 0, b = 0;
};

enum class Blend { Copy, Add, Screen, Multiply, Max, Over };

struct Canvas {
    int width = 0, height = 0;
    std::vector<float> px; // r, g, b, a per pixel, 0..1

    void Resize(int w, int h);
    float* At(int x, int y) { return &px[4 * ((size_t)y * width + x)]; }
    const float* At(int x, int y) const { return &px[4 * ((size_t)y * width + x)]; }
};

// Puts colour c with strength a (0..1) onto pixel p's colour by the blend mode.
void BlendPixel(float* p, Rgb c, float a, Blend mode);

void Fill(Canvas* c, Rgb colour);
// One 256 x 256 RGB layer (row 0 at the bottom, as the texture scripts store
// it) stretched over the canvas with wrap-around bicubic sampling.
void DrawLayer(Canvas* c, const uint8_t* layer, Blend mode, float opacity);
void DrawGradient(Canvas* c, Rgb top, Rgb bottom, Blend mode, float opacity);
// A soft disc: colour × (1 - d/radius)^power; centre and radius are fractions of
// the canvas height (x scaled by the aspect, so discs stay round).
void DrawRadial(Canvas* c, float cx, float cy, float radius, Rgb colour, float power, Blend mode);
// Darkens towards the corners: factor 1 - strength·(d/dmax)².
void Vignette(Canvas* c, float strength);
// A border of the given width in pixels.
void DrawFrame(Canvas* c, int width, Rgb colour);
// A straight line of the given pixel width, ends in canvas fractions.
void DrawLine(Canvas* c, float x0, float y0, float x1, float y1, float width, Rgb colour,
              float opacity);
// Gaussian-like blur (three box passes per axis) of the colour channels and alpha.
void Blur(Canvas* c, float radius);
void BlurMask(std::vector<float>* mask, int width, int height, float radius);
// Alpha from the brightest channel, not below floor.
void AlphaFromLuma(Canvas* c, float floor);
void SetAlpha(Canvas* c, float value);
void FlipVertical(Canvas* c);
// Maps each channel through black/white points and a gamma.
void Levels(Canvas* c, float black, float white, float gamma);
void Tint(Canvas* c, Rgb colour);
