// Texture decoders without GL: TGA, BMP and RGS scripts into pixels ready for
// upload (R, G, B(, A), rows in file order). The texture manager uploads what
// these leave; `zelkor tex decode` prints it.
#pragma once
#include <cstdint>

struct MemFile;

enum { TEX_MAX_SIDE = 16384 }; // larger sides are taken as a damaged header

struct TexImage {
    int32_t width = 0, height = 0; // callers preset these: a rejected BMP keeps them
    int channels = 3;              // 3 RGB, 4 RGBA
    int rowAlignment = 1;          // 1 for packed rows, 4 for BMP's padded rows
    uint32_t byteCount = 0;        // bytes the upload reads: padded row x height
    uint8_t* pixels = nullptr;     // malloc'd, owned by the caller after success
    const char* error = nullptr;   // static text: the problem on failure, a warning on success
};

// Each returns 1 and fills the image, or 0 with error set and no pixels.
int DecodeTGA(MemFile* file, TexImage* image);
int DecodeBMP(MemFile* file, TexImage* image);
// Runs the script on the shared layer store and takes a copy of layer 0;
// always 256 x 256 RGB, even when the script is rejected.
int DecodeRGS(MemFile* file, TexImage* image);

// The decoder chosen by the path's extension (".bmp", ".rgs", ".tga", any
// case, from the last "."), or null for any other extension.
typedef int (*TexDecoder)(MemFile* file, TexImage* image);
TexDecoder DecoderForPath(const char* path);
// DecoderForPath's decoder; 0 with an error for an unknown extension.
int DecodeByExtension(const char* path, MemFile* file, TexImage* image);
