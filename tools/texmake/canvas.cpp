#include "canvas.h"

#include <algorithm>
#include <cmath>

void Canvas::Resize(int w, int h) {
    width = w;
    height = h;
    px.assign((size_t)w * h * 4, 0.0f);
    for (size_t i = 3; i < px.size(); i += 4) px[i] = 1.0f;
}

static float Clamp01(float v) {
    return v < 0 ? 0 : v > 1 ? 1 : v;
}

void BlendPixel(float* p, Rgb c, float a, Blend mode) {
    float src[3] = {c.r, c.g, c.b};
    for (int k = 0; k < 3; k++) {
        float d = p[k], s = src[k], v;
        switch (mode) {
        case Blend::Add:
            v = d + s * a;
            break;
        case Blend::Screen:
            v = d + (1 - d) * Clamp01(s * a);
            break;
        case Blend::Multiply:
            v = d * (1 - a + s * a);
            break;
        case Blend::Max:
            v = std::max(d, s * a);
            break;
        default:
            v = d * (1 - a) + s * a;
            break; // Copy and Over
        }
        p[k] = Clamp01(v);
    }
}

void Fill(Canvas* c, Rgb colour) {
    for (int y = 0; y < c->height; y++)
        for (int x = 0; x < c->width; x++) {
            float* p = c->At(x, y);
            p[0] = colour.r, p[1] = colour.g, p[2] = colour.b, p[3] = 1;
        }
}

// Catmull-Rom weights for a fraction t.
static void CubicWeights(float t, float w[4]) {
    float t2 = t * t, t3 = t2 * t;
    w[0] = 0.5f * (-t3 + 2 * t2 - t);
    w[1] = 0.5f * (3 * t3 - 5 * t2 + 2);
    w[2] = 0.5f * (-3 * t3 + 4 * t2 + t);
    w[3] = 0.5f * (t3 - t2);
}

void DrawLayer(Canvas* c, const uint8_t* layer, Blend mode, float opacity) {
    for (int y = 0; y < c->height; y++) {
        // Canvas rows run top-down, the layer's bottom-up.
        float ly = 255.0f - ((y + 0.5f) * 256.0f / c->height - 0.5f);
        int iy = (int)std::floor(ly);
        float wy[4];
        CubicWeights(ly - iy, wy);
        for (int x = 0; x < c->width; x++) {
            float lx = (x + 0.5f) * 256.0f / c->width - 0.5f;
            int ix = (int)std::floor(lx);
            float wx[4];
            CubicWeights(lx - ix, wx);
            float sum[3] = {0, 0, 0};
            for (int j = 0; j < 4; j++) {
                const uint8_t* row = layer + 3 * 256 * ((iy - 1 + j) & 255);
                for (int i = 0; i < 4; i++) {
                    const uint8_t* s = row + 3 * ((ix - 1 + i) & 255);
                    float w = wx[i] * wy[j];
                    sum[0] += s[0] * w, sum[1] += s[1] * w, sum[2] += s[2] * w;
                }
            }
            Rgb col{Clamp01(sum[0] / 255), Clamp01(sum[1] / 255), Clamp01(sum[2] / 255)};
            BlendPixel(c->At(x, y), col, opacity, mode);
        }
    }
}

void DrawGradient(Canvas* c, Rgb top, Rgb bottom, Blend mode, float opacity) {
    for (int y = 0; y < c->height; y++) {
        float t = c->height > 1 ? (float)y / (c->height - 1) : 0;
        Rgb col{top.r + (bottom.r - top.r) * t, top.g + (bottom.g - top.g) * t,
                top.b + (bottom.b - top.b) * t};
        for (int x = 0; x < c->width; x++) BlendPixel(c->At(x, y), col, opacity, mode);
    }
}

void DrawRadial(Canvas* c, float cx, float cy, float radius, Rgb colour, float power, Blend mode) {
    float h = (float)c->height, aspect = (float)c->width / c->height;
    for (int y = 0; y < c->height; y++)
        for (int x = 0; x < c->width; x++) {
            float dx = ((x + 0.5f) / c->width - cx) * aspect, dy = (y + 0.5f) / h - cy;
            float d = std::sqrt(dx * dx + dy * dy) / radius;
            if (d >= 1) continue;
            float a = std::pow(1 - d, power);
            BlendPixel(c->At(x, y), colour, a, mode);
        }
}

