// The caller's side of ZK_Video: the temporary file, the ring of frame buffers
// and the worker thread that empties it into the mux.
#include "video/video.h"
#include "io/write_file.h"
#include "video/video_mux.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <new>
#include <thread>
#include <vector>

struct ZK_Video {
    std::string path, temp; // as given (for messages), and the file written
    std::string target;     // what the finished file replaces (a link's target)
    VideoMux* mux = nullptr;
    size_t rowBytes = 0, frameBytes = 0;
    int height = 0, audioChannels = 0;
    uint8_t* slots[ZK_VIDEO_QUEUE] = {};
    int64_t submitted = 0;
    int acquired = 0; // the caller holds slot (first + queued) % ZK_VIDEO_QUEUE

    // Shared with the worker, under `lock`.
    std::mutex lock;
    std::condition_variable work, space;
    int first = 0, queued = 0; // slots submitted and not yet encoded, oldest first
    std::vector<int16_t> pcm;  // audio not yet taken by the worker
    int stopping = 0, discard = 0, failed = 0;
    std::string error;
    std::thread worker;
};

static std::string Folder(const std::string& path) {
    size_t slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Renaming over a device, a pipe or a folder (or a link to one) would
// replace it with our file.
static int IsSpecial(const char* path) {
    struct stat st;
    return stat(path, &st) == 0 && !S_ISREG(st.st_mode);
}

// A fresh file beside the target, as every safe write makes one, so the
// final rename stays on one file system and the old file keeps its mode.
static int CreateTemp(ZK_Video* v, std::string* error) {
    int fd = IO_CreateTempFor(v->path.c_str(), &v->target, &v->temp);
    if (fd >= 0) return close(fd), 1;
    *error = v->path + ": cannot create a file in " + Folder(v->target) + ": " + strerror(errno);
    return 0;
}

static void Work(ZK_Video* v) {
    std::vector<int16_t> audio;
    std::unique_lock<std::mutex> hold(v->lock);
    for (;;) {
        v->work.wait(hold, [v] { return v->queued > 0 || !v->pcm.empty() || v->stopping; });
        if (v->queued == 0 && v->pcm.empty()) return;
        audio.clear();
        audio.swap(v->pcm);
        int slot = v->queued > 0 ? v->first : -1;
        // After a failure (or an abort) the rest is only drained, so the caller never
        // waits for a slot that would not come free.
        int skip = v->failed || v->discard;
        hold.unlock();

        std::string why;
        int ok = 1;
        if (!skip && !audio.empty())
            ok = VideoMux_Audio(v->mux, audio.data(), (int)(audio.size() / v->audioChannels), &why);
        if (ok && !skip && slot >= 0) ok = VideoMux_Frame(v->mux, v->slots[slot], &why);

        hold.lock();
        if (!ok && !v->failed) {
            v->failed = 1;
            v->error = v->path + ": " + why;
        }
        if (slot >= 0) {
            v->first = (v->first + 1) % ZK_VIDEO_QUEUE;
            v->queued--;
            v->space.notify_one();
        }
    }
}

// Stops the worker after it has emptied the queue (dropping it with `discard`).
static void StopWorker(ZK_Video* v, int discard) {
    if (!v->worker.joinable()) return;
    {
        std::lock_guard<std::mutex> hold(v->lock);
        v->stopping = 1;
        v->discard = discard;
    }
    v->work.notify_one();
    v->worker.join();
}

static void Free(ZK_Video* v) {
    StopWorker(v, 1);
    VideoMux_Close(v->mux);
    IO_DropTemp(&v->temp, 1);
    for (uint8_t* slot : v->slots) free(slot);
    delete v;
}

// Opens the encoders and starts the worker with every signal blocked, so the
// threads they make inherit that and Ctrl-C stays with the caller's thread.
static int StartEncoding(ZK_Video* v, const ZK_VideoSettings* s, std::string* why) {
    sigset_t all, old;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &old);
    v->mux = VideoMux_Open(s, v->temp.c_str(), why);
    if (v->mux) {
        try {
            v->worker = std::thread(Work, v);
        } catch (...) {
            *why = "cannot start the encoding thread";
        }
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return v->worker.joinable();
}

int ZK_VideoCheck(const ZK_VideoSettings* s, std::string* error) {
    std::string why;
    if (VideoMux_Check(s, &why)) return 1;
    *error = std::string(s->path ? s->path : "") + ": " + why;
    return 0;
}

ZK_Video* ZK_VideoOpen(const ZK_VideoSettings* s, std::string* error) {
    std::string path = s->path ? s->path : "";
    if (!ZK_VideoCheck(s, error)) return nullptr;
    std::string why;
    if (IsSpecial(s->path)) {
        *error = path + ": exists and is not a regular file";
        return nullptr;
    }
    ZK_Video* v = new (std::nothrow) ZK_Video;
    if (!v) {
        *error = path + ": out of memory";
        return nullptr;
    }
    v->path = path;
    v->rowBytes = (size_t)s->width * (s->pixelFormat == ZK_VIDEO_RGB ? 3 : 4);
    v->frameBytes = v->rowBytes * (size_t)s->height;
    v->height = s->height;
    v->audioChannels = s->audio ? s->audioChannels : 0;
    if (!CreateTemp(v, error)) {
        Free(v);
        return nullptr;
    }
    for (uint8_t*& slot : v->slots) {
        slot = (uint8_t*)malloc(v->frameBytes);
        if (!slot) {
            *error = path + ": out of memory for the frame queue";
            Free(v);
            return nullptr;
        }
    }
    if (!StartEncoding(v, s, &why)) {
        *error = path + ": " + why;
        Free(v);
        return nullptr;
    }
    return v;
}

uint8_t* ZK_VideoAcquireFrame(ZK_Video* v) {
    std::unique_lock<std::mutex> hold(v->lock);
    v->space.wait(hold, [v] { return v->queued < ZK_VIDEO_QUEUE || v->failed; });
    if (v->failed) return nullptr;
    v->acquired = 1;
    return v->slots[(v->first + v->queued) % ZK_VIDEO_QUEUE];
}

int ZK_VideoSubmitFrame(ZK_Video* v) {
    {
        std::lock_guard<std::mutex> hold(v->lock);
        if (v->failed) return 0;
        if (!v->acquired) {
            v->error = v->path + ": a frame was submitted without being acquired";
            return 0;
        }
        v->acquired = 0;
        v->queued++;
    }
    v->submitted++;
    v->work.notify_one();
    return 1;
}

int ZK_VideoPushFrame(ZK_Video* v, const uint8_t* pixels, int stride) {
    uint8_t* slot = ZK_VideoAcquireFrame(v);
    if (!slot) return 0;
    for (int y = 0; y < v->height; y++)
        memcpy(slot + y * v->rowBytes, pixels + (ptrdiff_t)y * stride, v->rowBytes);
    return ZK_VideoSubmitFrame(v);
}

int ZK_VideoPushAudio(ZK_Video* v, const int16_t* samples, int frames) {
    {
        std::lock_guard<std::mutex> hold(v->lock);
        if (v->failed) return 0;
        if (!v->audioChannels) {
            v->error = v->path + ": the video was opened without audio";
            return 0;
        }
        if (frames <= 0) return 1;
        v->pcm.insert(v->pcm.end(), samples, samples + (size_t)frames * v->audioChannels);
    }
    v->work.notify_one();
    return 1;
}

const char* ZK_VideoError(const ZK_Video* v) {
    return v->error.c_str();
}

int ZK_VideoFinish(ZK_Video* v, std::string* error) {
    StopWorker(v, 0);
    std::string why;
    int ok = 0;
    if (v->failed)
        *error = v->error;
    else if (v->submitted == 0)
        *error = v->path + ": no frames to write";
    else if (!VideoMux_Finish(v->mux, &why))
        *error = v->path + ": " + why;
    else if (IsSpecial(v->path.c_str()))
        *error = v->path + ": exists and is not a regular file";
    else if (rename(v->temp.c_str(), v->target.c_str()) != 0)
        *error = v->path + ": " + strerror(errno);
    else
        ok = 1, IO_DropTemp(&v->temp, 0);
    Free(v);
    return ok;
}

void ZK_VideoAbort(ZK_Video* v) {
    if (v) Free(v);
}
