// A capture's progress on stderr: on a terminal one line rewritten in place,
// elsewhere (a log, a pipe) one line every 10 seconds.
#pragma once
#include <cstdint>

struct CaptureProgress {
    uint64_t total = 0;                     // output frames
    uint32_t firstMusic = 0, lastMusic = 0; // the music time the run covers
    uint32_t firstDue = 0;                  // the music time of output frame 0
    int quiet = 0, terminal = 0;
    double started = 0, shown = 0; // seconds on the steady clock
};

// Until the first frame is due, the run only simulates the show up to it,
// and the line says so.
void Progress_Begin(CaptureProgress* p, uint64_t total, uint32_t firstMusic, uint32_t firstDue,
                    uint32_t lastMusic, int quiet);
// `done` output frames written, the show at music time `music`.
void Progress_Update(CaptureProgress* p, uint64_t done, uint32_t music);
// The last line (ends the rewritten one); the loop's seconds so far.
double Progress_End(CaptureProgress* p, uint64_t done, uint32_t music);
