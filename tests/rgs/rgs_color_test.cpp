#include "rgs/rgs_ops.h"
#include "rgs_ops_util.h"

#include <gtest/gtest.h>

static RGS_Pixel OnePixel(void (*op)(int), RGS_Pixel in) {
    FillLayer(1, in.r, in.g, in.b);
    op(1);
    return RGS_GetPixel(1, 77, 190);
}

TEST(RgsColor, AddColorWrapsBothWaysAndTruncates) {
    FillLayer(1, 250, 2, 100);
    RGS_AddColor(1, 10.0f, -5.0f, 0.9f);
    EXPECT_TRUE(SamePixel(RGS_GetPixel(1, 3, 4), {4, 253, 100}));
    RGS_AddColor(1, -0.9f, 256.0f, -1000.5f); // -1000.5 + 100 truncates to -900
    EXPECT_TRUE(SamePixel(RGS_GetPixel(1, 200, 9), {3, 253, (uint8_t)-900}));
}

TEST(RgsColor, ScaleColorSaturates) {
    FillLayer(1, 200, 200, 100);
    RGS_ScaleColor(1, 2.0f, -1.0f, 0.5f);
    EXPECT_TRUE(SamePixel(RGS_GetPixel(1, 0, 0), {255, 0, 50}));
    FillLayer(1, 0, 7, 7);
    RGS_ScaleColor(1, INFINITY, NAN, 1e30f); // 0 * inf is NaN: 0
    EXPECT_TRUE(SamePixel(RGS_GetPixel(1, 0, 0), {0, 0, 255}));
}

TEST(RgsColor, SineColorInDoublePrecision) {
    FillLayer(1, 0, 1, 33);
    RGS_SineColor(1, 1.0f, 0.5f, 0.0f);
    // sin(0.5 * pi) in double is just below 1, so 1 becomes 254, not 255.
    EXPECT_TRUE(SamePixel(RGS_GetPixel(1, 5, 5), {127, 254, 33}));
}

TEST(RgsColor, ColorizeHueWrapAndGrey) {
    struct {
        float hue, sat;
        RGS_Pixel want;
    } cases[] = {{0, 1, {100, 0, 0}},        {120, 1, {0, 100, 0}},    {-240, 1, {0, 100, 0}},
                 {840, 1, {0, 100, 0}},      {0, 0, {100, 100, 100}},  {240, 5, {0, 0, 100}},
                 {60, NAN, {100, 100, 100}}, {30, 0.5f, {100, 75, 50}}};
    for (auto& c : cases) {
        FillLayer(1, 100, 50, 20);
        RGS_Colorize(1, c.hue, c.sat);
        RGS_Pixel p = RGS_GetPixel(1, 9, 9);
        EXPECT_TRUE(SamePixel(p, c.want))
            << c.hue << " " << c.sat << " -> " << (int)p.r << "," << (int)p.g << "," << (int)p.b;
    }
    // -0.00001 wraps to just below 360, where the sector index reaches 6; the
    // result stays red rather than jumping to magenta.
    FillLayer(1, 100, 50, 20);
    RGS_Colorize(1, -0.00001f, 1.0f);
    EXPECT_TRUE(SamePixel(RGS_GetPixel(1, 0, 0), {100, 0, 0}));
}

TEST(RgsColor, ShuffleInvertBitRotateThreshold) {
    FillLayer(4, 1, 1, 1);
    EXPECT_TRUE(SamePixel(OnePixel(RGS_ShuffleChannels, {10, 20, 30}), {30, 30, 20}));
    EXPECT_TRUE(SamePixel(RGS_GetPixel(4, 1, 1), {10, 20, 30})); // scratch holds the input
    EXPECT_TRUE(SamePixel(OnePixel(RGS_Threshold, {128, 129, 0}), {0, 255, 0}));
    EXPECT_TRUE(SamePixel(OnePixel(RGS_Invert, {0, 1, 255}), {255, 254, 0}));

    struct {
        int32_t l, r;
        uint8_t in, out;
    } rot[] = {{1, 7, 0x81, 0x03},  {8, 0, 0x81, 0x81},    {33, 0, 0x81, 0x83},
               {-1, 4, 0xF0, 0x0F}, {300, 44, 0xFF, 0x00}, {4, 4, 0x5A, 0xA5}};
    for (auto& c : rot) {
        FillLayer(1, c.in, c.in, c.in);
        RGS_BitRotate(1, c.l, c.r);
        EXPECT_EQ(RGS_GetPixel(1, 2, 2).g, c.out) << c.l << " " << c.r;
    }
}

TEST(RgsColor, EqualizeAndStretch) {
    // Left half (0, 10, 77), right half (255, 200, 77).
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++)
            RGS_PutPixel(1, x, y, x < 128 ? RGS_Pixel{0, 10, 77} : RGS_Pixel{255, 200, 77});
    memcpy(RGS_Layers[2], RGS_Layers[1], LAYER_SIZE);
    RGS_Equalize(1);
    EXPECT_TRUE(SamePixel(RGS_GetPixel(1, 0, 0), {128, 128, 255}));
    EXPECT_TRUE(SamePixel(RGS_GetPixel(1, 200, 0), {255, 255, 255}));
    RGS_Stretch(2);
    // Stretch maps lo to lo + half the range: 10 + 95 = 105; one value stays.
    EXPECT_TRUE(SamePixel(RGS_GetPixel(2, 0, 0), {128, 105, 77}));
    EXPECT_TRUE(SamePixel(RGS_GetPixel(2, 200, 0), {255, 200, 77}));
}

TEST(RgsColor, InvalidRealsSkipTheCommand) {
    NoiseLayers(9);
    auto before = Snapshot();
    RGS_AddColor(1, 0, NAN, 0);
    RGS_AddColor(1, INFINITY, 0, 0);
    RGS_AddColor(1, 2147483520.0f, 0, 0); // 255 + it passes 2^31 - 1
    RGS_SineColor(1, 0, INFINITY, 0);
    RGS_SineColor(1, NAN, 0, 0);
    for (float hue : {NAN, INFINITY, -INFINITY, 1e30f}) RGS_Colorize(1, hue, 0.0f);
    EXPECT_EQ(Snapshot(), before);
    RGS_AddColor(1, 2147483000.0f, 0, 0); // still converts for every value
    EXPECT_NE(Snapshot(), before);
}
