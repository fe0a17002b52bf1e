// TGA, BMP and PNG decoding without GL: byte orders, run-length packets,
// padded rows, and damaged headers that must neither crash nor over-allocate.
#include "archive/memfile.h"
#include "textures/image_decode.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <vector>

using Bytes = std::vector<uint8_t>;

static Bytes Tga(int type, int width, int height, int depth, const Bytes& data, int idLength = 0) {
    Bytes f(18 + idLength + data.size(), 0xEE);
    std::fill(f.begin(), f.begin() + 18, 0);
    std::copy(data.begin(), data.end(), f.begin() + 18 + idLength);
    f[0] = (uint8_t)idLength;
    f[2] = (uint8_t)type;
    f[12] = width & 255, f[13] = width >> 8;
    f[14] = height & 255, f[15] = height >> 8;
    f[16] = (uint8_t)depth;
    return f;
}

static void Put32(Bytes& f, size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++) f[at + i] = (uint8_t)(v >> (8 * i));
}

static Bytes Bmp(int32_t width, int32_t height, int bits, uint32_t imageSize, const Bytes& data,
                 uint32_t offset = 54) {
    Bytes f(offset, 0);
    f[0] = 'B', f[1] = 'M';
    Put32(f, 10, offset);
    Put32(f, 14, 40);
    Put32(f, 18, (uint32_t)width);
    Put32(f, 22, (uint32_t)height);
    f[26] = 1, f[28] = (uint8_t)bits;
    Put32(f, 34, imageSize);
    f.insert(f.end(), data.begin(), data.end());
    return f;
}

struct Decoded {
    int ok;
    TexImage image;
    Bytes pixels;
};

static Decoded Decode(int (*decoder)(MemFile*, TexImage*), const Bytes& file) {
    Decoded d;
    d.image.width = -7; // what the record held before
    d.image.height = -9;
    MemFile* m = MemFile_Open(file.data(), (uint32_t)file.size(), 0);
    d.ok = decoder(m, &d.image);
    MemFile_Close(m);
    if (d.ok && d.image.byteCount <= 4096)
        d.pixels.assign(d.image.pixels, d.image.pixels + d.image.byteCount);
    free(d.image.pixels);
    return d;
}

TEST(Tga, UncompressedByteOrderAndPackedRows) {
    Decoded d = Decode(DecodeTGA, Tga(2, 2, 1, 24, {1, 2, 3, 4, 5, 6}));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.pixels, (Bytes{3, 2, 1, 6, 5, 4}));
    EXPECT_EQ(d.image.channels, 3);

    // A 3-pixel row is 9 bytes: rows stay packed and the upload must read them
    // with an alignment of 1.
    Bytes data;
    for (int i = 0; i < 18; i++) data.push_back((uint8_t)i);
    d = Decode(DecodeTGA, Tga(2, 3, 2, 24, data, 3));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.image.rowAlignment, 1);
    ASSERT_EQ(d.pixels.size(), 18u);
    EXPECT_EQ(d.pixels[9], 11); // second row, first pixel, red = file byte 2 of the row
    EXPECT_EQ(d.pixels[11], 9);

    // The origin bits change nothing: rows stay in file order.
    Bytes topFirst = Tga(2, 3, 2, 24, data, 3);
    topFirst[17] = 0x20;
    EXPECT_EQ(Decode(DecodeTGA, topFirst).pixels, d.pixels);

    d = Decode(DecodeTGA, Tga(2, 1, 1, 32, {10, 20, 30, 40}));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.image.channels, 4);
    EXPECT_EQ(d.pixels, (Bytes{30, 20, 10, 40}));
}

TEST(Tga, SixteenBitExpansion) {
    Decoded d =
        Decode(DecodeTGA, Tga(2, 4, 1, 16, {0xFF, 0x7F, 0x00, 0x80, 0x00, 0x7C, 0x1F, 0x00}));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.image.channels, 3);
    EXPECT_EQ(d.pixels, (Bytes{248, 248, 248, 0, 0, 0, 248, 0, 0, 0, 0, 248}));
}

