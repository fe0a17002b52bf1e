// The kit's TGA variants, read back by the show's own decoder.
#include "archive/memfile.h"
#include "io/tga_write.h"
#include "textures/image_decode.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

// Float RGBA rows top down (as texmake paints) whose pixels differ
// everywhere, with flat runs in the lower half.
struct Picture {
    int width, height;
    std::vector<float> px;
    Picture(int w, int h) : width(w), height(h), px((size_t)w * h * 4) {
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                float* p = At(x, y);
                bool flat = y >= h / 2 && x >= w / 4;
                p[0] = flat ? 0.2f : (x * 7 % 256) / 255.0f;
                p[1] = flat ? 0.4f : (y * 13 % 256) / 255.0f;
                p[2] = flat ? 0.6f : ((x + y) % 256) / 255.0f;
                p[3] = flat ? 1.0f : (x % 5) / 4.0f;
            }
    }
    float* At(int x, int y) { return &px[4 * ((size_t)y * width + x)]; }
    IO_Image Image() {
        IO_Image image;
        image.width = width, image.height = height, image.channels = 4;
        image.floats = px.data();
        image.topRowFirst = 1;
        return image;
    }
};

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

TEST(TgaWrite, EveryVariantDecodesInTheShowsOrder) {
    Picture c(300, 20); // rows longer than one RLE packet
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
        IO_TgaFormat f;
        ASSERT_TRUE(IO_ParseTgaFormat(k.name, &f));
        std::vector<uint8_t> file = IO_EncodeTga(c.Image(), f, "id text");
        EXPECT_EQ(file[0], 7);
        EXPECT_EQ(file[2], k.type);
        EXPECT_EQ(file[16], k.depth);
        Decoded d;
        Decode(file, &d);
        ASSERT_TRUE(d.ok);
        ASSERT_EQ(d.image.width, 300);
        ASSERT_EQ(d.image.height, 20);
        ASSERT_EQ(d.image.channels, k.channels);
        // Decoded row 0 is texture row t = 0, the bottom: the picture's last row.
        for (int y = 0; y < 20; y++)
            for (int x = 0; x < 300; x++) {
                const float* p = c.At(x, 19 - y);
                const uint8_t* q = d.image.pixels + ((size_t)y * 300 + x) * k.channels;
                int tolerance = k.depth == 16 ? 8 : 0; // a 5-bit step, dithered
                for (int ch = 0; ch < k.channels; ch++)
                    ASSERT_NEAR(q[ch], IO_ToByte(p[ch]), tolerance)
                        << x << "," << y << " ch " << ch;
            }
    }
}

TEST(TgaWrite, RunLengthPacketsStayWithinRows) {
    // One flat colour: runs as long as allowed. Bytes, rows bottom up.
    std::vector<uint8_t> rgb(300 * 3 * 3, 128);
    IO_Image image;
    image.width = 300, image.height = 3, image.bytes = rgb.data();
    std::vector<uint8_t> file = IO_EncodeTga(image, IO_TgaFormat::Rle24);
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
    for (int x = 0; x < 300; x++) rgb[(300 + x) * 3] = (x & 1) ? 255 : 0;
    file = IO_EncodeTga(image, IO_TgaFormat::Rle24);
    Decoded d;
    Decode(file, &d);
    ASSERT_TRUE(d.ok);
    for (int x = 0; x < 300; x++) ASSERT_EQ(d.image.pixels[(300 + x) * 3], (x & 1) ? 255 : 0);
}

TEST(TgaWrite, SixteenBitDitherKeepsTilingAndMean) {
    std::vector<float> px(64 * 64 * 4);
    for (size_t i = 0; i < px.size(); i += 4) px[i] = 0.5f, px[i + 1] = 0.25f, px[i + 2] = 0.1f;
    IO_Image image;
    image.width = image.height = 64, image.channels = 4, image.floats = px.data();
    Decoded d;
    Decode(IO_EncodeTga(image, IO_TgaFormat::Rgb16), &d);
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

} // namespace
