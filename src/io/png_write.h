// PNG files through libpng: 8-bit RGB or RGBA, top row first in the file.
#pragma once
#include "core/status.h"
#include "io/image.h"

// Writes the image safely (see write_file.h); zlib level -1 is its default.
ZK_Status IO_WritePng(const char* path, const IO_Image& image, int compressionLevel);
