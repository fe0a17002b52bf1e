// texmake: the canvas, recipes and text.
#include "canvas.h"
#include "io/image.h"
#include "recipe.h"
#include "text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace {

const char* kFonts = "/usr/share/fonts/truetype/dejavu";

TEST(TexmakeCanvas, LayerAtItsOwnSizeIsExact) {
    std::vector<uint8_t> layer(256 * 256 * 3);
    for (size_t i = 0; i < layer.size(); i++) layer[i] = (uint8_t)(i * 31 % 251);
    Canvas c;
    c.Resize(256, 256);
    DrawLayer(&c, layer.data(), Blend::Copy, 1);
    // Layer row 0 is the bottom; canvas row 0 the top.
    for (int y = 0; y < 256; y++)
        for (int x = 0; x < 256; x++)
            for (int k = 0; k < 3; k++)
                ASSERT_EQ(IO_ToByte(c.At(x, 255 - y)[k]), layer[(y * 256 + x) * 3 + k]);
}

TEST(TexmakeCanvas, BlurKeepsFlatAreasAndSpreadsPoints) {
    std::vector<float> mask(64 * 64, 0.25f);
    BlurMask(&mask, 64, 64, 6);
    for (float v : mask) ASSERT_NEAR(v, 0.25f, 1e-5f);
    std::fill(mask.begin(), mask.end(), 0.0f);
    mask[32 * 64 + 32] = 1;
    BlurMask(&mask, 64, 64, 6);
    double total = 0;
    for (float v : mask) total += v;
    EXPECT_NEAR(total, 1.0, 1e-3);
    EXPECT_GT(mask[32 * 64 + 36], 0.0f);
    EXPECT_NEAR(mask[32 * 64 + 36], mask[36 * 64 + 32], 1e-6f); // round, not square-biased
}

TEST(TexmakeText, RendersCentredCoverage) {
    TextStyle style;
    style.fontPath = std::string(kFonts) + "/DejaVuSans-Bold.ttf";
    style.sizePx = 40;
    std::vector<float> mask(400 * 100, 0.0f);
    ZK_Status drawn = RenderText("Marovy", style, 200, 70, 0.5f, &mask, 400, 100);
    ASSERT_TRUE(drawn.ok) << drawn.problem;
    int minX = 400, maxX = -1, minY = 100, maxY = -1;
    for (int y = 0; y < 100; y++)
        for (int x = 0; x < 400; x++)
            if (mask[y * 400 + x] > 0.5f) {
                minX = std::min(minX, x), maxX = std::max(maxX, x);
                minY = std::min(minY, y), maxY = std::max(maxY, y);
            }
    ASSERT_GE(maxX, 0) << "nothing drawn";
    EXPECT_NEAR((minX + maxX) / 2.0, 200, 6);
    EXPECT_LE(maxY, 80); // the 'y' descends a little below the baseline
    EXPECT_LT(maxY - minY, 45);

    // Squeezing halves the width.
    std::vector<float> narrow(400 * 100, 0.0f);
    style.squeeze = 0.5f;
    ASSERT_TRUE(RenderText("Marovy", style, 200, 70, 0.5f, &narrow, 400, 100).ok);
    int nMin = 400, nMax = -1;
    for (int i = 0; i < 400 * 100; i++)
        if (narrow[i] > 0.5f) nMin = std::min(nMin, i % 400), nMax = std::max(nMax, i % 400);
    EXPECT_NEAR(nMax - nMin, (maxX - minX) / 2.0, 6);

    // UTF-8 text: "\xc3\xa9" is one letter, the one a lone Latin-1 byte \xe9 names.
    style.squeeze = 1;
    std::vector<float> utf8(400 * 100, 0.0f), latin1(400 * 100, 0.0f);
    ASSERT_TRUE(RenderText("Caf\xc3\xa9 \xe2\x82\xac", style, 200, 70, 0.5f, &utf8, 400, 100).ok);
    ASSERT_TRUE(RenderText("Caf\xe9 \xe2\x82\xac", style, 200, 70, 0.5f, &latin1, 400, 100).ok);
    EXPECT_EQ(utf8, latin1);

    style.fontPath = "/nonexistent/font.ttf";
    drawn = RenderText("x", style, 0, 0, 0, &mask, 400, 100);
    EXPECT_FALSE(drawn.ok);
    EXPECT_EQ(drawn.file, "/nonexistent/font.ttf");
}

