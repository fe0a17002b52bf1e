// The capture loop: runs the started show (runner.h) frame by frame on its
// virtual clock and hands each output frame to a sink. Output frame k is the
// first simulated frame whose music time is at or after the time T_k it
// stands for, so a frame of a video equals the still of the same time.
#pragma once
#include "engine/capture_run.h"

#include <cstdint>

// Where output frames go. `frame` gets frame k, drawn at music time `music`,
// width x height pixels with rows bottom up, BGRA when `bgra` is set, else
// RGB; it returns 1 to go on, or 0 to stop after saying why on stderr. The
// same pixels come again for the next k when that is due on the same frame.
// With `buffer`, frames are read where it says (null: stop, having said
// why). With `picture` (only with `buffer`) they are the picture between
// the bars alone (ZELKOR_PictureArea), as RGBA, and the sink places it.
struct CaptureSink {
    int (*frame)(void* user, uint64_t k, uint32_t music, const uint8_t* pixels) = nullptr;
    uint8_t* (*buffer)(void* user) = nullptr;
    void* user = nullptr;
    int bgra = 0;
    int picture = 0;
};

enum CaptureEnd {
    CAPTURE_DONE,        // every output frame went to the sink
    CAPTURE_ENDED,       // the show posted its quit message first
    CAPTURE_STOPPED,     // the dispatcher failed (no timetable)
    CAPTURE_INTERRUPTED, // Ctrl-C, after Capture_CatchInterrupt
    CAPTURE_SINK_FAILED,
};

struct CaptureReport {
    uint64_t frames = 0; // given to the sink
    uint32_t music = 0;  // music time of the last frame drawn
    double seconds = 0;  // the loop's wall time
};

// Runs the loop with progress on stderr unless `quiet`; a CaptureEnd. The
// frames drawn and those only simulated are CaptureRun's (capture_run.h),
// with `lead` (CAPTURE_DRAW_ALL: every frame drawn).
int Capture_Run(const CaptureSchedule* schedule, int width, int height, const CaptureSink* sink,
                int quiet, uint32_t lead, CaptureReport* report);

// From here on Ctrl-C asks the loop to stop after the current frame.
void Capture_CatchInterrupt();
