#include "textures/image_decode.h"

#include "archive/memfile.h"
#include "rgs/rgs.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

int DecodeRGS(MemFile* file, TexImage* image) {
    uint8_t* pixels = (uint8_t*)malloc(LAYER_SIZE);
    if (!pixels) {
        image->error = "out of memory for the RGS pixels";
        return 0;
    }
    // A rejected script still yields layer 0 as the scripts before left it,
    // as the show expects; the error text is then only a warning.
    image->error = RunRGS(file->data, file->size) ? nullptr : "not an RGS script (no \"RGS\")";
    memcpy(pixels, RGS_Layers[0], LAYER_SIZE);
    image->width = image->height = RGS_SIZE;
    image->channels = 3;
    image->rowAlignment = 1;
    image->byteCount = LAYER_SIZE;
    image->pixels = pixels;
    return 1;
}

TexDecoder DecoderForPath(const char* path) {
    const char* ext = path ? strrchr(path, '.') : nullptr;
    if (!ext) return nullptr;
    if (strcasecmp(ext, ".bmp") == 0) return DecodeBMP;
    if (strcasecmp(ext, ".rgs") == 0) return DecodeRGS;
    if (strcasecmp(ext, ".tga") == 0) return DecodeTGA;
    return nullptr;
}

int DecodeByExtension(const char* path, MemFile* file, TexImage* image) {
    if (TexDecoder decode = DecoderForPath(path)) return decode(file, image);
    image->error = "unknown texture file extension (not .bmp, .rgs or .tga)";
    return 0;
}
