// texmake: TGA variants read back by the show's own decoder, recipes, text.
#include "archive/memfile.h"
#include "canvas.h"
#include "recipe.h"
#include "text.h"
#include "textures/image_decode.h"
#include "tga_write.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

const char* kFonts = "/usr/share/fonts/truetype/dejavu";

// A canvas whose pixels differ everywhere, with flat runs in its lower half.
Canvas TestCanvas(int w, int h) {
    Canvas c;
    c.Resize(w, h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            float* p = c.At(x, y);
            bool flat = y >= h / 2 && x >= w / 4;
            p[0] = flat ? 0.2f : (x * 7 % 256) / 255.0f;
            p[1] = flat ? 0.4f : (y * 13 % 256) / 255.0f;
            p[2] = flat ? 0.6f : ((x + y) % 256) / 255.0f;
            p[3] = flat ? 1.0f : (x % 5) / 4.0f;
        }
    return c;
}

struct Decoded {
    TexImage image;
    bool ok = false;
    ~Decoded() { free(image.pixels); }
};

void Decode(const std::vector<uint8_t>& file, Decoded* d) {
    MemFile* mf = MemFile_Open(file.data(), (uint32_t)file.size(), 0);
    d->ok = DecodeTGA(mf, &d->image) == 1;
    MemFile_Close(mf);
}

TEST(TexmakeTga, EveryVariantDecodesInTheShowsOrder) {
    Canvas c = TestCanvas(300, 20); // rows longer than one RLE packet
    struct Case {
        const char* name;
        int channels, depth, type;
    } cases[] = {{"tga24", 3, 24, 2},
                 {"tga32", 4, 32, 2},
                 {"rle24", 3, 24, 10},
                 {"rle32", 4, 32, 10},
                 {"tga16", 3, 16, 2}};
    for (const Case& k : cases) {
        SCOPED_TRACE(k.name);
        TgaFormat f;
        ASSERT_TRUE(ParseTgaFormat(k.name, &f));
        std::vector<uint8_t> file = EncodeTga(c, f, "id text");
        EXPECT_EQ(file[0], 7);
        EXPECT_EQ(file[2], k.type);
        EXPECT_EQ(file[16], k.depth);
        Decoded d;
        Decode(file, &d);
        ASSERT_TRUE(d.ok);
        ASSERT_EQ(d.image.width, 300);
        ASSERT_EQ(d.image.height, 20);
        ASSERT_EQ(d.image.channels, k.channels);
        // Decoded row 0 is texture row t = 0, the bottom: the canvas's last row.
        for (int y = 0; y < 20; y++)
            for (int x = 0; x < 300; x++) {
                const float* p = c.At(x, 19 - y);
                const uint8_t* q = d.image.pixels + ((size_t)y * 300 + x) * k.channels;
                int tolerance = k.depth == 16 ? 8 : 0; // a 5-bit step, dithered
                for (int ch = 0; ch < k.channels; ch++)
                    ASSERT_NEAR(q[ch], ToByte(p[ch]), tolerance) << x << "," << y << " ch " << ch;
            }
    }
}

TEST(TexmakeTga, RunLengthPacketsStayWithinRows) {
    Canvas c;
    c.Resize(300, 3);
    Fill(&c, Rgb{0.5f, 0.5f, 0.5f}); // one flat colour: runs as long as allowed
    TgaFormat f;
    ParseTgaFormat("rle24", &f);
    std::vector<uint8_t> file = EncodeTga(c, f, "");
    // Per row: 128 + 128 + 44 pixels, three run packets of 4 bytes each.
    EXPECT_EQ(file.size(), 18u + 3 * 3 * 4);
    size_t at = 18;
    for (int row = 0; row < 3; row++) {
        EXPECT_EQ(file[at], 0x80 | 127);
        EXPECT_EQ(file[at + 4], 0x80 | 127);
        EXPECT_EQ(file[at + 8], 0x80 | 43);
        at += 12;
    }
    // Alternating pixels need raw packets of at most 128.
    for (int x = 0; x < 300; x++) c.At(x, 1)[0] = (x & 1) ? 1.0f : 0.0f;
    file = EncodeTga(c, f, "");
    Decoded d;
    Decode(file, &d);
    ASSERT_TRUE(d.ok);
    for (int x = 0; x < 300; x++) ASSERT_EQ(d.image.pixels[(300 + x) * 3], (x & 1) ? 255 : 0);
}