void Vignette(Canvas* c, float strength) {
    for (int y = 0; y < c->height; y++)
        for (int x = 0; x < c->width; x++) {
            float dx = (x + 0.5f) / c->width * 2 - 1, dy = (y + 0.5f) / c->height * 2 - 1;
            float f = 1 - strength * (dx * dx + dy * dy) * 0.5f;
            float* p = c->At(x, y);
            for (int k = 0; k < 3; k++) p[k] *= Clamp01(f);
        }
}

void DrawFrame(Canvas* c, int width, Rgb colour) {
    for (int y = 0; y < c->height; y++)
        for (int x = 0; x < c->width; x++)
            if (x < width || y < width || x >= c->width - width || y >= c->height - width) {
                float* p = c->At(x, y);
                p[0] = colour.r, p[1] = colour.g, p[2] = colour.b, p[3] = 1;
            }
}

void DrawLine(Canvas* c, float x0, float y0, float x1, float y1, float width, Rgb colour,
              float opacity) {
    float ax = x0 * c->width, ay = y0 * c->height, bx = x1 * c->width, by = y1 * c->height;
    float dx = bx - ax, dy = by - ay, len2 = dx * dx + dy * dy;
    for (int y = 0; y < c->height; y++)
        for (int x = 0; x < c->width; x++) {
            float px = x + 0.5f, py = y + 0.5f;
            float t = len2 > 0 ? ((px - ax) * dx + (py - ay) * dy) / len2 : 0;
            t = Clamp01(t);
            float ex = px - (ax + t * dx), ey = py - (ay + t * dy);
            // Coverage with a one-pixel soft edge.
            float cover = Clamp01(width * 0.5f + 0.5f - std::sqrt(ex * ex + ey * ey));
            if (cover > 0) BlendPixel(c->At(x, y), colour, cover * opacity, Blend::Over);
        }
}

static void BoxPass(float* data, int count, int stride, int radius, std::vector<float>* tmp) {
    tmp->resize(count);
    for (int i = 0; i < count; i++) (*tmp)[i] = data[(size_t)i * stride];
    float norm = 1.0f / (2 * radius + 1);
    double sum = 0;
    for (int i = -radius; i <= radius; i++) sum += (*tmp)[std::clamp(i, 0, count - 1)];
    for (int i = 0; i < count; i++) {
        data[(size_t)i * stride] = (float)(sum * norm);
        sum += (*tmp)[std::min(i + radius + 1, count - 1)] - (*tmp)[std::max(i - radius, 0)];
    }
}

void BlurMask(std::vector<float>* mask, int width, int height, float radius) {
    int r = std::max(1, (int)std::lround(radius / 1.7f));
    std::vector<float> tmp;
    for (int pass = 0; pass < 3; pass++) {
        for (int y = 0; y < height; y++)
            BoxPass(mask->data() + (size_t)y * width, width, 1, r, &tmp);
        for (int x = 0; x < width; x++) BoxPass(mask->data() + x, height, width, r, &tmp);
    }
}

void Blur(Canvas* c, float radius) {
    std::vector<float> channel((size_t)c->width * c->height);
    for (int k = 0; k < 4; k++) {
        for (size_t i = 0; i < channel.size(); i++) channel[i] = c->px[4 * i + k];
        BlurMask(&channel, c->width, c->height, radius);
        for (size_t i = 0; i < channel.size(); i++) c->px[4 * i + k] = channel[i];
    }
}

void AlphaFromLuma(Canvas* c, float floor) {
    for (size_t i = 0; i < c->px.size(); i += 4)
        c->px[i + 3] = std::max(floor, std::max(c->px[i], std::max(c->px[i + 1], c->px[i + 2])));
}

void SetAlpha(Canvas* c, float value) {
    for (size_t i = 3; i < c->px.size(); i += 4) c->px[i] = value;
}

void FlipVertical(Canvas* c) {
    size_t row = (size_t)c->width * 4;
    for (int y = 0; y < c->height / 2; y++)
        std::swap_ranges(c->px.begin() + y * row, c->px.begin() + (y + 1) * row,
                         c->px.begin() + (c->height - 1 - y) * row);
}

void Levels(Canvas* c, float black, float white, float gamma) {
    float span = white - black;
    if (span <= 0) span = 1e-6f;
    for (size_t i = 0; i < c->px.size(); i++) {
        if (i % 4 == 3) continue;
        c->px[i] = std::pow(Clamp01((c->px[i] - black) / span), 1.0f / gamma);
    }
}

void Tint(Canvas* c, Rgb colour) {
    for (size_t i = 0; i < c->px.size(); i += 4) {
        c->px[i] *= colour.r;
        c->px[i + 1] *= colour.g;
        c->px[i + 2] *= colour.b;
    }
}
