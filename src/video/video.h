// ZK_Video: writes frames and PCM to a video file (.mp4/.mkv: H.264 and AAC,
// .webm: VP9 and Opus) through FFmpeg's libraries. Colour conversion, encoding
// and muxing run on a worker thread behind a queue of 8 frame buffers, so the
// caller only blocks when it is 8 frames ahead. The file is written under a
// temporary name beside the target and renamed by ZK_VideoFinish, as every
// safe write is (io/write_file.h): a replaced file keeps its mode, a symbolic
// link stays and its target is replaced, and SIGTERM or SIGHUP leaves no
// temporary file behind.
// All calls on one ZK_Video come from one thread.
#pragma once
#include "core/status.h"

#include <cstdint>
#include <string>

enum { ZK_VIDEO_RGB, ZK_VIDEO_RGBA, ZK_VIDEO_BGRA }; // byte order of a pixel; alpha is ignored
enum { ZK_VIDEO_MAX_FPS = 240, ZK_VIDEO_MAX_SIDE = 8192, ZK_VIDEO_QUEUE = 8 };

struct ZK_VideoSettings {
    const char* path = nullptr;      // the container follows the extension
    int width = 0, height = 0;       // both even
    int fps = 60;                    // 1-240; frame k is at k / fps seconds
    int crf = 18;                    // 0-51 for H.264, 0-63 for VP9
    const char* preset = "realtime"; // or x264's names; VP9 maps them onto its speed
    int pixelFormat = ZK_VIDEO_RGB;
    int bottomUp = 0; // rows arrive bottom row first, as glReadPixels leaves them
    // Frames that hold only a picture between black bars: the buffers are
    // pictureWidth x pictureHeight (all four even), placed pictureX pixels
    // from the left and pictureY rows from the frame's first row as rows
    // arrive. 0x0: the buffers are whole frames.
    int pictureX = 0, pictureY = 0, pictureWidth = 0, pictureHeight = 0;
    int audio = 0;         // 1: an audio track, fed by ZK_VideoPushAudio
    int audioRate = 44100; // of the PCM pushed (signed 16-bit, interleaved)
    int audioChannels = 2; // 1 or 2
};

struct ZK_Video;

// The caller's frame buffers: the picture's size when one is set, else the
// frame's, and the bytes of a row.
void ZK_VideoBufferSize(const ZK_VideoSettings* settings, int* width, int* height);
int ZK_VideoRowBytes(const ZK_VideoSettings* settings);

// Whether the settings are ones ZK_VideoOpen takes (a refusal names the
// path); touches no file.
ZK_Status ZK_VideoCheck(const ZK_VideoSettings* settings);

// Checks the settings and creates the temporary file; null with *status
// (when given) saying why when the settings are refused or the file cannot
// be made. Nothing is left on disk after a refusal.
ZK_Video* ZK_VideoOpen(const ZK_VideoSettings* settings, ZK_Status* status = nullptr);

// The next frame's buffer (of the picture, when one is set), width *
// bytes-per-pixel bytes per row, no padding;
// waits while 8 frames are in flight. Fill it, then submit it. Null once the
// encoder has failed (ZK_VideoError says why).
uint8_t* ZK_VideoAcquireFrame(ZK_Video* video);
int ZK_VideoSubmitFrame(ZK_Video* video);
// Both steps at once, copying rows `stride` bytes apart. 1, or 0 on failure.
int ZK_VideoPushFrame(ZK_Video* video, const uint8_t* pixels, int stride);

// Appends `frames` sample frames; sample n of the track is at n / audioRate
// seconds from the first video frame. 1, or 0 on failure.
int ZK_VideoPushAudio(ZK_Video* video, const int16_t* samples, int frames);

// Why the last call failed (naming the path).
const ZK_Status& ZK_VideoError(const ZK_Video* video);

// Encodes what is queued, completes the file and moves it to its name; on a
// failure no file is left. Frees the video either way.
ZK_Status ZK_VideoFinish(ZK_Video* video);
// Drops everything, removes the temporary file and frees the video.
void ZK_VideoAbort(ZK_Video* video);