TEST(Tga, RunLengthPackets) {
    // Run of two, then a raw packet of two.
    Decoded d = Decode(DecodeTGA, Tga(10, 2, 2, 24, {0x81, 1, 2, 3, 0x01, 4, 5, 6, 7, 8, 9}));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.pixels, (Bytes{3, 2, 1, 3, 2, 1, 6, 5, 4, 9, 8, 7}));

    d = Decode(DecodeTGA, Tga(10, 1, 1, 32, {0x80, 1, 2, 3, 4}));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.pixels, (Bytes{3, 2, 1, 4}));

    // A run of 128 into a 3-pixel image is cut; a raw packet past the end too.
    d = Decode(DecodeTGA, Tga(10, 3, 1, 24, {0xFF, 7, 7, 7}));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.pixels, Bytes(9, 7));
    d = Decode(DecodeTGA, Tga(10, 1, 1, 24, {0x7F, 1, 2, 3, 4, 5, 6}));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.pixels, (Bytes{3, 2, 1}));

    // The file ends mid-packet: what it does not supply is zero, with a warning.
    d = Decode(DecodeTGA, Tga(10, 3, 1, 24, {0x02, 1, 2, 3, 4}));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.pixels, (Bytes{3, 2, 1, 0, 0, 4, 0, 0, 0}));
    EXPECT_NE(d.image.warning, nullptr);
}

// The pixel buffer is bounded by what the file holds: an uncompressed image
// lacking pixel bytes is refused, and so is a run-length one whose packets
// could not fill it; a 1 GiB image from an 18-byte header is never allocated.
TEST(Tga, ShortFilesCannotDriveTheAllocation) {
    EXPECT_FALSE(Decode(DecodeTGA, Tga(2, 2, 2, 24, {1, 2, 3, 4})).ok);
    EXPECT_FALSE(Decode(DecodeTGA, Tga(2, 2, 1, 16, {1, 2, 3})).ok);
    EXPECT_FALSE(Decode(DecodeTGA, Tga(2, 16384, 16384, 32, {})).ok);
    EXPECT_FALSE(Decode(DecodeTGA, Tga(10, 16384, 16384, 32, {0x80, 1, 2, 3, 4})).ok);
    // Two bytes of packets make at most 128 pixels.
    EXPECT_TRUE(Decode(DecodeTGA, Tga(10, 128, 1, 24, {0xFF, 1})).ok);
    EXPECT_FALSE(Decode(DecodeTGA, Tga(10, 129, 1, 24, {0xFF, 1})).ok);
}

// Packets of two bytes fill 128 pixels, so a small file may claim a huge
// picture; the picture's bound refuses it from its header, saying so, as it
// refuses a side beyond what OpenGL takes.
TEST(Tga, PictureBoundRefusesBeforeDecoding) {
    Bytes packets(4097 * 4097 / 128 * 2 + 2, 0xFF);
    Decoded d = Decode(DecodeTGA, Tga(10, 4097, 4097, 24, packets));
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.image.status.problem,
              "picture too large: at most 8192 pixels a side and 16777216 (4096 x 4096) in all");
    TexImage image;
    image.maxSide = 256;
    Bytes file = Tga(2, 257, 1, 24, Bytes(257 * 3, 1));
    MemFile* m = MemFile_Open(file.data(), (uint32_t)file.size(), 0);
    EXPECT_FALSE(DecodeTGA(m, &image));
    MemFile_Close(m);
    EXPECT_EQ(image.status.problem, "picture too large: a side beyond OpenGL's largest texture");
}

TEST(Tga, RejectedVariantsAndHeaders) {
    Decoded d = Decode(DecodeTGA, Tga(2, 5, 6, 8, Bytes(30, 1)));
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.image.width, 5); // the header's size is taken before the depth is checked
    EXPECT_EQ(d.image.height, 6);
    EXPECT_NE(d.image.status.problem, "");
    EXPECT_FALSE(Decode(DecodeTGA, Tga(1, 2, 2, 8, Bytes(4, 1))).ok);
    EXPECT_FALSE(Decode(DecodeTGA, Tga(10, 2, 2, 16, Bytes(8, 1))).ok);
    EXPECT_FALSE(Decode(DecodeTGA, Tga(2, 16385, 1, 24, {})).ok);
    EXPECT_FALSE(Decode(DecodeTGA, Tga(2, 0, 4, 24, {})).ok);
    EXPECT_FALSE(Decode(DecodeTGA, Bytes(17, 0)).ok);
}

