#include "runner/runner.h"

#include "music/sound.h"
#include "platform/message.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "runner/offscreen.h"
#include "sequencing/scene_registry.h"
#include "shell/globals.h"
#include "shell/settings.h"
#include "shell/startup.h"

#include <SDL.h>

#include <cstdlib>
#include <cstring>

namespace {

struct VirtualClock {
    uint32_t now = 0;
    // During start-up every read moves the clock on by 1 ms, so the wait for
    // the music (which spins on the clock) ends after a fixed number of reads.
    int startingUp = 1;
};

VirtualClock virtualClock;
int frameWidth = 0, frameHeight = 0;
int framesPerSecond = 60;
const char* logPath = nullptr;
uint32_t firstMusicTime = 0, clockBase = 0;
ZELKOR_Message message;

uint32_t ReadVirtualClock(void* user) {
    VirtualClock* c = (VirtualClock*)user;
    return c->startingUp ? c->now++ : c->now;
}

void ConfigureOffscreen(void*) {
    g_window->SetHidden(1);
    g_sound->SetClockSource(ReadVirtualClock, &virtualClock);
    g_timer->SetTickSource(ReadVirtualClock, &virtualClock);
}

} // namespace

void Runner_SetFrameRate(int fps) {
    framesPerSecond = fps < 1 ? 1 : fps > 1000 ? 1000 : fps;
}

void Runner_SetLogPath(const char* path) {
    logPath = path;
}

int Runner_Start(int width, int height) {
    // The show's start-up as it is, in a hidden window of the chosen size with
    // no sound device and on the virtual clock.
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    // Without a display SDL's offscreen driver still gives a GL context.
    if (!getenv("SDL_VIDEODRIVER") && !getenv("DISPLAY") && !getenv("WAYLAND_DISPLAY"))
        SDL_setenv("SDL_VIDEODRIVER", "offscreen", 1);
    g_settings.fullscreen = 0;
    g_settings.soundEnabled = 1;
    g_settings.modeIndex = 0;
    modeTable[0] = {32, (uint32_t)width, (uint32_t)height};
    StartupHooks hooks;
    hooks.configure = ConfigureOffscreen;
    hooks.quietErrors = 1;
    hooks.logPath = logPath;
    virtualClock = VirtualClock();
    if (Startup(nullptr, &hooks) != 0) {
        Shutdown();
        return RUNNER_START_FAILED;
    }
    virtualClock.startingUp = 0;
    if (!Offscreen_Create(width, height)) {
        Shutdown();
        return RUNNER_NO_FRAMEBUFFER;
    }
    frameWidth = width, frameHeight = height;
    firstMusicTime = g_sound->GetTime();
    clockBase = virtualClock.now - firstMusicTime;
    memset(&message, 0, sizeof message);
    return RUNNER_OK;
}

uint32_t Runner_FrameTime(uint64_t frame) {
    return firstMusicTime + (uint32_t)(frame * 1000 / (uint64_t)framesPerSecond);
}

int Runner_DrawFrame(uint64_t frame) {
    // As in the show's loop, the frame that pumped the quit message completed.
    if (message.message == ZELKOR_WM_QUIT) return RUNNER_ENDED;
    virtualClock.now = clockBase + Runner_FrameTime(frame);
    g_timer->BeginFrame();
    g_window->PumpMessage(&message);
    return SceneDispatcher() ? RUNNER_OK : RUNNER_STOPPED;
}

void Runner_ReadRgb(uint8_t* out) {
    Offscreen_ReadRgb(frameWidth, frameHeight, out);
}

void Runner_ReadBgra(uint8_t* out) {
    Offscreen_ReadBgra(frameWidth, frameHeight, out);
}

void Runner_Stop() {
    Shutdown();
}
