// Texture recipes: one painting step per line, run in order on a canvas, then
// written as a TGA of the recipe's format. Positions are fractions of the
// canvas (x from the left, y from the top); widths marked px are pixels.
//
//   size W H                 id "TEXT"           format tga24|tga32|rle24|rle32|tga16
//   fill #RRGGBB             layer N [mode=M] [opacity=A]
//   gradient #TOP #BOTTOM [mode=M] [opacity=A]
//   radial X Y R #RRGGBB [power=P] [mode=M]       vignette S
//   frame PX #RRGGBB         line X0 Y0 X1 Y1 PX #RRGGBB [opacity=A]
//   blur PX                  levels BLACK WHITE GAMMA      tint #RRGGBB
//   alpha luma [floor=F] | alpha VALUE                     flip
//   text "TEXT" font=FILE size=H x=X y=BASELINE [color=#RRGGBB] [align=left|center|right]
//        [squeeze=S] [spacing=PX] [glow=PX] [glowcolor=#RRGGBB] [glowgain=G]
// Modes: copy, add, screen, multiply, max, over. '#' after blank space starts a
// comment unless it begins a colour.
#pragma once
#include "canvas.h"
#include "core/status.h"
#include "io/tga_write.h"

#include <cstdint>
#include <string>
#include <vector>

struct RecipeInputs {
    const uint8_t* layers = nullptr; // five 256 × 256 RGB layers back to back, or null
    std::string fontDir;             // where font=NAME is looked up when NAME has no '/'
};

// Where a text step wrote, so its contrast can be checked: the text's box on
// the canvas and its coverage inside that box (row by row).
struct TextArea {
    std::string text;
    int x0 = 0, y0 = 0, x1 = 0, y1 = 0; // x1, y1 exclusive
    std::vector<float> coverage;
};

struct RecipeResult {
    Canvas canvas;
    std::vector<TextArea> texts;
    IO_TgaFormat format = IO_TgaFormat::Rgb24;
    std::string id;
};

// Runs the recipe; a failure says "line N: problem" (the caller names the file).
ZK_Status RunRecipe(const std::string& text, const RecipeInputs& inputs, RecipeResult* result);