TEST(Bmp, RowsSwappedOneByOneKeepingPadding) {
    // Width 1: each 3-byte row carries one padding byte. Swapping across the
    // whole buffer would take the padding as a colour byte in row 1.
    Decoded d = Decode(DecodeBMP, Bmp(1, 2, 24, 8, {1, 2, 3, 0xAA, 4, 5, 6, 0xBB}));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.image.rowAlignment, 4);
    EXPECT_EQ(d.pixels, (Bytes{3, 2, 1, 0xAA, 6, 5, 4, 0xBB}));
    EXPECT_EQ(d.image.width, 1);
    EXPECT_EQ(d.image.height, 2);
}

TEST(Bmp, ImageSizeZeroAndDataOffset) {
    // Size 0: the file's length minus 54, here 8 bytes for two padded rows.
    Decoded d = Decode(DecodeBMP, Bmp(2, 1, 24, 0, {1, 2, 3, 4, 5, 6, 0, 0}));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.pixels, (Bytes{3, 2, 1, 6, 5, 4, 0, 0}));
    // Pixel data after a larger header, found through the offset field.
    Bytes f = Bmp(1, 1, 24, 4, {9, 8, 7, 0}, 60);
    d = Decode(DecodeBMP, f);
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.pixels, (Bytes{7, 8, 9, 0}));
}

TEST(Bmp, RejectedVariantsKeepTheRecord) {
    for (int bits : {8, 16, 32}) {
        Decoded d = Decode(DecodeBMP, Bmp(1, 1, bits, 4, {1, 2, 3, 4}));
        EXPECT_FALSE(d.ok) << bits;
        EXPECT_EQ(d.image.width, -7);
        EXPECT_EQ(d.image.height, -9);
    }
    Bytes notBmp = Bmp(1, 1, 24, 4, {1, 2, 3, 4});
    notBmp[1] = 'm';
    EXPECT_FALSE(Decode(DecodeBMP, notBmp).ok);
    Bytes headers = Bmp(1, 1, 24, 4, {});
    headers.resize(40);
    EXPECT_FALSE(Decode(DecodeBMP, headers).ok);
    EXPECT_FALSE(Decode(DecodeBMP, Bmp(4, -4, 24, 0, Bytes(48, 1))).ok);
    EXPECT_FALSE(Decode(DecodeBMP, Bmp(0x7FFFFFFF, 0x7FFFFFFF, 24, 0, {})).ok);
    // Data that cannot hold the rows the upload reads.
    EXPECT_FALSE(Decode(DecodeBMP, Bmp(2, 2, 24, 0, Bytes(9, 1))).ok);
    // A header alone, whose size field vouches for 768 MiB, allocates nothing.
    EXPECT_FALSE(Decode(DecodeBMP, Bmp(16384, 16384, 24, 16384u * 16384 * 3, {})).ok);
}

TEST(Bmp, HugeImageSizeFieldDoesNotDriveTheAllocation) {
    // 0xFFFFFFFF is a multiple of 3; only the rows the upload reads are kept.
    Decoded d = Decode(DecodeBMP, Bmp(1, 1, 24, 0xFFFFFFFFu, {1, 2, 3}));
    ASSERT_TRUE(d.ok);
    EXPECT_EQ(d.image.byteCount, 4u);
    EXPECT_EQ(d.pixels, (Bytes{3, 2, 1, 0}));
}

