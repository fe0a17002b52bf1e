// Generators against the stated values and against literal, unoptimised
// versions of their algorithms (every root, every overwritten pixel).
#include "rgs/rgs.h"
#include "rgs/rgs_ops.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <vector>

using Layer = std::vector<uint8_t>;

static Layer Copy(int layer) {
    return Layer(RGS_Layers[layer], RGS_Layers[layer] + LAYER_SIZE);
}
static uint8_t Red(int layer, int x, int y) {
    return RGS_GetPixel(layer, x, y).r;
}

static uint32_t Advance(uint32_t state, int draws) {
    while (draws--) state *= 22695475u;
    return state;
}

// Cells with a root per point and the distance kept in single precision.
static Layer LiteralCells(int n, int32_t seed) {
    uint32_t s = (uint32_t)seed;
    std::vector<int> px(n), py(n);
    for (int i = 0; i < n; i++) {
        s *= 22695475u, px[i] = ((int32_t)s >> 16) % 256;
        s *= 22695475u, py[i] = ((int32_t)s >> 16) % 256;
    }
    std::vector<float> d(65536);
    float lo = 255, hi = 0;
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++) {
            float best = 255;
            for (int i = 0; i < n; i++) {
                int dx = std::abs(x - px[i]), dy = std::abs(y - py[i]);
                if (dx > 128) dx = 256 - dx;
                if (dy > 128) dy = 256 - dy;
                double e = std::sqrt((double)(dx * dx + dy * dy));
                if (e < best) best = (float)e;
            }
            d[256 * y + x] = best;
            lo = std::min(lo, best);
            hi = std::max(hi, best);
        }
    Layer out(LAYER_SIZE);
    for (int i = 0; i < 65536; i++)
        out[3 * i] = hi == lo ? 0 : (uint8_t)(int)((d[i] - (double)lo) * 255.0 / ((double)hi - lo));
    return out;
}

// The cell loops exactly as written: every S x S pixel of every cell, in order.
static void LiteralNoiseCells(int layer, int S) {
    double inv = (float)(1.0 / S);
    for (uint16_t y0 = 0;; y0 = (uint16_t)(y0 + S)) {
        for (uint16_t x0 = 0;; x0 = (uint16_t)(x0 + S)) {
            int x1 = (x0 + S) % 256, y1 = (y0 + S) % 256;
            RGS_Pixel p00 = RGS_GetPixel(layer, x0, y0), p10 = RGS_GetPixel(layer, x1, y0);
            RGS_Pixel p01 = RGS_GetPixel(layer, x0, y1), p11 = RGS_GetPixel(layer, x1, y1);
            for (int i = 0; i < S; i++)
                for (int j = 0; j < S; j++)
                    RGS_PutPixel(layer, (x0 + j) % 256, (y0 + i) % 256,
                                 RGS_CosineInterpolate(p00, p10, p01, p11, (float)(j * inv),
                                                       (float)(i * inv)));
            if ((uint16_t)(x0 + S) >= 255) break;
        }
        if ((uint16_t)(y0 + S) >= 255) break;
    }
}

class Generators : public ::testing::Test {
  protected:
    void SetUp() override {
        memset(RGS_Layers, 0x33, sizeof RGS_Layers);
        RGS_Random = 0;
    }
};

TEST_F(Generators, Plasma) {
    RGS_Plasma(0, 0, 0, 0, 0, 1, 0, 1);
    for (int i : {0, 1000, 65535}) {
        EXPECT_EQ(RGS_Layers[0][3 * i], 234);
        EXPECT_EQ(RGS_Layers[0][3 * i + 1], 0);
        EXPECT_EQ(RGS_Layers[0][3 * i + 2], 234);
    }
    // Column step and phase act along x, row step and phase along y.
    RGS_Plasma(1, 7, 3, 11, 200, 1, 1, 1);
    const double k = 0.017453292f;
    for (int y : {0, 5, 255})
        for (int x : {0, 9, 254}) {
            double v =
                127.5 + 63.5 * (std::sin((200 + y * 3) * k + 1) + std::sin((11 + x * 7) * k + 1));
            EXPECT_EQ(Red(1, x, y), (uint8_t)(int)v) << x << "," << y;
        }
}

