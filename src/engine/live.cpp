#include "engine/live.h"

#include "core/globals.h"
#include "engine/engine.h"
#include "engine/runner.h"
#include "music/sound.h"
#include "platform/opengl.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "sequencing/tracks.h"
#include "textures/texture_reload.h"

#include <SDL.h>

#include <cstring>
#include <vector>

namespace {

// The frame timer starts as if the show had run from 0 to the start time:
// the scenes' elapsed time is counted on the music clock from there on, so
// seeks and pauses move it with the music.
uint32_t timerOffset = 0;
int redrawPending = 0, looping = 0;
uint32_t loopStart = 0, loopEnd = 0;
uint64_t framesDrawn = 0;
const char* logPath = nullptr;
int soundMode = ENGINE_SOUND_ON;
int drawableWidth = 0, drawableHeight = 0;
// Away from speed 1 the device stays paused and the frames move the clock:
// `held` is the person's pause, `speed` the rate, `slowFrom` the real time
// (ms) and `slowAt` the music time the slow clock last stood at.
int held = 0;
double speed = 1.0, slowAt = 0.0;
uint32_t slowFrom = 0;
EngineInput frameInput; // the overlay

// Exact seeks run the scenes from the latest mark at or before the target to
// it on a grid of 60 frames a second (frame g at music time g x 1000/60,
// rounded up; the last at the target itself), simulated but for the frames
// a capture would draw, leaving a mark every 5 s of music on the way.
struct LiveMark {
    uint64_t next; // the grid frame run next from here
    EngineMark* mark;
};
std::vector<LiveMark> marks;
int exactSeeks = 1;
uint64_t marksTracks = 0; // the tracks' generation the marks were made with
int64_t pendingSeek = -1;
const uint64_t kMarkEvery = 300;
const uint64_t kLead = 120; // as capture's: the swirls' trails fade within it

uint32_t GridTime(uint64_t g) {
    return (uint32_t)((g * 1000 + 59) / 60);
}

struct CatchUp {
    uint64_t last;   // the target's frame
    uint32_t target; // its music time
};

int RunFrame(const CatchUp& c, uint64_t g, int simulate, int present) {
    EngineInput input;
    input.simulate = simulate;
    input.present = present;
    input.at = g < c.last ? GridTime(g) : c.target;
    if (present) input.overlay = frameInput.overlay, input.overlayUser = frameInput.overlayUser;
    return Engine_Step(&input) == ENGINE_RUNNING;
}

int SimulateFrame(void* user, uint64_t g) {
    return RunFrame(*(const CatchUp*)user, g, 1, 0);
}

void FreeMarks(size_t keep) {
    for (size_t i = keep; i < marks.size(); i++) Engine_FreeMark(marks[i].mark);
    marks.resize(keep < marks.size() ? keep : marks.size());
}

// The scenes as a straight run on the grid has them at `target`, that frame
// drawn and shown; 0 when a frame on the way ended or stopped the show.
int CatchUpTo(uint32_t target) {
    CatchUp c = {(uint64_t)target * 60 / 1000, target};
    while (GridTime(c.last) < target) c.last++;
    while (c.last > 0 && GridTime(c.last - 1) >= target) c.last--;
    // The lead is run from its start whatever mark is near: a swirl's trail
    // is in the picture only when its frames were drawn.
    uint64_t leadStart = c.last > kLead ? c.last - kLead : 0;
    size_t m = 0;
    while (m + 1 < marks.size() && marks[m + 1].next <= leadStart) m++;
    Engine_Rewind(marks[m].mark);
    uint64_t g = marks[m].next;
    for (; g < leadStart; g++) {
        if (g % kMarkEvery == 0 && g > marks.back().next) {
            EngineMark* mark = Engine_Mark();
            if (mark) marks.push_back(LiveMark{g, mark});
        }
        if (!SimulateFrame(&c, g)) return 0;
    }
    int proven = 1;
    uint64_t drawFrom = Engine_FirstToDraw(leadStart, c.last, SimulateFrame, &c, &proven);
    // A trail longer than the lead: from earlier marks until a frame is found
    // that the target's picture owes nothing before (the show's first at worst).
    for (size_t b = m + 1; !proven && b-- > 0;) {
        Engine_Rewind(marks[b].mark);
        drawFrom = Engine_FirstToDraw(marks[b].next, c.last, SimulateFrame, &c, &proven);
        if (!proven) continue;
        Engine_Rewind(marks[b].mark);
        for (g = marks[b].next; g < drawFrom; g++)
            if (!SimulateFrame(&c, g)) return 0;
    }
    for (; g <= c.last; g++)
        if (!RunFrame(c, g, g < drawFrom, g == c.last)) return 0;
    return 1;
}

uint32_t LiveTicks(void*) {
    return SDL_GetTicks() + timerOffset;
}

// The picture follows the window (full screen, a window manager's resize).
void FollowDrawable() {
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(g_window->GetHandle(), &w, &h);
    if (w == drawableWidth && h == drawableHeight) return;
    if (drawableWidth) g_opengl->FitDrawable(w, h);
    drawableWidth = w, drawableHeight = h;
}

// The slow (or fast) clock's step: the real time since the last frame, at
// the chosen rate.
void MoveSlowClock() {
    uint32_t now = SDL_GetTicks();
    if (!held) {
        slowAt += (double)(now - slowFrom) * speed;
        if (slowAt > 4294967295.0) slowAt = 4294967295.0;
        double at = slowAt; // the seek keeps whole ms; the fraction carries on
        // The clock runs on as in a straight run: no catch-up.
        if ((uint32_t)at != g_sound->GetTime()) Live_Advance((uint32_t)at);
        slowAt = at;
    }
    slowFrom = now;
}

} // namespace

