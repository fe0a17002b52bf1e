// Text through FreeType into a coverage mask, for titles and credits.
#pragma once
#include "core/status.h"

#include <string>
#include <vector>

struct TextStyle {
    std::string fontPath;
    float sizePx = 32;   // em size in pixels
    float squeeze = 1;   // horizontal scale of the glyphs (and their advances)
    float spacingPx = 0; // extra space after each character
};

// Adds the coverage (0..1) of the text (UTF-8) to mask (width × height, row 0 at the
// top). x is the anchor: the text's left edge, centre or right edge for align
// 0, 0.5 or 1; baseline is the baseline's row. A font that cannot be loaded
// is the failure's file.
ZK_Status RenderText(const std::string& text, const TextStyle& style, float x, float baseline,
                     float align, std::vector<float>* mask, int width, int height);
