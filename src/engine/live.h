// Running the show in a window with its music on the real clock, for a
// person at the keyboard: the show's own start-up and frames, and between
// frames seeking, pausing and looping an interval. The music clock leads: the
// scenes' elapsed time follows every jump and stands still while paused.
#pragma once
#include <cstdint>

// Starts the show in a framed window of width x height with its music from
// music time `start`: the preparation runs as in the show, then the clock
// starts at `start` (an exact seek there when exact seeks are on), drawn
// with that draw backend (DrawRenderer). The scenes' elapsed time is the
// music time. Every
// texture load is tracked for reloading.
// RUNNER_OK, or RUNNER_START_FAILED (the step's text went to stderr) after
// which everything is shut down.
int Live_Start(int width, int height, uint32_t start, int renderer);
// Before Live_Start: where the log goes (null, the default: "zelkor.log" in
// the current folder, which is the show folder).
void Live_SetLogPath(const char* path);
// Before Live_Start: an EngineSound (default ENGINE_SOUND_ON).
void Live_SetSound(int sound);
// One frame as the show's loop runs it (frame start, one window message,
// the scenes, the swap), paced to at most 60 a second by sleeping. Paused,
// no frame is drawn unless a jump or `redraw` asks for one. RUNNER_OK,
// RUNNER_ENDED once a frame has pumped the quit message (nothing is done),
// or RUNNER_STOPPED (the dispatcher failed).
int Live_Frame(int redraw);
// After RUNNER_ENDED for the show's own end: the quit message is taken back
// and the show stays paused on the frame shown, for the caller to go on.
void Live_HoldAtEnd();
// Frames drawn since the start.
uint64_t Live_FramesDrawn();
uint32_t Live_Time();
// Music, music clock and frame timer jump to `ms` (the timer by the same
// amount, never below 0); the next frame drawn shows `ms`. Exact seeks (the
// default) show the picture a straight run at 60 frames a second has at
// `ms`: the scenes run there from a mark (see engine.h) without drawing but
// the last frames. Otherwise the scenes keep their state and see the jump as
// one long (or backward) frame: the fast picture.
// With a seek slice (Live_SetSeekSlice) the next Live_Frame shows the fast
// picture at once and the exact one follows, worked on a slice per frame;
// until it shows, the music is held at `ms` (so picture and sound agree when
// it does, and the time stays where the person asked), and a new seek gives
// the pending one up. Without a slice the next Live_Frame shows it.
void Live_Seek(uint32_t ms);
// Before Live_Start, or at any time: how many ms of each Live_Frame may go to
// a pending exact picture (0, the default: the whole way in one frame). The
// way's frames are not shown, so the window keeps the fast picture; what is
// to be shown anew meanwhile (a redraw) waits for the exact one.
void Live_SetSeekSlice(uint32_t ms);
// 1 while a seek's exact picture is pending (the window shows the fast one).
int Live_SeekPending();
// The clock moves on to `ms` as a straight run's next frame would (a frame
// step, the slow clock): the scenes see one frame of that length. While a
// seek is pending the scenes stand on its way: it is a seek to `ms`.
void Live_Advance(uint32_t ms);
void Live_SetExactSeeks(int exact);
int Live_ExactSeeks();
// The timetable changed: the marks after the show's start no longer hold (a
// pending seek starts its way again).
void Live_ForgetMarks();
void Live_SetPaused(int paused);
int Live_Paused();
// Plays at `speed` times the music's pace (1/8 to 2). At any speed but 1 the
// music is silent and the clock runs at that rate: the device plays at one
// rate only.
void Live_SetSpeed(double speed);
double Live_Speed();
// Once the music passes `end` it jumps back to `start`.
void Live_SetLoop(uint32_t start, uint32_t end);
void Live_ClearLoop();
int Live_Looping();
// Drawn over every frame after the scenes (null: nothing), in a view of
// width x height pixels; see EngineInput.
struct Draw;
void Live_SetOverlay(void (*overlay)(const Draw* draw, int width, int height, void* user),
                     void* user);
// The next frame is drawn even while paused (the overlay changed).
void Live_Redraw();
void Live_ToggleFullscreen();
void Live_SetTitle(const char* title);
void Live_Stop();
