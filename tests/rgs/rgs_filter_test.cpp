#include "rgs/rgs_opcodes.h"
#include "rgs/rgs_ops.h"
#include "rgs_ops_util.h"

#include <gtest/gtest.h>

static bool LayerIs(int layer, RGS_Pixel v) {
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++)
            if (!SamePixel(RGS_GetPixel(layer, x, y), v)) return false;
    return true;
}

TEST(RgsFilter, FlatLayers) {
    const RGS_Pixel flat{90, 0, 255};
    void (*keep[])(int) = {RGS_GradientDisplace, RGS_Sharpen, RGS_HalfTile};
    for (auto op : keep) {
        FillLayer(1, flat.r, flat.g, flat.b);
        op(1);
        EXPECT_TRUE(LayerIs(1, flat));
    }
    FillLayer(1, flat.r, flat.g, flat.b);
    RGS_Blur3x3(1, 3);
    RGS_BlurTranspose(1, 1);
    RGS_BlurTranspose(1, 65535); // the sums need more than 32 bits
    RGS_EdgeBoost(1, 3, 4, 0);
    EXPECT_TRUE(LayerIs(1, flat));
    RGS_EdgeDetect(1);
    EXPECT_TRUE(LayerIs(1, {181, 181, 181}));
}

TEST(RgsFilter, HalfTileAndTransposes) {
    FillLayer(1, 0, 0, 0);
    RGS_PutPixel(1, 0, 0, {100, 100, 100});
    RGS_HalfTile(1);
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++)
            ASSERT_EQ(RGS_GetPixel(1, x, y).r, (x % 128 == 0 && y % 128 == 0) ? 25 : 0);

    PatternLayer(1);
    RGS_TransposeShift(1, 1, 2); // (x, y) <- (y + 2, x + 1)
    EXPECT_TRUE(SamePixel(RGS_GetPixel(1, 10, 255), {1, 11, (uint8_t)(7 + 11 * 13)}));
    PatternLayer(1);
    RGS_BlurTranspose(1, 0);
    EXPECT_TRUE(SamePixel(RGS_GetPixel(1, 3, 200), {200, 3, (uint8_t)(1400 + 39)}));
    RGS_BlurTranspose(1, 0);
    RGS_TransposeShift(1, 0, 0);
    RGS_TransposeShift(1, 256, -256);
    PatternLayer(2);
    EXPECT_EQ(0, memcmp(RGS_Layers[1], RGS_Layers[2], LAYER_SIZE));
}

// Straight from the definition, for checking the folded taps of big radii.
// Away from layer 4 only every 17th output column is computed.
static void BlurTransposeByDefinition(int layer, int N) {
    if (layer != 4) memcpy(RGS_Layers[4], RGS_Layers[layer], LAYER_SIZE);
    for (int x = 0; x < 256; x += layer == 4 ? 1 : 17)
        for (int y = 0; y < 256; y++)
            for (int k = 0; k < 3; k++) {
                int64_t sum = 0;
                for (int t = -N; t <= N; t++)
                    sum +=
                        (N + 1 - std::abs(t)) * RGS_Layers[4][3 * (256 * x + ((y + t) & 255)) + k];
                RGS_Layers[layer][3 * (256 * y + x) + k] = (uint8_t)(sum / ((N + 1) * (N + 1)));
            }
}

TEST(RgsFilter, BlurTransposeMatchesDefinition) {
    // Taps fold from radius 128 on (at 300 up to three meet on one pixel);
    // on layer 4 the reads see the writes before them; past radius 2047 the
    // sums take 64 bits.
    const int cases[][2] = {{4, 6}, {1, 0}, {2, 5}, {1, 127}, {3, 300}, {4, 300}, {1, 2100}};
    for (auto [layer, N] : cases) {
        NoiseLayers(N);
        BlurTransposeByDefinition(layer, N);
        std::vector<uint8_t> want(RGS_Layers[layer], RGS_Layers[layer] + LAYER_SIZE);
        NoiseLayers(N);
        RGS_BlurTranspose(layer, N);
        for (int x = 0; x < 256; x += layer == 4 ? 1 : 17)
            for (int y = 0; y < 256; y++)
                ASSERT_TRUE(SamePixel(RGS_GetPixel(layer, x, y),
                                      {want[3 * (256 * y + x)], want[3 * (256 * y + x) + 1],
                                       want[3 * (256 * y + x) + 2]}))
                    << layer << " " << N << " " << x << "," << y;
    }
}

