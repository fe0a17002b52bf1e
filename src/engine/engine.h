// The engine's one frame step. The host owns the loop and calls Engine_Step
// once per frame; start-up's waits (the preparation of the scenes, the music
// reaching its first 10 ms) are states of the step, not loops of their own:
//
//   EngineConfig config;            // size, screen, sound, folder, renderer
//   if (!Engine_Start(&config)) ...
//   EngineInput input;
//   int state;
//   while ((state = Engine_Step(&input)) == ENGINE_STARTING || state == ENGINE_RUNNING) {}
//   Engine_Stop();                  // safe after any state
//
// marovy, zelkor capture, zelkor play and the web page all drive this step.
#pragma once
#include "platform/timer.h"

#include <cstdint>
#include <string>
#include <vector>

struct SceneDef;

enum EngineState {
    ENGINE_STARTING, // start-up goes on; a step does one stage of it
    ENGINE_RUNNING,  // start-up is done: each step is one frame
    ENGINE_ENDED,    // a frame pumped the quit message (Escape, close, "ende")
    ENGINE_STOPPED,  // the dispatcher failed (no timetable)
    ENGINE_FAILED,   // a start-up step failed; its text was shown
};

// How a running step keeps to the show's pace of at most 60 frames a second.
enum EnginePace {
    ENGINE_PACE_SPIN,  // the frame timer's busy-wait (the show's own)
    ENGINE_PACE_SLEEP, // sleep out the rest of the frame (a tool on a shared desk)
    ENGINE_PACE_NONE,  // the host paces (a virtual clock, the browser)
};

// Whether the show plays its music on an audio device.
enum EngineSound {
    ENGINE_SOUND_OFF,    // no audio device; the music clock runs silent
    ENGINE_SOUND_ON,     // an audio device, or start-up fails
    ENGINE_SOUND_IF_ANY, // silent when no audio device opens (Engine_SoundProblem says why)
};

struct EngineConfig {
    int width = 800, height = 600; // the window (or offscreen picture)
    int bitsPerPixel = 32;
    int fullscreen = 0;      // 0 a window, 1 the display mode, ZELKOR_FULLSCREEN_DESKTOP
    int sound = 1;           // EngineSound: 1 the show needs an audio device
    int renderer = 0;        // DrawRenderer
    const char* folder = 0;  // the show folder, entered at Start (null: the working one)
    const char* logPath = 0; // null: "zelkor.log" in the show folder
    // The log is the user's (an installed show): when it cannot be written the
    // show runs without it, saying so in one line on stderr, since nothing in
    // the show's folder could help.
    int logOptional = 0;
    int hidden = 0;           // the window is never shown (the host draws offscreen)
    int quietErrors = 0;      // a failed step's text goes to stderr, no box
    void* instance = nullptr; // handed to the window
    // One clock for the music and the frame timer (capture's virtual clock);
    // null: the sound device and the tick count.
    ZELKOR_TickSource clock = nullptr;
    void* clockUser = nullptr;
    uint32_t startTime = 0; // music time the stream and the silent clock start at
    // 1: the scenes' elapsed time is the music time itself, as if the show had
    // begun at music time 0 (a player that seeks and catches up)
    int elapsedIsMusicTime = 0;
    int pace = ENGINE_PACE_SPIN;
};

struct Draw;

struct EngineInput {
    int draw = 1;     // 0: pump messages only, draw nothing (a paused player)
    int present = 1;  // swap the frame to the window (0: it stays offscreen,
                      // and the step is not paced: a catch-up)
    int simulate = 0; // run the scenes through the null draw backend: state
                      // advances exactly as when drawn, nothing is drawn, and
                      // the step is not paced (a catch-up)
    int64_t at = -1;  // >= 0: the music time the frame runs at (a catch-up's
                      // frame), instead of the clock's
    // Drawn over the picture after the scenes and the engine's fades, in a
    // view of width x height pixels (a tool's own overlay).
    void (*overlay)(const Draw* draw, int width, int height, void* user) = nullptr;
    void* overlayUser = nullptr;
};

// Takes the configuration and enters the show folder; 0 (errno set) when the
// folder cannot be entered. Nothing else fails here: start-up runs in the steps.
int Engine_Start(const EngineConfig* config);
// One stage of start-up, or one frame: an EngineState.
int Engine_Step(const EngineInput* input);
// Engine_Start and every stage of start-up in one call, for a host that
// waits for it (the browser's page cannot): ENGINE_RUNNING, or ENGINE_FAILED.
// Engine_Stop follows either way.
int Engine_StartUp(const EngineConfig* config);
// After ENGINE_FAILED: why the log could not be opened (an errno, which
// ZELKOR_LogProblem words), or 0 when a later step failed.
int Engine_LogOpenError();
// Releases everything; safe after a partial start-up and after Engine_Start alone.
void Engine_Stop();

// A scene library's scenes (its zelkor_scenes list) in place of the
// program's own (null: those), for the next Engine_Start; while the show
// runs, they replace the registered ones and are prepared before the next
// frame, each keeping its record when its type is unchanged (`restarted`,
// when given, gets "NAME starts afresh: why" for each whose record does
// not). The list must outlive its use.
void Engine_UseScenes(const SceneDef* scenes, std::vector<std::string>* restarted = nullptr);

// After ENGINE_ENDED: the quit message is taken back and the show runs on
// (a player holding the show's last frame).
void Engine_CancelQuit();
// The state the last step left.
int Engine_State();
// Why no audio device opened under ENGINE_SOUND_IF_ANY (the music clock runs
// silent; the log says it too), or null.
const char* Engine_SoundProblem();
// The music time of the last frame drawn (0 before the first).
uint32_t Engine_MusicTime();

// A point a catch-up can go back to: every scene's record and the blocks
// allocated for it, the kits' shared values, the random sequence, the frame
// clock's last time and the render state simulated frames have left. Taken
// while running (null when out of memory); Rewind goes back to it, taking
// back a quit message posted since.
struct EngineMark;
EngineMark* Engine_Mark();
void Engine_Rewind(const EngineMark* mark);
void Engine_FreeMark(EngineMark* mark);
// 1 when the last simulated frame began with a clear of the whole picture
// before drawing anything: it owes nothing to the frames before it.
int Engine_FrameStandsAlone();
// Frames first to last are run by `simulate` (1 when the frame ran), then
// the engine goes back to where it stood. Returns where drawing must start
// for frame `last` to come out as in a run that drew every frame, with
// *proven 1: the last frame that stands alone, or from which the fades of
// the frames after it leave nothing of what came before. When no frame from
// `first` on is one (a long trail), `first` with *proven 0: drawing must
// start earlier. (`first` and 1 when nothing can be marked, as then
// nothing earlier can be gone back to.)
uint64_t Engine_FirstToDraw(uint64_t first, uint64_t last,
                            int (*simulate)(void* user, uint64_t frame), void* user, int* proven);
