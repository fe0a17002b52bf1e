#include "engine/runner.h"

#include "core/globals.h"
#include "core/log.h"
#include "engine/engine.h"
#include "engine/offscreen.h"
#include "music/sound.h"
#include "platform/draw.h"
#include "platform/opengl.h"

#include <cstring>

namespace {

struct VirtualClock {
    uint32_t now = 0;
    // During start-up every read moves the clock on by 1 ms, so the wait for
    // the music (which spins on the clock) ends after a fixed number of reads.
    int startingUp = 1;
};

// The runner's one record: what was set before the start lasts from run to
// run; the rest is set by Runner_Start.
struct Runner {
    VirtualClock clock;
    int frameWidth = 0, frameHeight = 0;
    // The 4:3 picture inside the frame; the rest of the frame is the black bars.
    int areaX = 0, areaY = 0, areaWidth = 0, areaHeight = 0;
    int framesPerSecond = 60;
    const char* logPath = nullptr;
    int renderer = 0;
    uint32_t firstMusicTime = 0, clockBase = 0;
    uint64_t firstGridFrame = 0;
};
Runner runner;

uint32_t ReadVirtualClock(void* user) {
    VirtualClock* c = (VirtualClock*)user;
    return c->startingUp ? c->now++ : c->now;
}

// Reads the picture into the frame: as it is when the frame is 4:3, else
// into the middle of a frame whose bars are black.
void ReadFrame(uint8_t* out, int bytesPerPixel, void (*read)(int, int, int, uint8_t*)) {
    Draw_Current()->Submit(); // the modern backend's last batch
    if (runner.areaWidth == runner.frameWidth && runner.areaHeight == runner.frameHeight) {
        read(runner.frameWidth, runner.frameHeight, runner.frameWidth, out);
        return;
    }
    memset(out, 0, (size_t)runner.frameWidth * runner.frameHeight * bytesPerPixel);
    // The picture's rows inside the frame's.
    read(runner.areaWidth, runner.areaHeight, runner.frameWidth,
         out + ((size_t)runner.areaY * runner.frameWidth + runner.areaX) * bytesPerPixel);
}

} // namespace

void Runner_SetFrameRate(int fps) {
    runner.framesPerSecond = fps < 1 ? 1 : fps > 1000 ? 1000 : fps;
}

void Runner_SetRenderer(int drawRenderer) {
    runner.renderer = drawRenderer;
}

void Runner_SetLogPath(const char* path) {
    runner.logPath = path;
}

int Runner_Start(int width, int height) {
    // The show's start-up as it is, in a hidden window of the chosen size with
    // no sound device and on the virtual clock.
    Offscreen_Prepare();
    // The show is drawn at its picture's own size and the bars are added on
    // reading: a viewport offset would round some colours differently, and
    // the picture must be the one a capture at that size gives.
    ZELKOR_PictureArea(width, height, &runner.areaX, &runner.areaY, &runner.areaWidth,
                       &runner.areaHeight);
    EngineConfig config;
    config.width = runner.areaWidth, config.height = runner.areaHeight;
    config.renderer = runner.renderer;
    config.logPath = runner.logPath;
    config.hidden = 1;
    config.quietErrors = 1;
    config.clock = ReadVirtualClock;
    config.clockUser = &runner.clock;
    config.pace = ENGINE_PACE_NONE;
    runner.clock = VirtualClock();
    if (Engine_StartUp(&config) != ENGINE_RUNNING) {
        Engine_Stop();
        return RUNNER_START_FAILED;
    }
    runner.clock.startingUp = 0;
    if (!Offscreen_Create(runner.areaWidth, runner.areaHeight)) {
        Engine_Stop();
        return RUNNER_NO_FRAMEBUFFER;
    }
    runner.frameWidth = width, runner.frameHeight = height;
    runner.firstMusicTime = g_sound->GetTime();
    runner.clockBase = runner.clock.now - runner.firstMusicTime;
    // Frames sit on the grid n x 1000/pace counted from music time 0, from the
    // first point the start-up has reached, so times on the grid (and every
    // frame of a rate that divides the pace) are drawn exactly when they fall.
    runner.firstGridFrame =
        ((uint64_t)runner.firstMusicTime * (uint64_t)runner.framesPerSecond + 999) / 1000;
    return RUNNER_OK;
}

uint32_t Runner_FrameTime(uint64_t frame) {
    // Rounded up, so a frame never stands for a time it has not reached.
    const uint64_t fps = (uint64_t)runner.framesPerSecond;
    return (uint32_t)(((runner.firstGridFrame + frame) * 1000 + fps - 1) / fps);
}

static int StepFrame(uint64_t frame, int simulate) {
    runner.clock.now = runner.clockBase + Runner_FrameTime(frame);
    EngineInput input;
    input.present = 0; // the frame stays in the offscreen buffer, to be read
    input.simulate = simulate;
    int state = Engine_Step(&input);
    return state == ENGINE_RUNNING ? RUNNER_OK
           : state == ENGINE_ENDED ? RUNNER_ENDED
                                   : RUNNER_STOPPED;
}

int Runner_DrawFrame(uint64_t frame) {
    return StepFrame(frame, 0);
}

int Runner_SimulateFrame(uint64_t frame) {
    return StepFrame(frame, 1);
}

void Runner_ReadRgb(uint8_t* out) {
    ReadFrame(out, 3, Offscreen_ReadRgb);
}

void Runner_ReadBgra(uint8_t* out) {
    ReadFrame(out, 4, Offscreen_ReadBgra);
}

void Runner_ReadPictureRgba(uint8_t* out) {
    Draw_Current()->Submit();
    Offscreen_ReadRgba(runner.areaWidth, runner.areaHeight, runner.areaWidth, out);
}

void Runner_Stop() {
    Engine_Stop();
}

void Runner_NoteFailedStart() {}

int Runner_LogOpenError() {
    return Engine_LogOpenError();
}
