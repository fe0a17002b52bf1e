// The interpreter: magic and count, skipped commands, parameter conversions
// and the state one script leaves to the next.
#include "rgs/rgs.h"
#include "rgs/rgs_ops.h"
#include "rgs_script_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

static int RunScript(const std::vector<uint8_t>& s) {
    return RunRGS(s.data(), (uint32_t)s.size());
}

static int Dispatch(uint8_t opcode, std::initializer_list<float> params) {
    float p[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    int k = 0;
    for (float f : params) p[k++] = f;
    return RGS_Dispatch(opcode, p);
}

static RGS_Pixel Px(int layer, int x = 0, int y = 0) {
    return RGS_GetPixel(layer, x, y);
}

class Interp : public ::testing::Test {
  protected:
    void SetUp() override {
        memset(RGS_Layers, 0, sizeof RGS_Layers);
        RGS_Random = 0;
    }
};

TEST_F(Interp, MagicAndCount) {
    EXPECT_EQ(RunRGS(nullptr, 10), 0);
    std::vector<uint8_t> fill = ScriptBuilder().Add(7, {0, 255}).bytes;
    std::vector<uint8_t> lower = fill;
    lower[0] = 'r';
    EXPECT_EQ(RunScript(lower), 0);
    EXPECT_EQ(Px(0).r, 0);
    EXPECT_EQ(RunScript({'R', 'G', 'S', 0}), 1);
    EXPECT_EQ(RunScript({'R', 'G', 'S'}), 1); // no count byte: nothing to run
    EXPECT_EQ(Px(0).r, 0);
    EXPECT_EQ(RunScript(fill), 1);
    EXPECT_EQ(Px(0).r, 255);
}

TEST_F(Interp, UnknownOpcodesAreSkipped) {
    ScriptBuilder s;
    s.Add(7, {0, 10}).Add(0, {0, 20}).Add(200, {0, 30}).Add(39, {0, 40}).Add(7, {1, 50});
    EXPECT_EQ(RunScript(s.bytes), 1);
    EXPECT_EQ(Px(0).r, 10);
    EXPECT_EQ(Px(1).r, 50);
}

TEST_F(Interp, ShortFileRunsItsCompleteCommands) {
    ScriptBuilder s;
    s.Add(7, {0, 10}).Add(7, {1, 20}).Add(7, {2, 30});
    s.bytes[3] = 9;                     // claims more than it holds
    s.bytes.resize(s.bytes.size() - 5); // and the last one is cut
    std::vector<uint8_t> heap(s.bytes); // exactly sized, so ASan sees overreads
    EXPECT_EQ(RunScript(heap), 1);
    EXPECT_EQ(Px(0).r, 10);
    EXPECT_EQ(Px(1).r, 20);
    EXPECT_EQ(Px(2).r, 0);
    EXPECT_EQ(RGS_CurrentProgram.count, 2);
}

TEST_F(Interp, AtMost200Commands) {
    ScriptBuilder s;
    for (int i = 0; i < 199; i++) s.Add(7, {1, (float)i});
    s.Add(7, {2, 77}).Add(7, {3, 88}); // commands 200 and 201
    EXPECT_EQ(RunScript(s.bytes), 1);
    EXPECT_EQ(Px(1).r, 198);
    EXPECT_EQ(Px(2).r, 77);
    EXPECT_EQ(Px(3).r, 0);
}

TEST_F(Interp, LayerConversion) {
    ScriptBuilder s;
    s.Add(7, {2.9f, 1}).Add(7, {-0.5f, 2}).Add(7, {260, 3}).Add(7, {5, 4}).Add(7, {-1, 5});
    RunScript(s.bytes);
    EXPECT_EQ(Px(2).r, 1); // toward zero
    EXPECT_EQ(Px(0).r, 2);
    EXPECT_EQ(Px(4).r, 3); // low 8 bits of 260
    EXPECT_EQ(Px(1).r, 0); // 5 and 255 (from -1) are no layers: skipped
    EXPECT_EQ(Px(3).r, 0);
}

TEST_F(Interp, FlagAndColourConversion) {
    // Radial glow with k = 0 writes 255 to flagged channels only.
    RunScript(ScriptBuilder().Add(5, {0, 0, -0.0f, 0.5f, NAN}).bytes);
    RGS_Pixel p = Px(0, 17, 200);
    EXPECT_EQ(p.r, 0);
    EXPECT_EQ(p.g, 255);
    EXPECT_EQ(p.b, 255);

    RunScript(ScriptBuilder()
                  .Add(7, {1, 16711680.0f})
                  .Add(7, {2, 255.0f})
                  .Add(7, {3, (float)0x1234560})
                  .bytes);
    EXPECT_TRUE(Px(1).r == 0 && Px(1).g == 0 && Px(1).b == 255);
    EXPECT_TRUE(Px(2).r == 255 && Px(2).g == 0 && Px(2).b == 0);
    EXPECT_TRUE(Px(3).r == 0x60 && Px(3).g == 0x45 && Px(3).b == 0x23); // high bits ignored
}

TEST_F(Interp, UnconvertibleUsedParametersSkipTheCommand) {
    const float bad[] = {NAN, INFINITY, -INFINITY, 3e9f, -3e9f};
    for (float f : bad) {
        EXPECT_EQ(Dispatch(7, {0, f}), 0) << f;
        EXPECT_EQ(Dispatch(7, {f, 1}), 0) << f;
        EXPECT_EQ(Dispatch(6, {0, 8, f, 0, 1}), 0) << f;
    }
    EXPECT_EQ(Px(0).r, 0);
    // Unused parameters may hold anything.
    EXPECT_EQ(Dispatch(7, {0, 9, NAN, INFINITY, 0, 0, 0, NAN}), 1);
    EXPECT_EQ(Px(0).r, 9);
    EXPECT_EQ(Dispatch(7, {0, -2147483648.0f}), 1);
}

TEST_F(Interp, ZeroSpacingNoiseIsSkipped) {
    RGS_Fill(0, 0x112233);
    RGS_Fill(4, 0x445566);
    RunScript(ScriptBuilder()
                  .Add(3, {0, 0, 256, 5, 1, 1, 1})
                  .Add(4, {0, 65536, 4, 128, 5, 1, 1, 1})
                  .bytes);
    EXPECT_EQ(Px(0).r, 0x33);
    EXPECT_EQ(Px(4).r, 0x66);
    EXPECT_EQ(RGS_Random, 0u);
}

TEST_F(Interp, StateCarriesFromScriptToScript) {
    auto first = ScriptBuilder().Add(3, {1, 16, 256, 1234, 1, 1, 1}).bytes;
    auto second = ScriptBuilder().Add(3, {0, 32, 256, 0, 1, 0, 1}).Add(18, {1}).bytes;
    RunScript(first);
    RunScript(second);
    std::vector<uint8_t> chained((const uint8_t*)RGS_Layers,
                                 (const uint8_t*)RGS_Layers + 2 * LAYER_SIZE);
    uint32_t state = RGS_Random;

    // One script with both: the same layers and generator.
    SetUp();
    ScriptBuilder both;
    both.Add(3, {1, 16, 256, 1234, 1, 1, 1}).Add(3, {0, 32, 256, 0, 1, 0, 1}).Add(18, {1});
    RunScript(both.bytes);
    EXPECT_EQ(std::vector<uint8_t>((const uint8_t*)RGS_Layers,
                                   (const uint8_t*)RGS_Layers + 2 * LAYER_SIZE),
              chained);
    EXPECT_EQ(RGS_Random, state);

    // Alone, the second script continues from a zero state: a different layer.
    SetUp();
    RunScript(second);
    EXPECT_NE(std::vector<uint8_t>(RGS_Layers[0], RGS_Layers[0] + LAYER_SIZE),
              std::vector<uint8_t>(chained.begin(), chained.begin() + LAYER_SIZE));
}
