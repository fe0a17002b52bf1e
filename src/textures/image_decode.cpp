#include "textures/image_decode.h"

#include "archive/memfile.h"
#include "rgs/rgs.h"

#include <cstdlib>
#include <cstring>
#include <strings.h>

int DecodeRGS(MemFile* file, TexImage* image) {
    uint8_t* pixels = (uint8_t*)malloc(LAYER_SIZE);
    if (!pixels) {
        image->status = ZK_Fail("out of memory for the RGS pixels");
        return 0;
    }
    // A rejected script still yields layer 0 as the scripts before left it,
    // as the show expects; what is wrong with it is then only a warning.
    image->status = ZK_Ok();
    image->warning = RunRGS(file->data, file->size) ? nullptr : "not an RGS script (no \"RGS\")";
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
    if (strcasecmp(ext, ".png") == 0) return DecodePNG;
    if (strcasecmp(ext, ".rgs") == 0) return DecodeRGS;
    if (strcasecmp(ext, ".tga") == 0) return DecodeTGA;
    return nullptr;
}

uint64_t TexFileLimit(const char* path) {
    if (DecoderForPath(path) == DecodeRGS) return RGS_MAX_FILE_BYTES;
    return TEX_MAX_FILE_BYTES;
}

const char* TexSizeProblem(const TexImage* image, uint32_t width, uint32_t height) {
    if (width == 0 || height == 0) return "picture of no pixels (a side of 0)";
    if (width > TEX_MAX_SIDE || height > TEX_MAX_SIDE || (uint64_t)width * height > TEX_MAX_PIXELS)
        return "picture too large: at most 8192 pixels a side and 16777216 (4096 x 4096) in all";
    if ((int64_t)width > image->maxSide || (int64_t)height > image->maxSide)
        return "picture too large: a side beyond OpenGL's largest texture";
    return nullptr;
}

const char* TexExtensionProblem(const char* path) {
    return DecoderForPath(path) ? nullptr
                                : "unknown texture file extension (not .bmp, .png, .rgs or .tga)";
}

int DecodeByExtension(const char* path, MemFile* file, TexImage* image) {
    if (TexDecoder decode = DecoderForPath(path)) return decode(file, image);
    image->status = ZK_Fail(TexExtensionProblem(path));
    return 0;
}
