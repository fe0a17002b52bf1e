// ZELKOR_Texture: one OpenGL 2D texture made from one file (.tga, .bmp, .png, .rgs).
#pragma once
#include "core/api.h"

#include <cstdint>

struct MemFile;
struct Draw;

class ZELKOR_Texture {
  public:
    ZELKOR_Texture() {}
    // 1 when decoded and uploaded; the decoder is chosen by the extension.
    // `why`, when given, gets the reason of a failure (good until the next
    // failed load), a warning on success (a picture cut short), or null.
    ZELKOR_API int LoadTexture(const char* path, uint32_t tag, int useMipmaps,
                               const char** why = nullptr);
    // Enables 2D texturing and binds glName, loaded or not, with that draw
    // layer (a scene's frame's), or the context's when none is given.
    ZELKOR_API void BindTexture(const Draw* draw = nullptr);

    uint32_t tag = 0;
    uint32_t glName = 0;
    int32_t width = 0;
    int32_t height = 0;
    uint8_t* pixels = nullptr; // owned; kept after the upload for the record's life
};

// Decode the whole file held by the reader and upload it; 1 on success. The
// GL context must be current.
int LoadBMP(ZELKOR_Texture* texture, MemFile* file, int useMipmaps);
int LoadTGA(ZELKOR_Texture* texture, MemFile* file, int useMipmaps);
int LoadRGS(ZELKOR_Texture* texture, MemFile* file, int useMipmaps);
