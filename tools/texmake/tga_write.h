// TGA files in the variants the show's decoder takes: true colour 24 or 32
// bits, plain or run-length encoded, and 16 bits (5-5-5, ordered dither).
#pragma once
#include "canvas.h"

#include <cstdint>
#include <string>
#include <vector>

enum class TgaFormat { Rgb24, Rgba32, Rle24, Rle32, Rgb16 };

// Parses "tga24", "tga32", "rle24", "rle32" or "tga16"; false for anything else.
bool ParseTgaFormat(const std::string& name, TgaFormat* format);
// Rows go bottom row first (origin at the lower left), so the canvas's top row
// ends up at texture coordinate t = 1. id is the optional image ID field.
std::vector<uint8_t> EncodeTga(const Canvas& canvas, TgaFormat format, const std::string& id);
// The 8-bit value a canvas channel becomes (rounded, clamped).
uint8_t ToByte(float v);
