#include "runner/runner.h"

#include "music/sound.h"
#include "platform/message.h"
#include "platform/opengl.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "runner/offscreen.h"
#include "sequencing/scene_registry.h"
#include "shell/globals.h"
#include "shell/log.h"
#include "shell/settings.h"
#include "shell/startup.h"

#include <GL/gl.h>
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
// The 4:3 picture inside the frame; the rest of the frame is the black bars.
int areaX = 0, areaY = 0, areaWidth = 0, areaHeight = 0;
int framesPerSecond = 60;
const char* logPath = nullptr;
uint32_t firstMusicTime = 0, clockBase = 0;
uint64_t firstGridFrame = 0;
ZELKOR_Message message;

uint32_t ReadVirtualClock(void* user) {
    VirtualClock* c = (VirtualClock*)user;
    return c->startingUp ? c->now++ : c->now;
}

// Reads the picture into the frame: as it is when the frame is 4:3, else
// into the middle of a frame whose bars are black.
void ReadFrame(uint8_t* out, int bytesPerPixel, void (*read)(int, int, uint8_t*)) {
    if (areaWidth == frameWidth && areaHeight == frameHeight) {
        read(frameWidth, frameHeight, out);
        return;
    }
    memset(out, 0, (size_t)frameWidth * frameHeight * bytesPerPixel);
    glPixelStorei(GL_PACK_ROW_LENGTH, frameWidth); // the picture's rows inside the frame's
    read(areaWidth, areaHeight, out + ((size_t)areaY * frameWidth + areaX) * bytesPerPixel);
    glPixelStorei(GL_PACK_ROW_LENGTH, 0);
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
    // The show is drawn at its picture's own size and the bars are added on
    // reading: a viewport offset would round some colours differently, and
    // the picture must be the one a capture at that size gives.
    ZELKOR_PictureArea(width, height, &areaX, &areaY, &areaWidth, &areaHeight);
    modeTable[0] = {32, (uint32_t)areaWidth, (uint32_t)areaHeight};
    StartupHooks hooks;
    hooks.configure = ConfigureOffscreen;
    hooks.quietErrors = 1;
    hooks.logPath = logPath;
    virtualClock = VirtualClock();
    if (Startup(nullptr, &hooks) != 0) {
        Runner_NoteFailedStart();
        Shutdown();
        return RUNNER_START_FAILED;
    }
    virtualClock.startingUp = 0;
    if (!Offscreen_Create(areaWidth, areaHeight)) {
        Shutdown();
        return RUNNER_NO_FRAMEBUFFER;
    }
    frameWidth = width, frameHeight = height;
    firstMusicTime = g_sound->GetTime();
    clockBase = virtualClock.now - firstMusicTime;
    // Frames sit on the grid n x 1000/pace counted from music time 0, from the
    // first point the start-up has reached, so times on the grid (and every
    // frame of a rate that divides the pace) are drawn exactly when they fall.
    firstGridFrame = ((uint64_t)firstMusicTime * (uint64_t)framesPerSecond + 999) / 1000;
    memset(&message, 0, sizeof message);
    return RUNNER_OK;
}

uint32_t Runner_FrameTime(uint64_t frame) {
    // Rounded up, so a frame never stands for a time it has not reached.
    const uint64_t fps = (uint64_t)framesPerSecond;
    return (uint32_t)(((firstGridFrame + frame) * 1000 + fps - 1) / fps);
}

int Runner_DrawFrame(uint64_t frame) {
    // As in the show's loop, the frame that pumped the quit message completed.
    if (message.message == ZELKOR_WM_QUIT) return RUNNER_ENDED;
    virtualClock.now = clockBase + Runner_FrameTime(frame);
    g_timer->BeginFrame();
    g_window->PumpMessage(&message);
    if (!SceneDispatcher()) return RUNNER_STOPPED;
    g_opengl->ClearBars();
    return RUNNER_OK;
}

void Runner_ReadRgb(uint8_t* out) {
    ReadFrame(out, 3, Offscreen_ReadRgb);
}

void Runner_ReadBgra(uint8_t* out) {
    ReadFrame(out, 4, Offscreen_ReadBgra);
}

void Runner_Stop() {
    Shutdown();
}

static int logOpenError = 0;

void Runner_NoteFailedStart() {
    logOpenError = g_shellLog ? g_shellLog->OpenError() : 0;
}

int Runner_LogOpenError() {
    return logOpenError;
}
