// The show's start-up and shutdown. Start-up runs in stages, one per engine
// step, with one log line before each of its steps; the first failing step
// shows its error box (or, for the tools, says it on stderr).
#pragma once
#include <cstdint>

#include <string>
#include <vector>

struct SceneDef;
class ZELKOR_Window;

enum StartupResult { STARTUP_MORE, STARTUP_DONE, STARTUP_FAILED };

// Creates the engine objects with their constructors and hands them what the
// host asked for in the engine's configuration (clock, hidden window,
// renderer, start time).
void Startup_Begin();
// Runs the next stage: STARTUP_MORE, STARTUP_DONE when the frame timer has
// begun, or STARTUP_FAILED after the failed step's box.
int Startup();
// The scenes registered and prepared from the next start-up on: a scene
// library's (its list, zelkor_scenes), or null for the program's own lines.
// The production's names come first, in its running order; the others
// follow as their lines ran.
void Startup_UseScenes(const SceneDef* scenes);
// While the show runs: the registered scenes become these, each prepared at
// once (in the show's GL context) before the next frame. A scene whose
// record is unchanged keeps it; `restarted`, when given, gets a line for
// each whose record starts afresh ("NAME starts afresh: why").
void Startup_ReplaceScenes(const SceneDef* scenes, std::vector<std::string>* restarted);
// Releases whatever exists, in order; safe after a partial start-up.
void Shutdown();
// Escape and window close post the quit message.
int64_t WindowProc(ZELKOR_Window* window, uint32_t message, uint32_t wParam, int64_t lParam);
// Shows the "Marovy" box (stderr when no display can be reached).
void ShowErrorBox(const char* text);