TEST(RgsFilter, Blur3x3AndEdgeBoost) {
    FillLayer(1, 0, 0, 0);
    RGS_PutPixel(1, 0, 0, {16, 32, 160});
    FillLayer(4, 7, 7, 7);
    RGS_Blur3x3(1, 0);
    EXPECT_EQ(RGS_GetPixel(4, 0, 0).r, 7); // no pass, no scratch copy
    RGS_Blur3x3(1, 256);                   // low 8 bits: no pass either
    RGS_Blur3x3(1, 1);
    EXPECT_TRUE(SamePixel(RGS_GetPixel(1, 0, 0), {4, 8, 40}));
    EXPECT_TRUE(SamePixel(RGS_GetPixel(1, 255, 0), {2, 4, 20}));
    EXPECT_TRUE(SamePixel(RGS_GetPixel(1, 255, 255), {1, 2, 10}));

    PatternLayer(1); // red = x
    RGS_EdgeBoost(1, 2, 0, 3);
    EXPECT_EQ(RGS_GetPixel(1, 10, 0).r, 10 + 3 * 2);
    EXPECT_EQ(RGS_GetPixel(1, 254, 0).r, 255); // 254 + 3 * 1, clamped
    EXPECT_EQ(RGS_GetPixel(1, 255, 0).r, 255); // offset clamped: compares with itself
}

TEST(RgsFilter, SwirlGeometry) {
    PatternLayer(1);
    FillLayer(4, 1, 2, 3);
    RGS_Swirl(1, 128, 128, 64.0f, 0.0f);
    RGS_Swirl(1, 128, 128, 0.0f, 1.0f);
    EXPECT_TRUE(SamePixel(RGS_GetPixel(4, 0, 0), {1, 2, 3}));
    RGS_Swirl(1, 128, 128, 64.0f, 1.0f);
    EXPECT_TRUE(SamePixel(RGS_GetPixel(1, 0, 0), {0, 0, 0}));
    EXPECT_TRUE(SamePixel(RGS_GetPixel(1, 192, 128), {192, 128, (uint8_t)(192 * 7 + 128 * 13)}));
    // Positive strength turns +x towards +y: theta = 0.2545 at 10 pixels.
    PatternLayer(1);
    RGS_Swirl(1, 128, 128, 100.0f, 0.05f);
    EXPECT_EQ(RGS_GetPixel(1, 138, 128).r, 137);
    EXPECT_EQ(RGS_GetPixel(1, 138, 128).g, 130);
    // A circle past the edge reads positions beyond it, wrapped; a centre given
    // beyond 16 bits keeps the low ones.
    PatternLayer(1);
    RGS_Swirl(1, 65536 + 250, 65536 + 5, 100.0f, 2.0f);
    EXPECT_TRUE(SamePixel(RGS_GetPixel(1, 100, 200), {100, 200, (uint8_t)(700 + 2600)}));
}

TEST(RgsFilter, SineWarpAndDisplace) {
    PatternLayer(1);
    PatternLayer(2);
    RGS_SineWarp(1, 1.0f, 1.0f, 0.0f, 0.0f);
    EXPECT_EQ(0, memcmp(RGS_Layers[1], RGS_Layers[2], LAYER_SIZE));

    PatternLayer(2);
    FillLayer(3, 0, 1, 0); // brightness 1
    RGS_DisplaceByBrightness(1, 2, 3, 0.0f, 0.0f);
    EXPECT_EQ(0, memcmp(RGS_Layers[1], RGS_Layers[2], LAYER_SIZE));
    RGS_DisplaceByBrightness(1, 2, 3, 3.0f, -1.0f); // whole-pixel moves, wrapped
    EXPECT_TRUE(SamePixel(RGS_GetPixel(1, 254, 0), RGS_GetPixel(2, 1, 255)));
}

