// The show's main sequence: start-up, frame loop and shutdown.
#pragma once
#include "sequencing/scene_frame.h"

#include <cstdint>

class ZELKOR_Window;

// For running the show offscreen (frame capture). Without hooks, Startup is
// the show's own: configure runs once the engine objects are constructed and
// before any is initialised (to hide the window, inject clocks); quietErrors
// sends a failed step's text to stderr instead of a message box.
struct StartupHooks {
    void (*configure)(void* user) = nullptr;
    void* user = nullptr;
    int quietErrors = 0;
    const char* logPath = nullptr; // null: "zelkor.log" in the current folder
};

// Brings every engine object up in order, one log line per step. 0 on success;
// -1 after a failure, whose error box has then been shown.
int Startup(void* instance, const StartupHooks* hooks = nullptr);
// Releases whatever exists, in order; safe after a partial start-up.
void Shutdown();
// Runs frames until a quit message is pumped or the dispatcher fails.
void RunFrameLoop();
// Starts a frame of the show: its step on the music clock, from the last.
// The scenes are then handed the time the show has run on that same clock
// (counted from where the frame timer began) and the context's draw layer.
void BeginShowFrame();
// Escape and window close post the quit message.
int64_t WindowProc(ZELKOR_Window* window, uint32_t message, uint32_t wParam, int64_t lParam);
// The whole program: configuration (the dialog: 0 to start, anything else is
// returned at once), start-up, frame loop, shutdown; the exit code.
int MarovyMain(void* instance, int (*configure)());
// Shows the "Marovy" box (stderr when no display can be reached).
void ShowErrorBox(const char* text);
