#include "textures/texture.h"

#include "archive/memfile.h"
#include "io/read_file.h"
#include "platform/draw.h"
#include "textures/image_decode.h"
#include "textures/texture_reload.h"

#include <climits>
#include <cstdlib>
#include <vector>

// Creates the texture object from the decoded image, or with `reuse` fills
// the record's existing one, so whatever holds its name sees the new picture.
void UploadTexture(ZELKOR_Texture* texture, const TexImage& image, int useMipmaps, int reuse) {
    DrawImage picture;
    picture.width = image.width;
    picture.height = image.height;
    picture.channels = image.channels;
    picture.rowAlignment = image.rowAlignment;
    picture.pixels = image.pixels;
    texture->glName =
        Draw_Current()->UploadTexture(reuse ? texture->glName : 0, &picture, useMipmaps);
}

int TextureMaxSide() {
    // Asked once: the implementation's limit does not change while we run.
    static int side = 0;
    if (!side) side = Draw_Current()->MaxTextureSide();
    return side > 0 && side < TEX_MAX_SIDE ? side : TEX_MAX_SIDE;
}

// Runs one decoder and, on success, hands its pixels to the record and uploads.
static int DecodeAndUpload(ZELKOR_Texture* texture, MemFile* file, int useMipmaps,
                           TexDecoder decode, const char** why = nullptr) {
    TexImage image;
    image.maxSide = TextureMaxSide();
    image.width = texture->width;
    image.height = texture->height;
    int ok = decode(file, &image);
    texture->width = image.width;
    texture->height = image.height;
    if (why) *why = image.error;
    if (!ok) return 0;
    free(texture->pixels);
    texture->pixels = image.pixels;
    UploadTexture(texture, image, useMipmaps, 0);
    return 1;
}

int LoadBMP(ZELKOR_Texture* texture, MemFile* file, int useMipmaps) {
    return DecodeAndUpload(texture, file, useMipmaps, DecodeBMP);
}

int LoadTGA(ZELKOR_Texture* texture, MemFile* file, int useMipmaps) {
    return DecodeAndUpload(texture, file, useMipmaps, DecodeTGA);
}

int LoadRGS(ZELKOR_Texture* texture, MemFile* file, int useMipmaps) {
    return DecodeAndUpload(texture, file, useMipmaps, DecodeRGS);
}

int ZELKOR_Texture::LoadTexture(const char* path, uint32_t newTag, int useMipmaps,
                                const char** why) {
    const char* problem = nullptr;
    if (!why) why = &problem;
    *why = nullptr;
    tag = newTag;
    NoteTextureLoad(this, path, useMipmaps);
    // Regular files only, checked without blocking: a FIFO or device in place
    // of a picture fails like a missing file instead of hanging the start-up.
    std::vector<uint8_t> data;
    if (!IO_ReadFile(path, TexFileLimit(path), IO_REGULAR_ONLY, &data, why)) return 0;
    TexDecoder decode = DecoderForPath(path);
    if (!decode) {
        *why = TexExtensionProblem(path);
        return 0;
    }
    MemFile* file = MemFile_Open(data.data(), (uint32_t)data.size(), 0);
    if (!file) {
        *why = "out of memory";
        return 0;
    }
    int result = DecodeAndUpload(this, file, useMipmaps, decode, why);
    MemFile_Close(file);
    return result;
}

void ZELKOR_Texture::BindTexture(const Draw* draw) {
    const Draw* d = draw ? draw : Draw_Current();
    d->Enable(DRAW_TEXTURE_2D);
    d->BindTexture(glName);
}
