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
    ZK_Status error; // of the last call that failed
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
static ZK_Status CreateTemp(ZK_Video* v) {
    int fd = IO_CreateTempFor(v->path.c_str(), &v->target, &v->temp);
    if (fd >= 0) return close(fd), ZK_Ok();
    return ZK_FailIn(v->path,
                     "cannot create a file in " + Folder(v->target) + ": " + strerror(errno));
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

        ZK_Status why;
        int ok = 1;
        if (!skip && !audio.empty())
            ok = VideoMux_Audio(v->mux, audio.data(), (int)(audio.size() / v->audioChannels), &why);
        if (ok && !skip && slot >= 0) ok = VideoMux_Frame(v->mux, v->slots[slot], &why);

        hold.lock();
        if (!ok && !v->failed) {
            v->failed = 1;
            v->error = ZK_StatusIn(why, v->path);
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
static int StartEncoding(ZK_Video* v, const ZK_VideoSettings* s, ZK_Status* why) {
    sigset_t all, old;
    sigfillset(&all);
    pthread_sigmask(SIG_SETMASK, &all, &old);
    v->mux = VideoMux_Open(s, v->temp.c_str(), why);
    if (v->mux) {
        try {
            v->worker = std::thread(Work, v);
        } catch (...) {
            *why = ZK_Fail("cannot start the encoding thread");
        }
    }
    pthread_sigmask(SIG_SETMASK, &old, nullptr);
    return v->worker.joinable();
}

ZK_Status ZK_VideoCheck(const ZK_VideoSettings* s) {
    ZK_Status why;
    if (VideoMux_Check(s, &why)) return ZK_Ok();
    return ZK_FailIn(s->path ? s->path : "", why.problem);
}

void ZK_VideoBufferSize(const ZK_VideoSettings* s, int* width, int* height) {
    const int picture = s->pictureWidth > 0;
    *width = picture ? s->pictureWidth : s->width;
    *height = picture ? s->pictureHeight : s->height;
}

int ZK_VideoRowBytes(const ZK_VideoSettings* s) {
    int width = 0, height = 0;
    ZK_VideoBufferSize(s, &width, &height);
    return width * (s->pixelFormat == ZK_VIDEO_RGB ? 3 : 4);
}

ZK_Video* ZK_VideoOpen(const ZK_VideoSettings* s, ZK_Status* status) {
    std::string path = s->path ? s->path : "";
    ZK_Status checked = ZK_VideoCheck(s);
    if (!checked.ok) return ZK_Report(status, checked), nullptr;
    if (IsSpecial(s->path))
        return ZK_Report(status, ZK_FailIn(path, "exists and is not a regular file")), nullptr;
    ZK_Video* v = new (std::nothrow) ZK_Video;
    if (!v) return ZK_Report(status, ZK_FailIn(path, "out of memory")), nullptr;
    v->path = path;
    int width = 0;
    ZK_VideoBufferSize(s, &width, &v->height);
    v->rowBytes = (size_t)ZK_VideoRowBytes(s);
    v->frameBytes = v->rowBytes * (size_t)v->height;
    v->audioChannels = s->audio ? s->audioChannels : 0;
    ZK_Status made = CreateTemp(v);
    for (uint8_t*& slot : v->slots) {
        slot = made.ok ? (uint8_t*)malloc(v->frameBytes) : nullptr;
        if (made.ok && !slot) made = ZK_FailIn(path, "out of memory for the frame queue");
    }
    ZK_Status why;
    if (made.ok && !StartEncoding(v, s, &why)) made = ZK_FailIn(path, why.problem);
    if (made.ok) return v;
    Free(v);
    return ZK_Report(status, made), nullptr;
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
            v->error = ZK_FailIn(v->path, "a frame was submitted without being acquired");
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
            v->error = ZK_FailIn(v->path, "the video was opened without audio");
            return 0;
        }
        if (frames <= 0) return 1;
        v->pcm.insert(v->pcm.end(), samples, samples + (size_t)frames * v->audioChannels);
    }
    v->work.notify_one();
    return 1;
}

const ZK_Status& ZK_VideoError(const ZK_Video* v) {
    return v->error;
}

ZK_Status ZK_VideoFinish(ZK_Video* v) {
    StopWorker(v, 0);
    ZK_Status why, done;
    if (v->failed)
        done = v->error;
    else if (v->submitted == 0)
        done = ZK_FailIn(v->path, "no frames to write");
    else if (!VideoMux_Finish(v->mux, &why))
        done = ZK_FailIn(v->path, why.problem);
    else if (IsSpecial(v->path.c_str()))
        done = ZK_FailIn(v->path, "exists and is not a regular file");
    else if (rename(v->temp.c_str(), v->target.c_str()) != 0)
        done = ZK_FailIn(v->path, strerror(errno));
    else
        IO_DropTemp(&v->temp, 0);
    Free(v);
    return done;
}

void ZK_VideoAbort(ZK_Video* v) {
    if (v) Free(v);
}
