#include "capture_video.h"

#include "io/read_file.h"
#include "music/mp3_stream.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

enum { CHUNK = 4096 }; // sample frames decoded at a time

struct CaptureVideo {
    ZK_Video* video = nullptr;
    uint64_t from = 0, fps = 0;
    int rowBytes = 0;
    int audio = 0;
    uint8_t* acquired = nullptr; // the encoder's buffer handed out, not yet submitted
    Mp3Stream* sound = nullptr;  // null with audio: the track has ended, silence follows
    uint64_t next = 0, end = 0;  // the next sample to push and the first not to
    std::vector<int16_t> pcm;
};

// The first sample at or after T_k, ceil(T_k x 44.1), in integers.
static uint64_t SampleAt(const CaptureVideo* c, uint64_t k) {
    uint64_t num = (c->from * c->fps + k * 1000) * (MP3_OUTPUT_RATE / 100);
    uint64_t den = 10 * c->fps;
    return (num + den - 1) / den;
}

// `frames` sample frames into c->pcm, silence past the track's end.
static void ReadSound(CaptureVideo* c, int frames) {
    int got = 0;
    if (c->sound) {
        got = Mp3Stream_Read(c->sound, c->pcm.data(), frames);
        if (got < frames) {
            Mp3Stream_Close(c->sound);
            c->sound = nullptr;
        }
    }
    std::fill(c->pcm.begin() + (size_t)got * MP3_OUTPUT_CHANNELS,
              c->pcm.begin() + (size_t)frames * MP3_OUTPUT_CHANNELS, (int16_t)0);
}

static Mp3Stream* OpenSound(const char* path, ZK_Status* problem) {
    // The show takes anything but a regular file for a missing one; so do we,
    // which also keeps a FIFO from blocking the decoder's open.
    int fd = IO_OpenRead(path, IO_REGULAR_ONLY, problem);
    if (fd < 0) return nullptr;
    close(fd);
    Mp3Stream* sound = Mp3Stream_Open(path);
    if (!sound) *problem = ZK_FailIn(path, "no MPEG audio in it");
    return sound;
}

CaptureVideo* CaptureVideo_Open(ZK_VideoSettings* settings, const CaptureSchedule* schedule,
                                const char* soundPath, ZK_Status* soundProblem, ZK_Status* status) {
    CaptureVideo* c = new CaptureVideo;
    c->from = schedule->from;
    c->fps = (uint64_t)schedule->fps;
    c->rowBytes = ZK_VideoRowBytes(settings);
    if (soundPath) c->sound = OpenSound(soundPath, soundProblem);
    c->audio = c->sound != nullptr;
    settings->fps = schedule->fps;
    settings->audio = c->audio;
    settings->audioRate = MP3_OUTPUT_RATE;
    settings->audioChannels = MP3_OUTPUT_CHANNELS;
    c->video = ZK_VideoOpen(settings, status);
    if (!c->video) {
        CaptureVideo_Abort(c);
        return nullptr;
    }
    c->pcm.resize((size_t)CHUNK * MP3_OUTPUT_CHANNELS);
    c->next = SampleAt(c, 0);
    c->end = ((uint64_t)schedule->to * (MP3_OUTPUT_RATE / 100) + 9) / 10;
    // Decoding from the start is the one sample-exact way to the first sample.
    for (uint64_t skipped = 0; c->sound && skipped < c->next; skipped += CHUNK)
        ReadSound(c, (int)std::min<uint64_t>(CHUNK, c->next - skipped));
    return c;
}

uint8_t* CaptureVideo_Buffer(void* user) {
    CaptureVideo* c = (CaptureVideo*)user;
    c->acquired = ZK_VideoAcquireFrame(c->video);
    if (!c->acquired)
        fprintf(stderr, "zelkor capture: %s\n", ZK_StatusText(ZK_VideoError(c->video)).c_str());
    return c->acquired;
}

int CaptureVideo_Frame(void* user, uint64_t k, uint32_t, const uint8_t* pixels) {
    CaptureVideo* c = (CaptureVideo*)user;
    // The same picture again for the next frame is copied from the buffer
    // just submitted: the encoder only reads it, and it is not handed out
    // again before the queue has gone round.
    int ok;
    if (pixels == c->acquired) {
        c->acquired = nullptr;
        ok = ZK_VideoSubmitFrame(c->video);
    } else {
        ok = ZK_VideoPushFrame(c->video, pixels, c->rowBytes);
    }
    for (uint64_t until = std::min(SampleAt(c, k + 1), c->end);
         ok && c->audio && c->next < until;) {
        int n = (int)std::min<uint64_t>(CHUNK, until - c->next);
        ReadSound(c, n);
        ok = ZK_VideoPushAudio(c->video, c->pcm.data(), n);
        c->next += (uint64_t)n;
    }
    if (!ok)
        fprintf(stderr, "zelkor capture: %s\n", ZK_StatusText(ZK_VideoError(c->video)).c_str());
    return ok;
}

ZK_Status CaptureVideo_Finish(CaptureVideo* c) {
    ZK_Status finished = ZK_VideoFinish(c->video);
    c->video = nullptr;
    CaptureVideo_Abort(c);
    return finished;
}

void CaptureVideo_Abort(CaptureVideo* c) {
    if (!c) return;
    ZK_VideoAbort(c->video);
    Mp3Stream_Close(c->sound);
    delete c;
}