TEST(TexmakeRecipe, StepsRunAndErrorsNameTheLine) {
    RecipeInputs in;
    in.fontDir = kFonts;
    RecipeResult r;
    ZK_Status ran = RunRecipe("size 64 32   # a comment\nformat rle32\nid \"hello\"\n"
                              "fill #102030\nframe 2 #ffffff\nalpha 0.5\n",
                              in, &r);
    ASSERT_TRUE(ran.ok) << ran.problem;
    EXPECT_EQ(r.canvas.width, 64);
    EXPECT_EQ(r.canvas.height, 32);
    EXPECT_EQ(r.format, IO_TgaFormat::Rle32);
    EXPECT_EQ(r.id, "hello");
    EXPECT_EQ(IO_ToByte(r.canvas.At(10, 10)[2]), 0x30);
    EXPECT_EQ(IO_ToByte(r.canvas.At(0, 10)[0]), 255);
    EXPECT_EQ(IO_ToByte(r.canvas.At(10, 10)[3]), 128);

    struct Bad {
        const char* recipe;
        const char* message;
    } bad[] = {{"fill #000000\n", "line 1: 'fill' before size"},
               {"size 8 8\nfill red\n", "line 2: 'red' is not a colour #RRGGBB (six hex digits, "
                                        "e.g. #ff8000)"},
               // Not a comment: a colour a digit short.
               {"size 8 8\nfill #12345\n", "line 2: '#12345' is not a colour #RRGGBB (six hex "
                                           "digits, e.g. #ff8000)"},
               {"size 8 8\nlayer 0\n", "line 2: layer needs the script layers (--layers FILE)"},
               {"size 8 8\nlayer 0 mode=swirl\n", "line 2: unknown mode 'swirl'"},
               {"size 8 8\n\nblur\n", "line 3: 'blur' takes 1 values"},
               {"size 8 8\nwobble 3\n", "line 2: unknown step 'wobble'"},
               {"size 8 8\ntext \"x\n", "line 2: unterminated quoted text"},
               {"size 8 8\ntext \"x\" size=0.5\n", "line 2: text needs font=FILE"},
               {"size 8 8\nfill #000000 shade=2\n", "line 2: 'fill' has no option 'shade'"},
               {"size 0 8\n", "line 1: size is 1 to 4096 whole pixels each way"},
               {"# nothing\n", "no size: the recipe paints nothing"}};
    for (const Bad& b : bad) {
        ran = RunRecipe(b.recipe, in, &r);
        EXPECT_FALSE(ran.ok) << b.recipe;
        EXPECT_EQ(ran.problem, b.message) << b.recipe;
    }
}

TEST(TexmakeRecipe, FlipAndTextWithGlow) {
    RecipeInputs in;
    in.fontDir = kFonts;
    RecipeResult r;
    ZK_Status ran = RunRecipe("size 128 64\nfill #000000\n"
                              "text \"T\" font=DejaVuSans-Bold.ttf size=0.4 x=0.5 y=0.45 "
                              "color=#ffffff glow=4 glowcolor=#0000ff\nflip\n",
                              in, &r);
    ASSERT_TRUE(ran.ok) << ran.problem;
    // The letter sat in the upper half; after the flip it is in the lower half.
    double upper = 0, lower = 0, blue = 0;
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 128; x++) {
            (y < 32 ? upper : lower) += r.canvas.At(x, y)[0];
            blue += r.canvas.At(x, y)[2] - r.canvas.At(x, y)[0];
        }
    EXPECT_GT(lower, upper * 4);
    EXPECT_GT(blue, 1.0); // the halo around the white letter is blue
}

} // namespace