void Live_SetLogPath(const char* path) {
    logPath = path;
}

void Live_SetSound(int sound) {
    soundMode = sound;
}

int Live_Start(int width, int height, uint32_t start, int renderer) {
    EngineConfig config;
    config.width = width, config.height = height;
    config.renderer = renderer;
    config.quietErrors = 1;
    config.logPath = logPath;
    config.sound = soundMode;
    config.startTime = start;
    config.pace = ENGINE_PACE_SLEEP;
    config.elapsedIsMusicTime = 1;
    timerOffset = 0;
    Textures_TrackLoads(1);
    Engine_Start(&config);
    g_timer->SetTickSource(LiveTicks, nullptr);
    int state;
    while ((state = Engine_Step(nullptr)) == ENGINE_STARTING) {
    }
    if (state != ENGINE_RUNNING) {
        Runner_NoteFailedStart();
        Engine_Stop();
        return RUNNER_START_FAILED;
    }
    // The music played on during the preparation; the clock starts at
    // `start` now, the frame timer as if it had run there from 0.
    g_sound->SeekTime(start);
    timerOffset = start - g_timer->GetElapsed();
    redrawPending = looping = held = 0;
    speed = 1.0;
    framesDrawn = 0;
    drawableWidth = drawableHeight = 0;
    FollowDrawable();
    // Where every catch-up can start: the scenes prepared, no frame run.
    FreeMarks(0);
    pendingSeek = -1;
    if (EngineMark* mark = Engine_Mark()) marks.push_back(LiveMark{0, mark});
    if (start && exactSeeks) pendingSeek = start;
    return RUNNER_OK;
}

int Live_Frame(int redraw) {
    if (speed != 1.0) MoveSlowClock();
    // A loop's frames all lie within its entry, paused or not: the time read
    // once, the frame drawn at it (the clock moves on meanwhile, and a frame
    // drawn at the entry's end would show what follows it).
    int64_t at = -1;
    if (looping) {
        uint32_t now = g_sound->GetTime();
        if (now >= loopEnd)
            Live_Seek(loopStart);
        else
            at = now;
    }
    if (Tracks_Generation() != marksTracks) {
        // The tracks steer the scenes: what was marked under others no longer holds.
        FreeMarks(1);
        marksTracks = Tracks_Generation();
    }
    if (pendingSeek >= 0 && !marks.empty()) {
        uint32_t target = (uint32_t)pendingSeek;
        pendingSeek = -1;
        FollowDrawable();
        int ran = CatchUpTo(target);
        g_sound->SeekTime(target);
        if (ran) {
            framesDrawn++;
            return RUNNER_OK;
        }
        redrawPending = 1; // the show ended or stopped on the way: the step says which
    }
    EngineInput input = frameInput;
    input.draw = !held || redraw || redrawPending;
    input.at = at;
    if (input.draw) FollowDrawable();
    int state = Engine_Step(&input);
    if (state == ENGINE_ENDED) return RUNNER_ENDED;
    if (state != ENGINE_RUNNING) return RUNNER_STOPPED;
    if (input.draw) {
        redrawPending = 0;
        framesDrawn++;
    }
    return RUNNER_OK;
}

void Live_HoldAtEnd() {
    Engine_CancelQuit();
    Live_SetPaused(1);
}

uint64_t Live_FramesDrawn() {
    return framesDrawn;
}

uint32_t Live_Time() {
    return g_sound->GetTime();
}

void Live_Seek(uint32_t ms) {
    g_sound->SeekTime(ms);
    slowAt = ms;
    if (exactSeeks && !marks.empty())
        pendingSeek = ms;
    else
        redrawPending = 1;
}

void Live_Advance(uint32_t ms) {
    g_sound->SeekTime(ms);
    slowAt = ms;
    redrawPending = 1;
}

void Live_SetExactSeeks(int exact) {
    exactSeeks = exact;
}

int Live_ExactSeeks() {
    return exactSeeks && !marks.empty(); // no mark: out of memory at the start
}

void Live_ForgetMarks() {
    FreeMarks(1);
}

void Live_SetPaused(int paused) {
    held = paused != 0;
    slowFrom = SDL_GetTicks();
    g_sound->SetPaused(held || speed != 1.0);
}

int Live_Paused() {
    return held;
}

void Live_SetSpeed(double s) {
    speed = s < 0.125 ? 0.125 : s > 2.0 ? 2.0 : s;
    slowAt = g_sound->GetTime();
    slowFrom = SDL_GetTicks();
    g_sound->SetPaused(held || speed != 1.0);
}

double Live_Speed() {
    return speed;
}

void Live_SetOverlay(void (*overlay)(const Draw*, int, int, void*), void* user) {
    frameInput.overlay = overlay;
    frameInput.overlayUser = user;
}

void Live_Redraw() {
    redrawPending = 1;
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
    FreeMarks(0);
    pendingSeek = -1;
    Engine_Stop();
}
