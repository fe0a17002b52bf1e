#include "text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

struct Library {
    FT_Library ft = nullptr;
    FT_Face face = nullptr;
    ~Library() {
        if (face) FT_Done_Face(face);
        if (ft) FT_Done_FreeType(ft);
    }
};

// The characters of UTF-8 text. A byte that begins no valid sequence
// stands for itself, as in Latin-1, so such recipes keep their letters.
std::vector<FT_ULong> CodePoints(const std::string& text) {
    std::vector<FT_ULong> out;
    const unsigned char* p = (const unsigned char*)text.data();
    size_t n = text.size();
    for (size_t i = 0; i < n;) {
        unsigned c = p[i];
        int extra = c >= 0xF0 && c <= 0xF4   ? 3
                    : c >= 0xE0 && c <= 0xEF ? 2
                    : c >= 0xC2 && c <= 0xDF ? 1
                                             : 0;
        FT_ULong cp = c & (0x3F >> extra);
        bool valid = extra > 0 && i + extra < n;
        for (int k = 1; valid && k <= extra; k++) {
            valid = (p[i + k] & 0xC0) == 0x80;
            cp = cp << 6 | (p[i + k] & 0x3F);
        }
        // Overlong forms and surrogates are no characters.
        valid = valid && !(extra == 2 && (cp < 0x800 || (cp >= 0xD800 && cp <= 0xDFFF))) &&
                !(extra == 3 && (cp < 0x10000 || cp > 0x10FFFF));
        out.push_back(valid ? cp : c);
        i += valid ? extra + 1 : 1;
    }
    return out;
}

} // namespace

ZK_Status RenderText(const std::string& text, const TextStyle& style, float x, float baseline,
                     float align, std::vector<float>* mask, int width, int height) {
    Library lib;
    if (FT_Init_FreeType(&lib.ft) != 0) return ZK_Fail("cannot start FreeType");
    if (FT_New_Face(lib.ft, style.fontPath.c_str(), 0, &lib.face) != 0)
        return ZK_FailIn(style.fontPath, "cannot load the font");
    if (style.sizePx < 1 || style.sizePx > 2000 || style.squeeze <= 0 || style.squeeze > 4)
        return ZK_Fail("text size or squeeze out of range");
    FT_Set_Pixel_Sizes(lib.face, 0, (FT_UInt)std::lround(style.sizePx));
    FT_Matrix m;
    m.xx = (FT_Fixed)std::lround(style.squeeze * 65536.0);
    m.xy = 0;
    m.yx = 0;
    m.yy = 0x10000;

    // Two passes: measure the advance, then draw from the aligned origin.
    // Pen positions are in 26.6 fixed point so sub-pixel placement is kept.
    auto walk = [&](bool draw, float originX) -> long {
        long pen = 0;
        FT_UInt previous = 0;
        bool kerning = FT_HAS_KERNING(lib.face);
        for (FT_ULong ch : CodePoints(text)) {
            FT_UInt glyph = FT_Get_Char_Index(lib.face, ch);
            if (kerning && previous && glyph) {
                FT_Vector k;
                FT_Get_Kerning(lib.face, previous, glyph, FT_KERNING_DEFAULT, &k);
                pen += (long)std::lround(k.x * style.squeeze);
            }
            FT_Vector delta;
            delta.x = draw ? (FT_Pos)std::lround(originX * 64) + pen : 0;
            delta.y = 0;
            FT_Set_Transform(lib.face, &m, &delta);
            if (FT_Load_Glyph(lib.face, glyph, FT_LOAD_DEFAULT | FT_LOAD_NO_HINTING) != 0) continue;
            if (draw && FT_Render_Glyph(lib.face->glyph, FT_RENDER_MODE_NORMAL) == 0) {
                const FT_Bitmap& bm = lib.face->glyph->bitmap;
                int left = lib.face->glyph->bitmap_left;
                int top = (int)std::lround(baseline) - lib.face->glyph->bitmap_top;
                for (unsigned r = 0; r < bm.rows; r++) {
                    int y = top + (int)r;
                    if (y < 0 || y >= height) continue;
                    for (unsigned c = 0; c < bm.width; c++) {
                        int xx = left + (int)c;
                        if (xx < 0 || xx >= width) continue;
                        float v = bm.buffer[r * bm.pitch + c] / 255.0f;
                        float& dst = (*mask)[(size_t)y * width + xx];
                        dst = std::min(1.0f, dst + v);
                    }
                }
            }
            // The transform has already applied the squeeze to the advance.
            pen += lib.face->glyph->advance.x + (long)std::lround(style.spacingPx * 64);
            previous = glyph;
        }
        return pen;
    };
    long advance = walk(false, 0);
    float textWidth = advance / 64.0f - style.spacingPx;
    walk(true, x - textWidth * align);
    return ZK_Ok();
}
