#include "textures/texture.h"

#include "archive/memfile.h"
#include "io/read_file.h"
#include "platform/draw.h"
#include "textures/image_decode.h"
#include "textures/texture_reload.h"
#include "textures_state.h"

#include <climits>
#include <cstdlib>
#include <string>
#include <vector>

TexturesState g_textures;

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

// Runs one decoder and, on success, hands its pixels to the record and
// uploads; the decoder's failure, or its warning, is left in *image.
static int DecodeAndUpload(ZELKOR_Texture* texture, MemFile* file, int useMipmaps,
                           TexDecoder decode, TexImage* image) {
    image->maxSide = TextureMaxSide();
    image->width = texture->width;
    image->height = texture->height;
    int ok = decode(file, image);
    texture->width = image->width;
    texture->height = image->height;
    if (!ok) return 0;
    free(texture->pixels);
    texture->pixels = image->pixels;
    UploadTexture(texture, *image, useMipmaps, 0);
    return 1;
}

static int DecodeAndUpload(ZELKOR_Texture* texture, MemFile* file, int useMipmaps,
                           TexDecoder decode) {
    TexImage image;
    return DecodeAndUpload(texture, file, useMipmaps, decode, &image);
}

// A load that fails reads, finds or decodes nothing; `warning` gets what a
// picture taken lacks.
static ZK_Status Load(ZELKOR_Texture* texture, const char* path, int useMipmaps,
                      const char** warning) {
    // Regular files only, checked without blocking: a FIFO or device in place
    // of a picture fails like a missing file instead of hanging the start-up.
    std::vector<uint8_t> data;
    ZK_Status read = IO_ReadFile(path, TexFileLimit(path), IO_REGULAR_ONLY, &data);
    if (!read.ok) return read;
    TexDecoder decode = DecoderForPath(path);
    if (!decode) return ZK_FailIn(path, TexExtensionProblem(path));
    MemFile* file = MemFile_Open(data.data(), (uint32_t)data.size(), 0);
    if (!file) return ZK_FailIn(path, "out of memory");
    TexImage image;
    int ok = DecodeAndUpload(texture, file, useMipmaps, decode, &image);
    MemFile_Close(file);
    *warning = image.warning;
    return ok ? ZK_Ok() : ZK_StatusIn(image.status, path);
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
    tag = newTag;
    NoteTextureLoad(this, path, useMipmaps);
    const char* warning = nullptr;
    ZK_Status loaded = Load(this, path, useMipmaps, &warning);
    if (!why) return loaded.ok;
    if (loaded.ok) {
        *why = warning;
    } else {
        g_textures.loadProblem = loaded.problem;
        *why = g_textures.loadProblem.c_str();
    }
    return loaded.ok;
}

void ZELKOR_Texture::BindTexture(const Draw* draw) {
    const Draw* d = draw ? draw : Draw_Current();
    d->Enable(DRAW_TEXTURE_2D);
    d->BindTexture(glName);
}
