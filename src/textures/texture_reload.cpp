#include "textures/texture_reload.h"

#include "archive/memfile.h"
#include "io/read_file.h"
#include "rgs/rgs.h"
#include "textures/image_decode.h"
#include "textures/texture.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

struct LoadNote {
    ZELKOR_Texture* texture;
    std::string path;
    int useMipmaps;
};

// In load order; records live until the process ends, so the pointers stay good.
std::vector<LoadNote> notes;
int tracking = 0;

// Decodes the file as the texture manager would; warnings count as failures.
int Decode(const std::string& path, TexDecoder decode, TexImage* image, std::string* why) {
    std::vector<uint8_t> data;
    const char* reason = nullptr;
    if (!IO_ReadFile(path.c_str(), TexFileLimit(path.c_str()), IO_REGULAR_ONLY, &data, &reason)) {
        *why = reason;
        return 0;
    }
    MemFile* file = MemFile_Open(data.data(), (uint32_t)data.size(), 0);
    if (!file) {
        *why = "out of memory";
        return 0;
    }
    image->maxSide = TextureMaxSide();
    int ok = decode(file, image);
    MemFile_Close(file);
    if (ok && !image->error) return 1;
    free(image->pixels);
    image->pixels = nullptr;
    *why = image->error ? image->error : "cannot be decoded";
    return 0;
}

// Hands the record its own copy of the pixels and refills its texture object.
int Install(const LoadNote& note, const TexImage& image) {
    uint8_t* pixels = (uint8_t*)malloc(image.byteCount ? image.byteCount : 1);
    if (!pixels) return 0;
    memcpy(pixels, image.pixels, image.byteCount);
    free(note.texture->pixels);
    note.texture->pixels = pixels;
    note.texture->width = image.width;
    note.texture->height = image.height;
    UploadTexture(note.texture, image, note.useMipmaps, 1);
    return 1;
}

int ReloadPicture(const char* path, TexDecoder decode, std::string* why) {
    TexImage image;
    if (!Decode(path, decode, &image, why)) return -1;
    int count = 0;
    for (const LoadNote& note : notes)
        if (note.path == path) count += Install(note, image);
    free(image.pixels);
    return count;
}

int ReloadScripts(const char* path, std::string* why) {
    // A script that would be rejected changes nothing, so is refused before
    // any other script runs again.
    std::vector<uint8_t> changed;
    const char* reason = nullptr;
    if (!IO_ReadFile(path, RGS_MAX_FILE_BYTES, IO_REGULAR_ONLY, &changed, &reason)) {
        *why = reason;
        return -1;
    }
    if (changed.size() < 3 || memcmp(changed.data(), "RGS", 3) != 0) {
        *why = "not an RGS script (no \"RGS\")";
        return -1;
    }
    memset(RGS_Layers, 0, sizeof RGS_Layers);
    RGS_Random = 0;
    int count = 0;
    for (const LoadNote& note : notes) {
        if (DecoderForPath(note.path.c_str()) != DecodeRGS) continue;
        TexImage image;
        std::string ignored;
        // Another script gone bad since start-up keeps its picture, as here.
        if (!Decode(note.path, DecodeRGS, &image, &ignored)) continue;
        if (Install(note, image) && note.path == path) count++;
        free(image.pixels);
    }
    return count;
}

} // namespace

void Textures_TrackLoads(int on) {
    tracking = on;
}

void NoteTextureLoad(ZELKOR_Texture* texture, const char* path, int useMipmaps) {
    if (tracking && path) notes.push_back(LoadNote{texture, path, useMipmaps});
}

int Textures_Reload(const char* path, std::string* why) {
    int used = 0;
    for (const LoadNote& note : notes) used |= note.path == path;
    if (!used) return 0;
    TexDecoder decode = DecoderForPath(path);
    if (!decode) return 0;
    if (decode == DecodeRGS) return ReloadScripts(path, why);
    return ReloadPicture(path, decode, why);
}