// A PNG made with libpng in memory; `rows` top first, `palette` for a
// palette picture (3 bytes a colour, the first transparent).
static Bytes Png(int width, int height, int colourType, const Bytes& rows,
                 const Bytes& palette = {}) {
    Bytes out;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    png_set_write_fn(
        png, &out,
        [](png_structp p, png_bytep data, size_t n) {
            Bytes* o = (Bytes*)png_get_io_ptr(p);
            o->insert(o->end(), data, data + n);
        },
        nullptr);
    png_set_IHDR(png, info, width, height, 8, colourType, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (!palette.empty()) {
        png_set_PLTE(png, info, (png_const_colorp)palette.data(), (int)palette.size() / 3);
        png_byte transparent = 0;
        png_set_tRNS(png, info, &transparent, 1, nullptr);
    }
    png_write_info(png, info);
    size_t rowBytes = rows.size() / height;
    for (int y = 0; y < height; y++) png_write_row(png, rows.data() + y * rowBytes);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

// Turned over (bottom row first, as a TGA's rows go up), palettes expanded,
// transparency made alpha; cut short it is taken with a warning, the rows
// not read zero; a header claiming too large a picture gets a TGA's words.
TEST(Png, GoodCutShortAndOversized) {
    Decoded d =
        Decode(DecodePNG, Png(2, 2, PNG_COLOR_TYPE_RGB, {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12}));
    ASSERT_TRUE(d.ok) << d.image.status.problem;
    EXPECT_EQ(d.image.warning, nullptr);
    EXPECT_EQ(d.image.width, 2);
    EXPECT_EQ(d.image.channels, 3);
    EXPECT_EQ(d.pixels, (Bytes{7, 8, 9, 10, 11, 12, 1, 2, 3, 4, 5, 6}));
    d = Decode(DecodePNG, Png(3, 1, PNG_COLOR_TYPE_PALETTE, {0, 1, 1}, {9, 9, 9, 200, 100, 50}));
    ASSERT_TRUE(d.ok) << d.image.status.problem;
    EXPECT_EQ(d.image.channels, 4);
    EXPECT_EQ(d.pixels, (Bytes{9, 9, 9, 0, 200, 100, 50, 255, 200, 100, 50, 255}));

    Bytes noise(64 * 64 * 3);
    for (size_t i = 0; i < noise.size(); i++) noise[i] = (uint8_t)(i * 2654435761u >> 13);
    Bytes file = Png(64, 64, PNG_COLOR_TYPE_RGB, noise);
    file.resize(file.size() / 2);
    d = Decode(DecodePNG, file);
    ASSERT_TRUE(d.ok);
    EXPECT_STREQ(d.image.warning, "file ends before its last pixel (the rest is zero)");
    EXPECT_EQ(d.image.byteCount, 64u * 64 * 3);
    file.resize(30);
    d = Decode(DecodePNG, file);
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.image.status.problem, "file shorter than its PNG header");

    Bytes huge = Png(1, 1, PNG_COLOR_TYPE_RGB, {1, 2, 3});
    huge[16] = 0, huge[17] = 0, huge[18] = 0x13, huge[19] = 0x88; // 5000 wide
    huge[20] = 0, huge[21] = 0, huge[22] = 0x13, huge[23] = 0x88; // and high
    d = Decode(DecodePNG, huge);
    EXPECT_FALSE(d.ok);
    EXPECT_EQ(d.image.status.problem,
              "picture too large: at most 8192 pixels a side and 16777216 (4096 x 4096) in all");
    EXPECT_EQ(d.image.width, 5000);
    Bytes tga = Tga(2, 1, 1, 24, {1, 2, 3});
    EXPECT_EQ(Decode(DecodePNG, tga).image.status.problem, "not a PNG file (no PNG signature)");
}

TEST(Extension, ChosenCaseInsensitivelyFromTheLastDot) {
    EXPECT_EQ(DecoderForPath("a.TGA"), DecodeTGA);
    EXPECT_EQ(DecoderForPath("pic.bmp.tga"), DecodeTGA);
    EXPECT_EQ(DecoderForPath("x.Bmp"), DecodeBMP);
    EXPECT_EQ(DecoderForPath("tex.rgs"), DecodeRGS);
    EXPECT_EQ(DecoderForPath("image.PNG"), DecodePNG);
    EXPECT_EQ(DecoderForPath("image.jpg"), nullptr);
    EXPECT_EQ(DecoderForPath("tga"), nullptr);
    EXPECT_EQ(DecoderForPath("dir.tga/file"), nullptr);
}