TEST(TexmakeTga, SixteenBitDitherKeepsTilingAndMean) {
    Canvas c;
    c.Resize(64, 64);
    Fill(&c, Rgb{0.5f, 0.25f, 0.1f});
    TgaFormat f;
    ParseTgaFormat("tga16", &f);
    std::vector<uint8_t> file = EncodeTga(c, f, "");
    Decoded d;
    Decode(file, &d);
    ASSERT_TRUE(d.ok);
    double sum = 0;
    for (int i = 0; i < 64 * 64; i++) sum += d.image.pixels[i * 3];
    // The 5-bit steps average out to the true level rather than one rounded step.
    EXPECT_NEAR(sum / (64 * 64), 0.5 * 255, 2.5);
    // The pattern repeats every 4 pixels, so tiles meet seamlessly.
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 60; x++)
            ASSERT_EQ(d.image.pixels[(y * 64 + x) * 3], d.image.pixels[(y * 64 + x + 4) * 3]);
}

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
                ASSERT_EQ(ToByte(c.At(x, 255 - y)[k]), layer[(y * 256 + x) * 3 + k]);
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
    std::string error;
    ASSERT_TRUE(RenderText("Marovy", style, 200, 70, 0.5f, &mask, 400, 100, &error)) << error;
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
    ASSERT_TRUE(RenderText("Marovy", style, 200, 70, 0.5f, &narrow, 400, 100, &error));
    int nMin = 400, nMax = -1;
    for (int i = 0; i < 400 * 100; i++)
        if (narrow[i] > 0.5f) nMin = std::min(nMin, i % 400), nMax = std::max(nMax, i % 400);
    EXPECT_NEAR(nMax - nMin, (maxX - minX) / 2.0, 6);

    style.fontPath = "/nonexistent/font.ttf";
    EXPECT_FALSE(RenderText("x", style, 0, 0, 0, &mask, 400, 100, &error));
    EXPECT_NE(error.find("/nonexistent/font.ttf"), std::string::npos);
}

TEST(TexmakeRecipe, StepsRunAndErrorsNameTheLine) {
    RecipeInputs in;
    in.fontDir = kFonts;
    RecipeResult r;
    std::string error;
    ASSERT_TRUE(RunRecipe("size 64 32   # a comment\nformat rle32\nid \"hello\"\n"
                          "fill #102030\nframe 2 #ffffff\nalpha 0.5\n",
                          in, &r, &error))
        << error;
    EXPECT_EQ(r.canvas.width, 64);
    EXPECT_EQ(r.canvas.height, 32);
    EXPECT_EQ(r.format, TgaFormat::Rle32);
    EXPECT_EQ(r.id, "hello");
    EXPECT_EQ(ToByte(r.canvas.At(10, 10)[2]), 0x30);
    EXPECT_EQ(ToByte(r.canvas.At(0, 10)[0]), 255);
    EXPECT_EQ(ToByte(r.canvas.At(10, 10)[3]), 128);

    struct Bad {
        const char* recipe;
        const char* message;
    } bad[] = {{"fill #000000\n", "line 1: 'fill' before size"},
               {"size 8 8\nfill red\n", "line 2: 'red' is not a colour #RRGGBB"},
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
        EXPECT_FALSE(RunRecipe(b.recipe, in, &r, &error)) << b.recipe;
        EXPECT_EQ(error, b.message) << b.recipe;
    }
}

TEST(TexmakeRecipe, FlipAndTextWithGlow) {
    RecipeInputs in;
    in.fontDir = kFonts;
    RecipeResult r;
    std::string error;
    ASSERT_TRUE(RunRecipe("size 128 64\nfill #000000\n"
                          "text \"T\" font=DejaVuSans-Bold.ttf size=0.4 x=0.5 y=0.45 "
                          "color=#ffffff glow=4 glowcolor=#0000ff\nflip\n",
                          in, &r, &error))
        << error;
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
