#include "play_font.h"

#include "platform/draw.h"

#include <cstdint>

extern const unsigned char OverlayFontGlyphs[95][7]; // made by fontmake

namespace {

// The 95 glyphs in a row of cells, white with alpha; made once per table.
struct Font {
    uint32_t texture = 0;
    const Draw* draw = nullptr;
};
Font font;
constexpr int FONT_W = 95 * FONT_CELL_W;

void Make(const Draw* d) {
    if (font.texture && font.draw == d) return;
    static uint8_t pixels[FONT_CELL_H][FONT_W][4];
    for (int g = 0; g < 95; g++)
        for (int y = 0; y < 7; y++)
            for (int x = 0; x < 5; x++) {
                // Rows from the bottom up: texture row 0 is the glyph's foot.
                uint8_t lit = (OverlayFontGlyphs[g][y] >> (4 - x)) & 1 ? 255 : 0;
                uint8_t* p = pixels[FONT_CELL_H - 1 - y][g * FONT_CELL_W + x];
                p[0] = p[1] = p[2] = 255, p[3] = lit;
            }
    DrawImage image;
    image.width = FONT_W, image.height = FONT_CELL_H, image.channels = 4;
    image.pixels = &pixels[0][0][0];
    font.texture = d->UploadTexture(0, &image, 0);
    font.draw = d;
}

} // namespace

void Font_Box(const Draw* d, float x, float y, float w, float h, float r, float g, float b,
              float a) {
    d->Color4f(r, g, b, a);
    d->Begin(DRAW_QUADS);
    d->Vertex3f(x, y, 0.0f);
    d->Vertex3f(x + w, y, 0.0f);
    d->Vertex3f(x + w, y + h, 0.0f);
    d->Vertex3f(x, y + h, 0.0f);
    d->End();
}

void Font_Text(const Draw* d, int x, int y, const std::string& text, float bright, int scale,
               size_t cells) {
    Make(d); // inside the overlay: the upload's binding is put back with the rest
    d->Enable(DRAW_TEXTURE_2D);
    d->BindTexture(font.texture);
    d->Color4f(bright, bright, bright, 1.0f);
    d->Begin(DRAW_QUADS);
    for (size_t i = 0; i < text.size() && i < cells; i++) {
        unsigned char c = (unsigned char)text[i];
        if (c >= 'a' && c <= 'z') c = (unsigned char)(c - 'a' + 'A');
        if (c < 32 || c > 126) c = '?';
        float s0 = (float)((c - 32) * FONT_CELL_W) / FONT_W, s1 = s0 + (float)FONT_CELL_W / FONT_W;
        float x0 = (float)(x + (int)i * FONT_CELL_W * scale), y0 = (float)y;
        float x1 = x0 + FONT_CELL_W * scale, y1 = y0 + FONT_CELL_H * scale;
        d->TexCoord2f(s0, 0.0f);
        d->Vertex3f(x0, y0, 0.0f);
        d->TexCoord2f(s1, 0.0f);
        d->Vertex3f(x1, y0, 0.0f);
        d->TexCoord2f(s1, 1.0f);
        d->Vertex3f(x1, y1, 0.0f);
        d->TexCoord2f(s0, 1.0f);
        d->Vertex3f(x0, y1, 0.0f);
    }
    d->End();
    d->Disable(DRAW_TEXTURE_2D);
}
