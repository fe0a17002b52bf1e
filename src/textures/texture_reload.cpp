#include "textures/texture_reload.h"

#include "archive/memfile.h"
#include "io/read_file.h"
#include "rgs/rgs.h"
#include "rgs/rgs_job.h"
#include "rgs/rgs_text.h"
#include "textures/image_decode.h"
#include "textures/texture.h"
#include "textures_state.h"

#include <cstdlib>
#include <cstring>
#include <vector>

namespace {

// Decodes the file as the texture manager would; warnings count as failures.
ZK_Status Decode(const std::string& path, TexDecoder decode, TexImage* image) {
    std::vector<uint8_t> data;
    ZK_Status read = IO_ReadFile(path.c_str(), TexFileLimit(path.c_str()), IO_REGULAR_ONLY, &data);
    if (!read.ok) return read;
    MemFile* file = MemFile_Open(data.data(), (uint32_t)data.size(), 0);
    if (!file) return ZK_FailIn(path, "out of memory");
    image->maxSide = TextureMaxSide();
    int ok = decode(file, image);
    MemFile_Close(file);
    if (ok && !image->warning) return ZK_Ok();
    free(image->pixels);
    image->pixels = nullptr;
    if (ok) return ZK_FailIn(path, image->warning);
    return ZK_StatusIn(image->status.ok ? ZK_Fail("cannot be decoded") : image->status, path);
}

// Hands the record its own copy of the pixels and refills its texture object.
int Install(const TextureLoadNote& note, const TexImage& image) {
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

int ReloadPicture(const char* path, TexDecoder decode, ZK_Status* status) {
    TexImage image;
    if (!ZK_Report(status, Decode(path, decode, &image))) return -1;
    int count = 0;
    for (const TextureLoadNote& note : g_textures.notes)
        if (note.path == path) count += Install(note, image);
    free(image.pixels);
    return count;
}

// Every script loaded, in load order, read afresh; one that cannot be read
// keeps its picture, as at start-up.
int StartScripts(const std::string& path) {
    std::vector<std::vector<uint8_t>> scripts;
    g_textures.jobNotes.clear();
    for (size_t i = 0; i < g_textures.notes.size(); i++) {
        if (DecoderForPath(g_textures.notes[i].path.c_str()) != DecodeRGS) continue;
        std::vector<uint8_t> bytes;
        if (!IO_ReadFile(g_textures.notes[i].path.c_str(), RGS_MAX_FILE_BYTES, IO_REGULAR_ONLY,
                         &bytes)
                 .ok)
            continue;
        scripts.push_back(std::move(bytes));
        g_textures.jobNotes.push_back(i);
    }
    g_textures.job = RGS_JobStart(std::move(scripts));
    g_textures.jobPath = path;
    return g_textures.job != nullptr;
}

int ReloadScripts(const char* path, ZK_Status* status) {
    // A script that would be rejected, or that is cut short, changes nothing,
    // so is refused before any other script runs again.
    std::vector<uint8_t> changed;
    ZK_Status read = IO_ReadFile(path, RGS_MAX_FILE_BYTES, IO_REGULAR_ONLY, &changed);
    if (read.ok) read = ZK_StatusIn(RGS_CutShort(changed.data(), (uint32_t)changed.size()), path);
    if (!ZK_Report(status, read)) return -1;
    if (g_textures.job) {
        RGS_JobCancel(g_textures.job);
        g_textures.waitingPath = path;
        return TEXTURES_RELOAD_RUNNING;
    }
    if (StartScripts(path)) return TEXTURES_RELOAD_RUNNING;
    return ZK_Report(status, ZK_FailIn(path, "cannot start a thread to run the scripts")), -1;
}

} // namespace

void Textures_TrackLoads(int on) {
    g_textures.tracking = on;
}

void NoteTextureLoad(ZELKOR_Texture* texture, const char* path, int useMipmaps) {
    if (g_textures.tracking && path)
        g_textures.notes.push_back(TextureLoadNote{texture, path, useMipmaps});
}

int Textures_Reload(const char* path, ZK_Status* status) {
    int used = 0;
    for (const TextureLoadNote& note : g_textures.notes) used |= note.path == path;
    if (!used) return 0;
    TexDecoder decode = DecoderForPath(path);
    if (!decode) return 0;
    if (decode == DecodeRGS) return ReloadScripts(path, status);
    return ReloadPicture(path, decode, status);
}

int Textures_Reloaded(std::string* path, double* ms) {
    if (!g_textures.job || !RGS_JobDone(g_textures.job)) return 0;
    const RGS_JobResult& result = RGS_JobGetResult(g_textures.job);
    int finished = !result.cancelled;
    for (size_t k = 0; finished && k < result.layer0.size(); k++) {
        TexImage image;
        image.width = image.height = RGS_SIZE;
        image.byteCount = LAYER_SIZE;
        image.pixels = (uint8_t*)result.layer0[k].data();
        Install(g_textures.notes[g_textures.jobNotes[k]], image);
    }
    *path = g_textures.jobPath;
    *ms = result.ms;
    RGS_JobFree(g_textures.job);
    g_textures.job = nullptr;
    if (!g_textures.waitingPath.empty()) {
        std::string next;
        next.swap(g_textures.waitingPath);
        StartScripts(next);
    }
    return finished;
}

void Textures_StopReloads() {
    RGS_JobFree(g_textures.job);
    g_textures.job = nullptr;
    g_textures.waitingPath.clear();
}
