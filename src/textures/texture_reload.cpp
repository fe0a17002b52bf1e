#include "textures/texture_reload.h"

#include "archive/memfile.h"
#include "io/read_file.h"
#include "rgs/rgs.h"
#include "rgs/rgs_job.h"
#include "rgs/rgs_text.h"
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

// The run of scripts going on, the notes its scripts belong to (in order),
// the save that started it, and a newer save waiting for it to stop.
RGS_Job* job = nullptr;
std::vector<size_t> jobNotes;
std::string jobPath, waitingPath;

// Every script loaded, in load order, read afresh; one that cannot be read
// keeps its picture, as at start-up.
int StartScripts(const std::string& path) {
    std::vector<std::vector<uint8_t>> scripts;
    jobNotes.clear();
    for (size_t i = 0; i < notes.size(); i++) {
        if (DecoderForPath(notes[i].path.c_str()) != DecodeRGS) continue;
        std::vector<uint8_t> bytes;
        if (!IO_ReadFile(notes[i].path.c_str(), RGS_MAX_FILE_BYTES, IO_REGULAR_ONLY, &bytes,
                         nullptr))
            continue;
        scripts.push_back(std::move(bytes));
        jobNotes.push_back(i);
    }
    job = RGS_JobStart(std::move(scripts));
    jobPath = path;
    return job != nullptr;
}

int ReloadScripts(const char* path, std::string* why) {
    // A script that would be rejected, or that is cut short, changes nothing,
    // so is refused before any other script runs again.
    std::vector<uint8_t> changed;
    const char* reason = nullptr;
    if (!IO_ReadFile(path, RGS_MAX_FILE_BYTES, IO_REGULAR_ONLY, &changed, &reason)) {
        *why = reason;
        return -1;
    }
    *why = RGS_CutShort(changed.data(), (uint32_t)changed.size());
    if (!why->empty()) return -1;
    if (job) {
        RGS_JobCancel(job);
        waitingPath = path;
        return TEXTURES_RELOAD_RUNNING;
    }
    if (StartScripts(path)) return TEXTURES_RELOAD_RUNNING;
    *why = "cannot start a thread to run the scripts";
    return -1;
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

int Textures_Reloaded(std::string* path, double* ms) {
    if (!job || !RGS_JobDone(job)) return 0;
    const RGS_JobResult& result = RGS_JobGetResult(job);
    int finished = !result.cancelled;
    for (size_t k = 0; finished && k < result.layer0.size(); k++) {
        TexImage image;
        image.width = image.height = RGS_SIZE;
        image.byteCount = LAYER_SIZE;
        image.pixels = (uint8_t*)result.layer0[k].data();
        Install(notes[jobNotes[k]], image);
    }
    *path = jobPath;
    *ms = result.ms;
    RGS_JobFree(job);
    job = nullptr;
    if (!waitingPath.empty()) {
        std::string next;
        next.swap(waitingPath);
        StartScripts(next);
    }
    return finished;
}

void Textures_StopReloads() {
    RGS_JobFree(job);
    job = nullptr;
    waitingPath.clear();
}
