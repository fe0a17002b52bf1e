#include "rgs/rgs_ops.h"
#include "rgs_ops_util.h"

#include <gtest/gtest.h>

using CombineFn = void (*)(int, int, int, float, float);

// Layer 1 = b, layer 2 = c everywhere; returns the channel written to layer 3.
static int Combine(CombineFn op, int b, int c, float wb, float wc) {
    FillLayer(1, (uint8_t)b, (uint8_t)b, (uint8_t)b);
    FillLayer(2, (uint8_t)c, (uint8_t)c, (uint8_t)c);
    FillLayer(3, 99, 99, 99);
    op(3, 1, 2, wb, wc);
    return RGS_GetPixel(3, 31, 222).g;
}

TEST(RgsCombine, WeightedExamples) {
    struct {
        CombineFn op;
        int b, c;
        float wb, wc;
        int want;
    } cases[] = {
        {RGS_CombineAdd, 200, 100, 1, 1, 255},       {RGS_CombineAdd, 10, 20, 1, 1, 30},
        {RGS_CombineAdd, 200, 0, 2, 1, 144},         {RGS_CombineAdd, 200, 10, -1, 1, 66},
        {RGS_CombineMultiply, 255, 255, 1, 1, 255},  {RGS_CombineMultiply, 128, 128, 1, 1, 64},
        {RGS_CombineMultiply, 3, 0, 1e30f, 1e8f, 0}, {RGS_CombineMultiply, 3, 1, -1e30f, 1, 0},
        {RGS_CombineOr, 0x35, 0xCA, 1, 0, 0x35},     {RGS_CombineOr, 0x30, 0x03, 1, 1, 0x33},
        {RGS_CombineXor, 0xFF, 0x0F, 1, 1, 0xF0},    {RGS_CombineAnd, 200, 200, 2, 1, 144 & 200},
        {RGS_CombineMin, 50, 50, 1, 1, 50},          {RGS_CombineMin, 10, 20, 1, 1, 10},
        {RGS_CombineMin, 10, 20, 3, 1, 20},          {RGS_CombineMax, 10, 20, 1, 1, 20},
        {RGS_CombineMax, 10, 20, 3, 1, 10},          {RGS_CombineMin, 10, 20, NAN, 1, 20},
        {RGS_CombineMax, 10, 20, NAN, 1, 10},        {RGS_CombineMin, 10, 20, 2, 1, 20},
        {RGS_CombineMax, 20, 10, 1, 2, 10}, // weighted ties choose C
    };
    for (auto& c : cases)
        EXPECT_EQ(Combine(c.op, c.b, c.c, c.wb, c.wc), c.want)
            << c.b << " " << c.c << " " << c.wb << " " << c.wc;
}

TEST(RgsCombine, DestinationMayBeASource) {
    NoiseLayers(3);
    std::vector<uint8_t> b(RGS_Layers[1], RGS_Layers[1] + LAYER_SIZE);
    std::vector<uint8_t> c(RGS_Layers[2], RGS_Layers[2] + LAYER_SIZE);
    RGS_CombineAdd(1, 1, 2, 1.0f, 1.0f);
    for (int i = 0; i < LAYER_SIZE; i += 997)
        ASSERT_EQ(RGS_Layers[1][i], std::min(255, b[i] + c[i])) << i;
}

TEST(RgsCombine, CopyAndSwapChannels) {
    FillLayer(1, 1, 2, 3);
    FillLayer(2, 7, 8, 9);
    RGS_CopyChannels(3, 1, 1, 0, 0);
    EXPECT_TRUE(SamePixel(RGS_GetPixel(3, 4, 4), {1, 0, 0}));
    RGS_SwapChannels(1, 2, 0, 1, 1);
    EXPECT_TRUE(SamePixel(RGS_GetPixel(1, 4, 4), {1, 8, 9}));
    EXPECT_TRUE(SamePixel(RGS_GetPixel(2, 4, 4), {7, 2, 3}));
    NoiseLayers(4);
    auto before = Snapshot();
    RGS_SwapChannels(2, 2, 1, 1, 1);
    RGS_CopyChannels(2, 2, 1, 1, 1);
    EXPECT_EQ(Snapshot(), before);
}

TEST(RgsCombine, UnconvertibleWeightsSkipTheCommand) {
    NoiseLayers(8);
    auto before = Snapshot();
    for (CombineFn op : {RGS_CombineOr, RGS_CombineXor, RGS_CombineAnd, RGS_CombineAdd})
        for (float w : {NAN, INFINITY, -INFINITY, 1e7f, -1e10f}) {
            op(0, 1, 2, 1.0f, w);
            op(0, 1, 2, w, 0.0f);
        }
    RGS_CombineMultiply(0, 1, 2, INFINITY, 1.0f);
    RGS_CombineMultiply(0, 1, 2, 0.0f, NAN);
    EXPECT_EQ(Snapshot(), before);
    RGS_CombineOr(0, 1, 2, 8e6f, 0.0f); // 255 * 8e6 still fits in 32 bits
    EXPECT_NE(Snapshot(), before);
}