TEST(RgsFilter, ScatterOffsetsAndRepeatability) {
    PatternLayer(1);
    RGS_Scatter(1, 0, 1234);
    auto first = Snapshot();
    int fromUpLeft = 0;
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++) {
            RGS_Pixel p = RGS_GetPixel(1, x, y);
            fromUpLeft += p.r == ((x - 1) & 255) && p.g == ((y - 1) & 255);
        }
    EXPECT_GT(fromUpLeft, 65000);
    uint32_t s = 1234;
    for (int i = 0; i < 2 * 65536; i++) s *= 22695475u;
    EXPECT_EQ(RGS_Random, s);
    PatternLayer(1);
    RGS_Random = 5; // the shared state is not an input
    RGS_Scatter(1, 0, 1234);
    EXPECT_EQ(Snapshot(), first);

    // Spreads outside 0-16 still give a shift of 0-31, so offsets shrink to
    // 0 or -1 (17 shifts by 31) or reach past the layer and wrap.
    const int32_t spreads[][2] = {{3, 8}, {17, 1}, {-1, 1}, {INT32_MIN, 1}, {INT32_MAX, 1}};
    for (auto [spread, most] : spreads) {
        PatternLayer(1);
        RGS_Scatter(1, spread, 77);
        for (int x = 0; x < 256; x += 17)
            EXPECT_LE((x - RGS_GetPixel(1, x, 100).r) & 255, most) << spread;
    }
}

TEST(RgsFilter, UnconvertibleRealsSkipTheCommand) {
    NoiseLayers(11);
    auto before = Snapshot();
    // Frequencies only need to be numbers; amplitudes and gains must keep every
    // sample position within 32 bits.
    for (float f : {NAN, INFINITY, -INFINITY}) {
        RGS_SineWarp(1, f, 1.0f, 5.0f, 5.0f);
        RGS_SineWarp(1, 1.0f, f, 5.0f, 5.0f);
    }
    for (float a : {NAN, INFINITY, -INFINITY, 3e38f, -3e9f}) {
        RGS_SineWarp(1, 1.0f, 1.0f, a, 0.0f);
        RGS_SineWarp(1, 1.0f, 1.0f, 0.0f, a);
        RGS_DisplaceByBrightness(1, 2, 3, a, 0.0f);
        RGS_DisplaceByBrightness(1, 2, 3, 0.0f, a);
        RGS_DisplaceByBrightness(1, 2, 3, 1.0f, a);
    }
    // Swirl angles that are not numbers inside the circle.
    RGS_Swirl(1, 128, 128, INFINITY, 1.0f);
    for (float k : {NAN, INFINITY, -INFINITY}) RGS_Swirl(1, 128, 128, 64.0f, k);
    EXPECT_EQ(Snapshot(), before);
    // A NaN strength does no harm when no pixel lies within the radius.
    RGS_Swirl(1, 1000, 1000, 10.0f, NAN);
    EXPECT_EQ(0, memcmp(RGS_Layers[1], RGS_Layers[4], LAYER_SIZE));
}

// The sampling operations straight from their definitions, on RGS_SampleLayer
// and one sin/cos per use, to check the cached weights and angles.
static void DisplaceByDefinition(int dst, int src, int map, float gx, float gy) {
    for (int x = 0; x < 256; x++)
        for (int y = 0; y < 256; y++) {
            int V = RGS_Brightness(RGS_GetPixel(map, x, y));
            RGS_PutPixel(
                dst, x, y,
                RGS_SampleLayer(src, (float)(x + V * (double)gx), (float)(y + V * (double)gy)));
        }
}

