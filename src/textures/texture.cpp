#include "textures/texture.h"

#include "archive/memfile.h"
#include "io/read_file.h"
#include "textures/image_decode.h"
#include "textures/texture_reload.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <cstdlib>
#include <vector>

// Creates the texture object from the decoded image, or with `reuse` fills
// the record's existing one, so whatever holds its name sees the new picture.
// The unpack alignment is set to the decoder's row layout for this one upload
// and restored after, so packed TGA rows of any width are read neither skewed
// nor past the buffer.
void UploadTexture(ZELKOR_Texture* texture, const TexImage& image, int useMipmaps, int reuse) {
    GLenum format = image.channels == 4 ? GL_RGBA : GL_RGB;
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, image.rowAlignment);
    GLuint name = reuse ? texture->glName : 0;
    if (!name) glGenTextures(1, &name);
    texture->glName = name;
    glBindTexture(GL_TEXTURE_2D, name);
    if (useMipmaps) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        gluBuild2DMipmaps(GL_TEXTURE_2D, format, image.width, image.height, format,
                          GL_UNSIGNED_BYTE, image.pixels);
    } else {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, format, image.width, image.height, 0, format,
                     GL_UNSIGNED_BYTE, image.pixels);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
}

int TextureMaxSide() {
    // Asked once: the implementation's limit does not change while we run.
    static GLint side = 0;
    if (!side) glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side > 0 && side < TEX_MAX_SIDE ? side : TEX_MAX_SIDE;
}

// Runs one decoder and, on success, hands its pixels to the record and uploads.
static int DecodeAndUpload(ZELKOR_Texture* texture, MemFile* file, int useMipmaps,
                           TexDecoder decode) {
    TexImage image;
    image.maxSide = TextureMaxSide();
    image.width = texture->width;
    image.height = texture->height;
    int ok = decode(file, &image);
    texture->width = image.width;
    texture->height = image.height;
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

int ZELKOR_Texture::LoadTexture(const char* path, uint32_t newTag, int useMipmaps) {
    tag = newTag;
    NoteTextureLoad(this, path, useMipmaps);
    // Regular files only, checked without blocking: a FIFO or device in place
    // of a picture fails like a missing file instead of hanging the start-up.
    std::vector<uint8_t> data;
    if (!IO_ReadFile(path, TexFileLimit(path), IO_REGULAR_ONLY, &data, nullptr)) return 0;
    MemFile* file = MemFile_Open(data.data(), (uint32_t)data.size(), 0);
    TexDecoder decode = DecoderForPath(path);
    int result = file && decode ? DecodeAndUpload(this, file, useMipmaps, decode) : 0;
    MemFile_Close(file);
    return result;
}

void ZELKOR_Texture::BindTexture() {
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, glName);
}
