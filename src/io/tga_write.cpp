#include "io/tga_write.h"

#include <cmath>
#include <cstring>

bool IO_ParseTgaFormat(const std::string& name, IO_TgaFormat* format) {
    static const struct {
        const char* name;
        IO_TgaFormat format;
    } names[] = {{"tga24", IO_TgaFormat::Rgb24},
                 {"tga32", IO_TgaFormat::Rgba32},
                 {"rle24", IO_TgaFormat::Rle24},
                 {"rle32", IO_TgaFormat::Rle32},
                 {"tga16", IO_TgaFormat::Rgb16}};
    for (const auto& n : names)
        if (name == n.name) {
            *format = n.format;
            return true;
        }
    return false;
}

namespace {

// 4 × 4 Bayer thresholds; their period divides any power-of-two width, so a
// tileable picture stays tileable after dithering.
const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

// x and y are picture coordinates, y counted from the top.
uint16_t To555(const IO_Image& image, int x, int y, int row) {
    float offset = (bayer[y & 3][x & 3] + 0.5f) / 16.0f - 0.5f; // -0.47..0.47 of a step
    uint16_t v = 0x8000;                                        // the attribute bit: opaque
    for (int k = 0; k < 3; k++) {
        // Decoders widen a 5-bit value q to q << 3, so q steps by 8 of 255.
        float level = IO_PixelFloat(image, x, row, k) * (255.0f / 8.0f) + offset;
        int q = (int)std::lround(level);
        q = q < 0 ? 0 : q > 31 ? 31 : q;
        v |= (uint16_t)(q << (10 - 5 * k));
    }
    return v;
}

// Packets stay within the row: runs of 2 or more equal pixels become run
// packets, everything else raw packets of up to 128 pixels.
void AppendRunLength(std::vector<uint8_t>* out, const std::vector<uint8_t>& row, int width,
                     int bytes) {
    auto same = [&](int a, int b) {
        return memcmp(&row[(size_t)a * bytes], &row[(size_t)b * bytes], bytes) == 0;
    };
    int x = 0;
    while (x < width) {
        int run = 1;
        while (x + run < width && run < 128 && same(x + run, x)) run++;
        if (run >= 2) {
            out->push_back((uint8_t)(0x80 | (run - 1)));
            out->insert(out->end(), row.begin() + (size_t)x * bytes,
                        row.begin() + (size_t)(x + 1) * bytes);
            x += run;
            continue;
        }
        int start = x, count = 0;
        while (x < width && count < 128) {
            if (x + 1 < width && same(x + 1, x)) break;
            x++;
            count++;
        }
        out->push_back((uint8_t)(count - 1));
        out->insert(out->end(), row.begin() + (size_t)start * bytes,
                    row.begin() + (size_t)(start + count) * bytes);
    }
}

} // namespace

std::vector<uint8_t> IO_EncodeTga(const IO_Image& image, IO_TgaFormat format,
                                  const std::string& id) {
    const bool rle = format == IO_TgaFormat::Rle24 || format == IO_TgaFormat::Rle32;
    const bool alpha = format == IO_TgaFormat::Rgba32 || format == IO_TgaFormat::Rle32;
    const int bytes = format == IO_TgaFormat::Rgb16 ? 2 : alpha ? 4 : 3;
    const int width = image.width, height = image.height;
    std::vector<uint8_t> out(18, 0);
    size_t idLength = id.size() > 255 ? 255 : id.size();
    out[0] = (uint8_t)idLength;
    out[2] = rle ? 10 : 2;
    out[12] = (uint8_t)(width & 255);
    out[13] = (uint8_t)(width >> 8);
    out[14] = (uint8_t)(height & 255);
    out[15] = (uint8_t)(height >> 8);
    out[16] = (uint8_t)(bytes * 8);
    out[17] = alpha ? 8 : format == IO_TgaFormat::Rgb16 ? 1 : 0; // alpha bits; origin lower left
    for (size_t i = 0; i < idLength; i++) out.push_back((uint8_t)id[i]);

    std::vector<uint8_t> line((size_t)width * bytes);
    for (int fromBottom = 0; fromBottom < height; fromBottom++) {
        int y = height - 1 - fromBottom; // from the top
        int row = image.topRowFirst ? y : fromBottom;
        for (int x = 0; x < width; x++) {
            uint8_t* o = &line[(size_t)x * bytes];
            if (format == IO_TgaFormat::Rgb16) {
                uint16_t v = To555(image, x, y, row);
                o[0] = (uint8_t)v;
                o[1] = (uint8_t)(v >> 8);
                continue;
            }
            o[0] = IO_PixelByte(image, x, row, 2); // B, G, R(, A)
            o[1] = IO_PixelByte(image, x, row, 1);
            o[2] = IO_PixelByte(image, x, row, 0);
            if (alpha) o[3] = IO_PixelByte(image, x, row, 3);
        }
        if (rle)
            AppendRunLength(&out, line, width, bytes);
        else
            out.insert(out.end(), line.begin(), line.end());
    }
    return out;
}
