// Running the show outside marovy's own loop: the show's own start-up in the
// current folder, in a hidden window with no sound device, on a virtual clock
// that moves only with the frame number, drawing into an offscreen frame
// buffer. A frame of the chosen size holds the 4:3 picture, between black
// bars when the size is not 4:3. Frames run at the music times g x 1000/pace
// (rounded up, no drift; the pace is 60 frames a second unless set) for
// g = g0, g0 + 1, ..., where g0 is the first the start-up has reached, so a
// frame depends only on its number: the same music time always gives the same
// pixels, however slowly we render.
#pragma once
#include <cstdint>

enum RunnerResult {
    RUNNER_OK = 0,
    RUNNER_START_FAILED,   // a start-up step failed (its text went to stderr)
    RUNNER_NO_FRAMEBUFFER, // no offscreen frame buffer of that size
    RUNNER_ENDED,          // the show posted the quit message ("ende")
    RUNNER_STOPPED,        // the dispatcher failed (no timetable)
};

// Before Runner_Start; each holds until changed. The simulation pace in frames
// per second (1-1000, default 60), and where the log goes (null: "zelkor.log"
// in the current folder, which is the show folder).
void Runner_SetFrameRate(int framesPerSecond);
void Runner_SetLogPath(const char* path);
// The draw backend (DrawRenderer, default fixed).
void Runner_SetRenderer(int renderer);
// Starts the show; RUNNER_OK, or a failure after which everything is shut down.
int Runner_Start(int width, int height);
// The music time of frame n.
uint32_t Runner_FrameTime(uint64_t frame);
// Draws frame n (frames go in order); RUNNER_OK, RUNNER_ENDED when an earlier
// frame posted the quit message (nothing is drawn), or RUNNER_STOPPED.
int Runner_DrawFrame(uint64_t frame);
// Runs frame n through the scenes without drawing it (a catch-up): their
// state advances exactly as when drawn. Results as Runner_DrawFrame.
int Runner_SimulateFrame(uint64_t frame);
// The frame just drawn as 8-bit RGB, width x height, rows bottom up.
void Runner_ReadRgb(uint8_t* out);
// The same as BGRA, the order GL keeps pixels in, so the read is a plain copy.
void Runner_ReadBgra(uint8_t* out);
// Only the picture between the bars (ZELKOR_PictureArea of the frame's size),
// as RGBA, rows bottom up; the bars are black in any case.
void Runner_ReadPictureRgba(uint8_t* out);
// Shuts the show down; safe after a failed start.
void Runner_Stop();
// After RUNNER_START_FAILED: why the log could not be opened (an errno, which
// ZELKOR_LogProblem words), or 0 when a later step failed.
int Runner_LogOpenError();
// Nothing: the engine notes the log's error itself (Engine_LogOpenError).
void Runner_NoteFailedStart();