TEST_F(Generators, RadialGlow) {
    RGS_RadialGlow(0, 1.0f, 1, 1, 0);
    EXPECT_EQ(Red(0, 128, 0), 75);
    EXPECT_EQ(Red(0, 255, 128), 76);
    EXPECT_EQ(Red(0, 0, 0), 0);
    EXPECT_EQ(Red(0, 128, 128), 255);
    EXPECT_EQ(RGS_GetPixel(0, 128, 128).b, 0);
    RGS_RadialGlow(1, 0.0f, 1, 1, 1);
    EXPECT_EQ(Copy(1), Layer(LAYER_SIZE, 255));
    RGS_RadialGlow(2, NAN, 1, 1, 1);
    EXPECT_EQ(Copy(2), Layer(LAYER_SIZE, 0));
}

TEST_F(Generators, CellsMatchTheLiteralAlgorithm) {
    for (int n : {1, 7, 100}) {
        RGS_Cells(0, n, 4711 + n, 1, 0, 0);
        Layer expected = LiteralCells(n, 4711 + n);
        Layer got = Copy(0);
        for (int i = 0; i < 65536; i++) ASSERT_EQ(got[3 * i], expected[3 * i]) << n << " at " << i;
        EXPECT_EQ(RGS_Random, Advance(4711 + n, 2 * n));
    }
    // 250 points means 100.
    RGS_Cells(1, 250, 99, 1, 1, 1);
    RGS_Cells(2, 100, 99, 1, 1, 1);
    EXPECT_EQ(Copy(1), Copy(2));
    EXPECT_EQ(RGS_Random, Advance(99, 200));
    // No points, or every point at (0, 0) from a zero seed: all distances equal.
    RGS_Cells(3, 0, 5, 1, 1, 1);
    EXPECT_EQ(Copy(3), Layer(LAYER_SIZE, 0));
    EXPECT_EQ(RGS_Random, 5u);
    RGS_Cells(3, 3, 0, 1, 1, 1);
    EXPECT_EQ(Red(3, 0, 0), 0);
    EXPECT_EQ(Red(3, 128, 128), 255);
}

TEST_F(Generators, NoiseOfSpacingOneIsThePlainDraws) {
    RGS_Noise(0, 1, 256, 321, 1, 1, 0);
    uint32_t s = 321;
    for (int i = 0; i < 65536; i++) {
        s *= 22695475u;
        ASSERT_EQ(RGS_Layers[0][3 * i], ((int32_t)s >> 16) & 255) << i;
        ASSERT_EQ(RGS_Layers[0][3 * i + 2], 0);
    }
    EXPECT_EQ(RGS_Random, s);
}

TEST_F(Generators, NoiseCellsMatchTheLiteralLoops) {
    // 100 does not divide 256 (cells wrap onto finished pixels); 300 is wider
    // than the layer and overwrites each pixel many times.
    struct Case {
        int S, r, g, b;
    };
    for (Case c : {Case{16, 0, 1, 0}, Case{100, 1, 0, 1}, Case{300, 1, 1, 1}}) {
        int S = c.S;
        RGS_Noise(0, S, 0, 77, c.r, c.g, c.b);
        Layer got = Copy(0);
        RGS_Fill(1, 0);
        RGS_Random = 77;
        for (int y = 0; y < 256; y += S)
            for (int x = 0; x < 256; x += S) {
                RGS_NextRandom();
                uint8_t v = RGS_RandomValue() & 255;
                RGS_PutPixel(1, x, y,
                             RGS_Pixel{(uint8_t)(c.r * v), (uint8_t)(c.g * v), (uint8_t)(c.b * v)});
            }
        LiteralNoiseCells(1, S);
        EXPECT_EQ(got, Copy(1)) << "spacing " << S;
    }
}

