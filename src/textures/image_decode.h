// Texture decoders without GL: TGA, BMP, PNG and RGS scripts into pixels ready for
// upload (R, G, B(, A), rows in file order). The texture manager uploads what
// these leave; `zelkor tex decode` prints it.
#pragma once
#include "core/status.h"

#include <cstdint>

struct MemFile;

// The largest picture taken, refused from its header before anything is
// decoded: a few bytes of run-length data may claim any size, and the show
// holds fourteen pictures at once. Real pictures are far smaller (the show's
// largest is 1024 x 512); OpenGL may bound the side further.
enum {
    TEX_MAX_SIDE = 8192,
    TEX_MAX_PIXELS = 4096 * 4096,
    // The largest file such a picture can need (run-length data may spend 5
    // bytes on a pixel), with room for headers and trailers.
    TEX_MAX_FILE_BYTES = 5 * TEX_MAX_PIXELS + (64 << 10),
};

struct TexImage {
    int32_t maxSide = TEX_MAX_SIDE; // callers may lower it (to OpenGL's largest texture)
    int32_t width = 0, height = 0;  // callers preset these: a rejected BMP keeps them
    int channels = 3;               // 3 RGB, 4 RGBA
    int rowAlignment = 1;           // 1 for packed rows, 4 for BMP's padded rows
    uint32_t byteCount = 0;         // bytes the upload reads: padded row x height
    uint8_t* pixels = nullptr;      // malloc'd, owned by the caller after success
    ZK_Status status;               // a failure's problem; the caller names the file
    const char* warning = nullptr;  // static text: what a success lacks (a picture cut short)
};

// Each returns 1 and fills the image, or 0 with its status failed and no pixels.
int DecodeTGA(MemFile* file, TexImage* image);
int DecodeBMP(MemFile* file, TexImage* image);
// Any PNG, as 8-bit RGB or RGBA, bottom row first like a TGA's rows; one cut
// short is taken with a warning, the rows not read zero. The web build reads
// none (it has no libpng) and says so.
int DecodePNG(MemFile* file, TexImage* image);
// Runs the script on the shared layer store and takes a copy of layer 0;
// always 256 x 256 RGB, even when the script is rejected.
int DecodeRGS(MemFile* file, TexImage* image);

// The decoder chosen by the path's extension (".bmp", ".png", ".rgs", ".tga", any
// case, from the last "."), or null for any other extension.
typedef int (*TexDecoder)(MemFile* file, TexImage* image);
TexDecoder DecoderForPath(const char* path);
// The largest file of the kind the path's extension names: a picture within
// the bounds above, or a texture script.
uint64_t TexFileLimit(const char* path);
// Null when the size is taken, else why not (a static text).
const char* TexSizeProblem(const TexImage* image, uint32_t width, uint32_t height);
// Null for an extension a decoder takes, else the error DecodeByExtension gives.
const char* TexExtensionProblem(const char* path);
// DecoderForPath's decoder; 0 with a failed status for an unknown extension.
int DecodeByExtension(const char* path, MemFile* file, TexImage* image);
