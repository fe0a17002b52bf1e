// Which of the runner's frames (runner.h) a capture draws: output frame k is
// the first frame whose music time is at or after the time T_k it stands
// for, and it must come out as in a run that drew every frame. Frames long
// before an output frame only advance the scenes (the null backend); within
// the lead drawing starts at the last frame the output frame owes nothing
// before. zelkor capture and the web page's capture both step this, one
// runner frame at a time, and read the picture when an output frame is due:
//
//   CaptureRun run;
//   CaptureRun_Begin(&run, &schedule, CAPTURE_LEAD);
//   while (run.k < CaptureSchedule_Count(&schedule)) {
//       uint32_t music;
//       if (CaptureRun_Frame(&run, &music) != RUNNER_OK) break;
//       for (; run.k < total && CaptureSchedule_Due(&schedule, run.k, music); run.k++)
//           ... Runner_ReadRgb, frame run.k ...
//   }
//   CaptureRun_End(&run);
#pragma once
#include <cstdint>
#include <vector>

// The music times the output frames stand for.
struct CaptureSchedule {
    // fps > 0: frame k stands for T_k = from + k x 1000 / fps ms (exact), for
    // every k with T_k < to.
    uint32_t from = 0, to = 0;
    int fps = 0;
    // fps == 0: one frame for each of these times (ms), ascending.
    std::vector<uint32_t> times;
};

uint64_t CaptureSchedule_Count(const CaptureSchedule* schedule);
// 1 when a frame drawn at music time `music` is at or after T_k.
int CaptureSchedule_Due(const CaptureSchedule* schedule, uint64_t k, uint32_t music);

// Measured on the show, whose swirls darken their previous frame by 0.7 each
// frame: a lead of 90 frames still left a few pixels different, 120 none.
// CAPTURE_DRAW_ALL draws every frame (the reference, and what the show does).
enum : uint32_t { CAPTURE_LEAD = 120, CAPTURE_DRAW_ALL = 0xFFFFFFFFu };

struct EngineMark;

struct CaptureRun {
    const CaptureSchedule* schedule = nullptr;
    uint32_t lead = CAPTURE_LEAD;
    uint64_t n = 0; // the runner's next frame
    uint64_t k = 0; // the next output frame; the caller moves it on as it takes them
    // Inside a lead the frames from drawFrom on are drawn.
    int leading = 0;
    uint64_t drawFrom = 0;
    // Where the picture last was as in a run that drew every frame (the end
    // of a lead, or the start): a lead that cannot be shown to come out so
    // (a trail longer than it) goes back there and draws on, up to its frame.
    EngineMark* exact = nullptr;
    uint64_t exactFrom = 0, drawAllFor = UINT64_MAX;
};

// After Runner_Start, before the first frame.
void CaptureRun_Begin(CaptureRun* run, const CaptureSchedule* schedule, uint32_t lead);
// Runs the next frame, drawn or only simulated: RUNNER_OK, RUNNER_ENDED (an
// earlier frame posted the quit message; *music is left as it was) or
// RUNNER_STOPPED, as Runner_DrawFrame; *music is the frame's music time.
int CaptureRun_Frame(CaptureRun* run, uint32_t* music);
void CaptureRun_End(CaptureRun* run);