TEST_F(Generators, NoiseOfSpacing16TilesSeamlessly) {
    RGS_Noise(0, 16, 256, 9, 1, 1, 1);
    // Grid values survive at the cell origins, and the step across the wrap
    // is no larger than the largest step inside the layer.
    int inside = 0, across = 0;
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 255; x++) {
            inside = std::max(inside, std::abs(Red(0, x + 1, y) - Red(0, x, y)));
            inside = std::max(inside, std::abs(Red(0, y, x + 1) - Red(0, y, x)));
        }
    for (int i = 0; i < 256; i++) {
        across = std::max(across, std::abs(Red(0, 0, i) - Red(0, 255, i)));
        across = std::max(across, std::abs(Red(0, i, 0) - Red(0, i, 255)));
    }
    EXPECT_LE(across, inside);
    EXPECT_GT(inside, 0);
}

TEST_F(Generators, NoiseLevels) {
    RGS_Noise(0, 4, 1, 3, 1, 1, 1);
    EXPECT_EQ(Copy(0), Layer(LAYER_SIZE, 0));
    RGS_Noise(0, 4, 0, 3, 1, 1, 1);
    RGS_Noise(1, 4, 256, 3, 1, 1, 1);
    EXPECT_EQ(Copy(0), Copy(1));
    RGS_Noise(2, 4, 128, 3, 1, 1, 1);
    EXPECT_LE(*std::max_element(RGS_Layers[2], RGS_Layers[2] + LAYER_SIZE), 127);
    // Seed 0 continues the generator.
    uint32_t before = RGS_Random;
    RGS_Noise(3, 64, 256, 0, 1, 1, 1);
    EXPECT_EQ(RGS_Random, Advance(before, 16));
}

TEST_F(Generators, FractalNoise) {
    RGS_FractalNoise(0, 16, 1, 128, 42, 1, 1, 1);
    EXPECT_EQ(Copy(0), Layer(LAYER_SIZE, 0));
    EXPECT_EQ(RGS_Random, Advance(42, 256));

    // Three octaves with persistence 128: masks 127 and 63 at spacings 8 and 4.
    RGS_FractalNoise(0, 16, 3, 128, 42, 1, 0, 1);
    Layer got = Copy(0);
    uint32_t state = RGS_Random;
    RGS_Random = Advance(42, 256);
    RGS_Noise(1, 8, 128, 0, 1, 0, 1);
    RGS_Noise(2, 4, 64, 0, 1, 0, 1);
    for (int i = 0; i < LAYER_SIZE; i++)
        ASSERT_EQ(got[i], std::min(255, RGS_Layers[1][i] + RGS_Layers[2][i])) << i;
    EXPECT_EQ(state, RGS_Random);
    EXPECT_LE(*std::max_element(got.begin(), got.end()), 190);
}

TEST_F(Generators, CheckerAndFill) {
    RGS_Checker(0, 32, 32, 0, 16777215);
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++)
            ASSERT_EQ(Red(0, x, y), ((x / 32 + y / 32) % 2) * 255) << x << "," << y;
    // Runs continue across row ends: width 3 shifts each row by one.
    RGS_Checker(1, 3, 1000, 0x0000FF, 0x00FF00);
    EXPECT_EQ(RGS_GetPixel(1, 0, 0).r, 255);
    EXPECT_EQ(RGS_GetPixel(1, 3, 0).g, 255);
    EXPECT_EQ(RGS_GetPixel(1, 0, 1).r, 0); // pixel 256 is in run 85, an odd one
    RGS_Fill(2, 0x030201);
    for (int i = 0; i < 65536; i += 999) {
        RGS_Pixel p = RGS_GetPixel(2, i & 255, i >> 8);
        EXPECT_TRUE(p.r == 1 && p.g == 2 && p.b == 3);
    }
}
