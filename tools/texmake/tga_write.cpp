#include "tga_write.h"

#include <cmath>
#include <cstring>

bool ParseTgaFormat(const std::string& name, TgaFormat* format) {
    static const struct {
        const char* name;
        TgaFormat format;
    } names[] = {{"tga24", TgaFormat::Rgb24},
                 {"tga32", TgaFormat::Rgba32},
                 {"rle24", TgaFormat::Rle24},
                 {"rle32", TgaFormat::Rle32},
                 {"tga16", TgaFormat::Rgb16}};
    for (const auto& n : names)
        if (name == n.name) {
            *format = n.format;
            return true;
        }
    return false;
}

uint8_t ToByte(float v) {
    if (!(v > 0)) return 0;
    if (v >= 1) return 255;
    return (uint8_t)std::lround(v * 255.0f);
}

namespace {

// 4 × 4 Bayer thresholds; their period divides any power-of-two width, so a
// tileable canvas stays tileable after dithering.
const int bayer[4][4] = {{0, 8, 2, 10}, {12, 4, 14, 6}, {3, 11, 1, 9}, {15, 7, 13, 5}};

uint16_t To555(const float* p, int x, int y) {
    float offset = (bayer[y & 3][x & 3] + 0.5f) / 16.0f - 0.5f; // -0.47..0.47 of a step
    uint16_t v = 0x8000;                                        // the attribute bit: opaque
    for (int k = 0; k < 3; k++) {
        // Decoders widen a 5-bit value q to q << 3, so q steps by 8 of 255.
        float level = p[k] * (255.0f / 8.0f) + offset;
        int q = (int)std::lround(level);
        q = q < 0 ? 0 : q > 31 ? 31 : q;
        v |= (uint16_t)(q << (10 - 5 * k));
    }
    return v;
}

} // namespace

std::vector<uint8_t> EncodeTga(const Canvas& canvas, TgaFormat format, const std::string& id) {
    const bool rle = format == TgaFormat::Rle24 || format == TgaFormat::Rle32;
    const bool alpha = format == TgaFormat::Rgba32 || format == TgaFormat::Rle32;
    const int bytes = format == TgaFormat::Rgb16 ? 2 : alpha ? 4 : 3;
    std::vector<uint8_t> out(18, 0);
    size_t idLength = id.size() > 255 ? 255 : id.size();
    out[0] = (uint8_t)idLength;
    out[2] = rle ? 10 : 2;
    out[12] = (uint8_t)(canvas.width & 255);
    out[13] = (uint8_t)(canvas.width >> 8);
    out[14] = (uint8_t)(canvas.height & 255);
    out[15] = (uint8_t)(canvas.height >> 8);
    out[16] = (uint8_t)(bytes * 8);
    out[17] = alpha ? 8 : format == TgaFormat::Rgb16 ? 1 : 0; // alpha bits; origin lower left
    for (size_t i = 0; i < idLength; i++) out.push_back((uint8_t)id[i]);

    std::vector<uint8_t> row((size_t)canvas.width * bytes);
    for (int y = canvas.height - 1; y >= 0; y--) {
        for (int x = 0; x < canvas.width; x++) {
            const float* p = canvas.At(x, y);
            uint8_t* o = &row[(size_t)x * bytes];
            if (format == TgaFormat::Rgb16) {
                uint16_t v = To555(p, x, y);
                o[0] = (uint8_t)v;
                o[1] = (uint8_t)(v >> 8);
                continue;
            }
            o[0] = ToByte(p[2]), o[1] = ToByte(p[1]), o[2] = ToByte(p[0]); // B, G, R
            if (alpha) o[3] = ToByte(p[3]);
        }
        if (!rle) {
            out.insert(out.end(), row.begin(), row.end());
            continue;
        }
        // Packets stay within the row: runs of 2 or more equal pixels become
        // run packets, everything else raw packets of up to 128 pixels.
        int x = 0;
        while (x < canvas.width) {
            int run = 1;
            while (x + run < canvas.width && run < 128 &&
                   memcmp(&row[(size_t)(x + run) * bytes], &row[(size_t)x * bytes], bytes) == 0)
                run++;
            if (run >= 2) {
                out.push_back((uint8_t)(0x80 | (run - 1)));
                out.insert(out.end(), row.begin() + (size_t)x * bytes,
                           row.begin() + (size_t)(x + 1) * bytes);
                x += run;
                continue;
            }
            int start = x, count = 0;
            while (x < canvas.width && count < 128) {
                if (x + 1 < canvas.width &&
                    memcmp(&row[(size_t)(x + 1) * bytes], &row[(size_t)x * bytes], bytes) == 0)
                    break;
                x++;
                count++;
            }
            out.push_back((uint8_t)(count - 1));
            out.insert(out.end(), row.begin() + (size_t)start * bytes,
                       row.begin() + (size_t)(start + count) * bytes);
        }
    }
    return out;
}
