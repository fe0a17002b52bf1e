// zelkor play's overlay font: the printable ASCII glyphs of fontmake's 5 x 7
// font, each in a cell of 6 x 8 pixels times a scale, drawn through the draw
// layer between BeginOverlay and EndOverlay, where the view is in pixels.
#pragma once
#include <cstddef>
#include <string>

struct Draw;

enum { FONT_CELL_W = 6, FONT_CELL_H = 8 };

// Text with its lower left corner at (x, y), `cells` characters at most,
// upper-cased, in grey `bright`.
void Font_Text(const Draw* d, int x, int y, const std::string& text, float bright, int scale,
               size_t cells = 999);
// A filled rectangle in one colour.
void Font_Box(const Draw* d, float x, float y, float w, float h, float r, float g, float b,
              float a);