static void SineWarpByDefinition(int layer, float fy, float fx, float ax, float ay) {
    if (layer != 4) memcpy(RGS_Layers[4], RGS_Layers[layer], LAYER_SIZE);
    for (int y = 0; y < 256; y++) {
        float ox = (float)(ax * std::sin(y * (double)fy));
        for (int x = 0; x < 256; x++)
            RGS_PutPixel(layer, x, y,
                         RGS_SampleLayer(4, (float)(x + (double)ox),
                                         (float)(y + ay * std::sin(x * (double)fx))));
    }
}

static void SwirlByDefinition(int layer, int cx, int cy, float rad, float k) {
    if (layer != 4) memcpy(RGS_Layers[4], RGS_Layers[layer], LAYER_SIZE);
    double q = rad / (double)k;
    for (int x = 0; x < 256; x++)
        for (int y = 0; y < 256; y++) {
            double r = std::sqrt((double)((x - cx) * (x - cx) + (y - cy) * (y - cy)));
            double t = r <= rad ? 6.2831855f * ((rad - r) * (rad - r) / rad) / q : 0.0;
            int X = (int)((x - cx) * std::cos(t) - (y - cy) * std::sin(t) + cx);
            int Y = (int)((y - cy) * std::cos(t) + (x - cx) * std::sin(t) + cy);
            RGS_PutPixel(layer, x, y, RGS_GetPixel(4, X, Y));
        }
}

TEST(RgsFilter, CachedSamplingMatchesDefinition) {
    struct {
        int a, b, c;
        float p, q, r, s;
    } cases[] = {{1, 2, 3, 0.1f, -0.07f, 3.7f, 2.2f},
                 {2, 2, 2, -1.3f, 0.31f, 0.05f, 9.0f},
                 {4, 4, 1, 0.013f, 0.5f, -0.4f, -7.5f},
                 {0, 3, 0, 1e6f, -2.5e5f, 1e4f, 3e-3f},
                 {1, 1, 1, 80.0f, 128.0f, 300.0f, -1.0f}};
    for (auto& c : cases) {
        NoiseLayers(c.a * 7 + c.b);
        DisplaceByDefinition(c.a, c.b, c.c, c.p, c.q);
        SineWarpByDefinition(c.b, c.p, c.q, c.r, c.s);
        SwirlByDefinition(c.c, 40 * c.a, 300 - 50 * c.b, c.r, c.s);
        auto want = Snapshot();
        NoiseLayers(c.a * 7 + c.b);
        RGS_DisplaceByBrightness(c.a, c.b, c.c, c.p, c.q);
        RGS_SineWarp(c.b, c.p, c.q, c.r, c.s);
        RGS_Swirl(c.c, 40 * c.a, 300 - 50 * c.b, c.r, c.s);
        ASSERT_EQ(Snapshot(), want) << c.a << " " << c.p;
    }
}

// Every operation with hostile numbers in each numeric parameter, through the
// dispatcher's conversions; the sanitizer build turns any undefined behaviour
// into a failure here.
TEST(RgsOps, HostileParametersAreHarmless) {
    const float hostile[] = {NAN,           INFINITY,       -INFINITY, -0.0f,   -1.0f,
                             2147483648.0f, -2147483648.0f, 3e38f,     65535.9f};
    NoiseLayers(21);
    for (int op = 8; op <= 38; op++)
        for (int k = 1; k < 8; k++) {
            char kind = RGS_ParamKind((uint8_t)op, k);
            // Layers and flags are the dispatcher's; big radii and pass
            // counts are only slow (FlatLayers has the widest radius).
            if (!strchr("RIBW", kind) || op == 28 || op == 29) continue;
            for (float v : hostile) {
                float p[8] = {1, 2, 3, 0.5f, 1.5f, 0, 0, 0};
                if (op == 16) p[1] = p[2] = 128; // swirl about the middle
                p[k] = v;
                RGS_Dispatch((uint8_t)op, p);
            }
        }
    SUCCEED();
}
