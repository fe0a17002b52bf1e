#include "runner/live.h"

#include "music/sound.h"
#include "platform/message.h"
#include "platform/opengl.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "runner/runner.h"
#include "sequencing/scene_registry.h"
#include "shell/globals.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "textures/texture_reload.h"

#include <SDL.h>

#include <cstring>

namespace {

// The frame timer's ticks: SDL's, moved by jumps and held while paused.
struct LiveClock {
    uint32_t offset = 0;
    int held = 0;
    uint32_t heldAt = 0;
};

LiveClock liveClock;
uint32_t startTime = 0;
ZELKOR_Message message;
int redrawPending = 0, looping = 0;
uint32_t loopStart = 0, loopEnd = 0;
uint64_t framesDrawn = 0;
const char* logPath = nullptr;
int drawableWidth = 0, drawableHeight = 0;

uint32_t LiveTicks(void*) {
    return liveClock.held ? liveClock.heldAt : SDL_GetTicks() + liveClock.offset;
}

void ConfigureLive(void*) {
    g_timer->SetTickSource(LiveTicks, nullptr);
    g_sound->SetStartTime(startTime);
}

// Moves the frame timer's elapsed time by `delta`, not below 0.
void ShiftTimer(int64_t delta) {
    int64_t elapsed = g_timer->GetElapsed();
    int64_t target = elapsed + delta < 0 ? 0 : elapsed + delta;
    uint32_t shift = (uint32_t)(target - elapsed);
    liveClock.offset += shift;
    liveClock.heldAt += shift;
}

// The picture follows the window (full screen, a window manager's resize).
void FollowDrawable() {
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(g_window->GetHandle(), &w, &h);
    if (w == drawableWidth && h == drawableHeight) return;
    if (drawableWidth) g_opengl->FitDrawable(w, h);
    drawableWidth = w, drawableHeight = h;
}

} // namespace

void Live_SetLogPath(const char* path) {
    logPath = path;
}

int Live_Start(int width, int height, uint32_t start) {
    g_settings.fullscreen = 0;
    g_settings.soundEnabled = 1;
    g_settings.modeIndex = 0;
    modeTable[0] = {32, (uint32_t)width, (uint32_t)height};
    liveClock = LiveClock();
    startTime = start;
    StartupHooks hooks;
    hooks.configure = ConfigureLive;
    hooks.quietErrors = 1;
    hooks.logPath = logPath;
    Textures_TrackLoads(1);
    if (Startup(nullptr, &hooks) != 0) {
        Runner_NoteFailedStart();
        Shutdown();
        return RUNNER_START_FAILED;
    }
    memset(&message, 0, sizeof message);
    // The music played on during the preparation; the clock starts at
    // `start` now, the frame timer as if it had jumped there from 0.
    g_sound->SeekTime(start);
    ShiftTimer(start);
    redrawPending = looping = 0;
    framesDrawn = 0;
    drawableWidth = drawableHeight = 0;
    FollowDrawable();
    return RUNNER_OK;
}

int Live_Frame(int redraw) {
    // As in the show's loop, the frame that pumped the quit message completed.
    if (message.message == ZELKOR_WM_QUIT) return RUNNER_ENDED;
    uint32_t begin = SDL_GetTicks();
    g_timer->BeginFrame();
    g_window->PumpMessage(&message);
    if (looping && !g_sound->IsPaused() && g_sound->GetTime() > loopEnd) Live_Seek(loopStart);
    if (!g_sound->IsPaused() || redraw || redrawPending) {
        redrawPending = 0;
        FollowDrawable();
        if (!SceneDispatcher()) return RUNNER_STOPPED;
        g_opengl->ClearBars();
        g_opengl->EndFrame();
        framesDrawn++;
    }
    // The show's minimum frame time, slept rather than spun: a tool on the
    // maker's desk shares the machine.
    uint32_t spent = SDL_GetTicks() - begin;
    uint32_t least = g_timer->GetMinFrameTime();
    if (spent < least) SDL_Delay(least - spent);
    return RUNNER_OK;
}

void Live_HoldAtEnd() {
    memset(&message, 0, sizeof message);
    Live_SetPaused(1);
}

uint64_t Live_FramesDrawn() {
    return framesDrawn;
}

uint32_t Live_Time() {
    return g_sound->GetTime();
}

void Live_Seek(uint32_t ms) {
    uint32_t before = g_sound->GetTime();
    g_sound->SeekTime(ms);
    ShiftTimer((int64_t)ms - (int64_t)before);
    redrawPending = 1;
}

void Live_SetPaused(int paused) {
    if (paused && !liveClock.held) {
        liveClock.heldAt = LiveTicks(nullptr);
        liveClock.held = 1;
    } else if (!paused && liveClock.held) {
        liveClock.offset = liveClock.heldAt - SDL_GetTicks();
        liveClock.held = 0;
    }
    g_sound->SetPaused(paused);
}

int Live_Paused() {
    return g_sound->IsPaused();
}

void Live_SetLoop(uint32_t start, uint32_t end) {
    looping = 1;
    loopStart = start, loopEnd = end;
}

void Live_ClearLoop() {
    looping = 0;
}

int Live_Looping() {
    return looping;
}

void Live_ToggleFullscreen() {
    SDL_Window* handle = g_window->GetHandle();
    int full = (SDL_GetWindowFlags(handle) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    SDL_SetWindowFullscreen(handle, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    redrawPending = 1;
}

void Live_SetTitle(const char* title) {
    SDL_SetWindowTitle(g_window->GetHandle(), title);
}

void Live_Stop() {
    Shutdown();
}
