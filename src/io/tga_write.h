// TGA files in the variants the show's decoder takes: true colour 24 or 32
// bits, plain or run-length encoded, and 16 bits (5-5-5, ordered dither).
// The origin is the lower left, so the file's first row is the bottom one.
#pragma once
#include "io/image.h"

#include <cstdint>
#include <string>
#include <vector>

enum class IO_TgaFormat { Rgb24, Rgba32, Rle24, Rle32, Rgb16 };

// "tga24", "tga32", "rle24", "rle32" or "tga16"; false for anything else.
bool IO_ParseTgaFormat(const std::string& name, IO_TgaFormat* format);
// The whole file; `id` fills the image ID field (at most 255 bytes of it).
std::vector<uint8_t> IO_EncodeTga(const IO_Image& image, IO_TgaFormat format,
                                  const std::string& id = "");
