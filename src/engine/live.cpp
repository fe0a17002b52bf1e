#include "engine/live.h"

#include "core/globals.h"
#include "engine/engine.h"
#include "engine/runner.h"
#include "music/sound.h"
#include "platform/draw.h"
#include "platform/opengl.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "sequencing/tracks.h"
#include "textures/texture_reload.h"

#include <GL/gl.h>
#include <SDL.h>

#include <cstring>
#include <vector>

namespace {

// Exact seeks run the scenes from the latest mark at or before the target to
// it on a grid of 60 frames a second (frame g at music time g x 1000/60,
// rounded up; the last at the target itself), simulated but for the frames
// a capture would draw, leaving a mark every 5 s of music on the way.
const uint64_t kMarkEvery = 300;
const uint64_t kLead = 120; // as capture's: the swirls' trails fade within it

struct LiveMark {
    uint64_t next; // the grid frame run next from here
    EngineMark* mark;
};

// Where a seek's way to the exact picture stands. Each stage is done a step
// at a time (one grid frame, or one search for where drawing starts), so a
// host that gives it a slice of each frame keeps answering meanwhile. The
// lead is drawn into the window's back buffer, as a straight run draws, and
// none of it is shown but its last frame: the window keeps the fast picture.
// (A frame buffer object of its own would spare the window's, but Mesa
// rasterizes some edges of small quads into one by a pixel otherwise.)
enum SeekStage {
    SEEK_NONE,
    SEEK_FAST,    // the fast picture is drawn first, then the way starts
    SEEK_TO_LEAD, // simulating from a mark to the lead
    SEEK_PLAN,    // where the lead's drawing starts
    SEEK_BACK,    // a trail longer than the lead: the same from earlier marks
    SEEK_TO_DRAW, // simulating up to the first frame drawn
    SEEK_DRAW,    // drawing; only the last frame is shown
};

struct Seek {
    int stage = SEEK_NONE;
    uint32_t target = 0;
    uint64_t last = 0;      // the target's grid frame
    uint64_t leadStart = 0; // the lead: leadStart to last
    uint64_t g = 0;         // the grid frame run next
    uint64_t drawFrom = 0;
    size_t mark = 0; // the mark the way started from (SEEK_BACK: the one tried last)
};

enum StepResult { STEP_MORE, STEP_DONE, STEP_ENDED };

struct Live {
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
    std::vector<LiveMark> marks;
    int exactSeeks = 1;
    uint64_t marksTracks = 0; // the tracks' generation the marks were made with
    uint32_t slice = 0;       // ms of a frame for a pending exact picture (0: all of it)
    Seek seek;
};
Live live;

uint32_t GridTime(uint64_t g) {
    return (uint32_t)((g * 1000 + 59) / 60);
}

int RunFrame(uint64_t g, int simulate, int present) {
    const Seek& s = live.seek;
    EngineInput input;
    input.simulate = simulate;
    input.present = present;
    input.at = g < s.last ? GridTime(g) : s.target;
    if (present)
        input.overlay = live.frameInput.overlay, input.overlayUser = live.frameInput.overlayUser;
    return Engine_Step(&input) == ENGINE_RUNNING;
}

int SimulateFrame(void*, uint64_t g) {
    return RunFrame(g, 1, 0);
}

void FreeMarks(size_t keep) {
    for (size_t i = keep; i < live.marks.size(); i++) Engine_FreeMark(live.marks[i].mark);
    live.marks.resize(keep < live.marks.size() ? keep : live.marks.size());
}

// The music waits while a seek's exact picture is pending, so that picture
// and sound agree when it shows.
void ApplyPause() {
    g_sound->SetPaused(live.held || live.speed != 1.0 || live.seek.stage != SEEK_NONE);
}

// A seek's way from the latest mark at or before its lead.
void StartWay() {
    Seek& s = live.seek;
    s.last = (uint64_t)s.target * 60 / 1000;
    while (GridTime(s.last) < s.target) s.last++;
    while (s.last > 0 && GridTime(s.last - 1) >= s.target) s.last--;
    // The lead is run from its start whatever mark is near: a swirl's trail
    // is in the picture only when its frames were drawn.
    s.leadStart = s.last > kLead ? s.last - kLead : 0;
    s.mark = 0;
    while (s.mark + 1 < live.marks.size() && live.marks[s.mark + 1].next <= s.leadStart) s.mark++;
    Engine_Rewind(live.marks[s.mark].mark);
    s.g = live.marks[s.mark].next;
    s.stage = SEEK_TO_LEAD;
}

// Black with its depth at the far plane, as a new window starts, whatever
// masks, scissor and clear values the scenes left (those are kept).
void BlankPicture() {
    Draw_Current()->Submit();
    GLfloat colour[4], depth;
    GLboolean colourMask[4], depthMask, scissor = glIsEnabled(GL_SCISSOR_TEST);
    glGetFloatv(GL_COLOR_CLEAR_VALUE, colour);
    glGetFloatv(GL_DEPTH_CLEAR_VALUE, &depth);
    glGetBooleanv(GL_COLOR_WRITEMASK, colourMask);
    glGetBooleanv(GL_DEPTH_WRITEMASK, &depthMask);
    if (scissor) glDisable(GL_SCISSOR_TEST);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glDepthMask(GL_TRUE);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glClearColor(colour[0], colour[1], colour[2], colour[3]);
    glClearDepth(depth);
    glColorMask(colourMask[0], colourMask[1], colourMask[2], colourMask[3]);
    glDepthMask(depthMask);
    if (scissor) glEnable(GL_SCISSOR_TEST);
}

// One step on the way; STEP_ENDED when a frame ended or stopped the show.
int SeekStep() {
    Seek& s = live.seek;
    std::vector<LiveMark>& marks = live.marks;
    int proven = 1;
    switch (s.stage) {
    case SEEK_TO_LEAD:
        if (s.g < s.leadStart) {
            if (s.g % kMarkEvery == 0 && s.g > marks.back().next) {
                EngineMark* mark = Engine_Mark();
                if (mark) marks.push_back(LiveMark{s.g, mark});
            }
            return SimulateFrame(nullptr, s.g++) ? STEP_MORE : STEP_ENDED;
        }
        s.stage = SEEK_PLAN;
        return STEP_MORE;
    case SEEK_PLAN:
        s.drawFrom = Engine_FirstToDraw(s.leadStart, s.last, SimulateFrame, nullptr, &proven);
        s.stage = proven ? SEEK_TO_DRAW : SEEK_BACK;
        if (!proven) s.mark++; // SEEK_BACK tries this mark first, then those before it
        return STEP_MORE;
    case SEEK_BACK:
        // A trail longer than the lead: from earlier marks until a frame is
        // found that the target's picture owes nothing before (the show's
        // first at worst, which the first mark is).
        s.mark--;
        Engine_Rewind(marks[s.mark].mark);
        s.drawFrom =
            Engine_FirstToDraw(marks[s.mark].next, s.last, SimulateFrame, nullptr, &proven);
        if (!proven && s.mark > 0) return STEP_MORE;
        Engine_Rewind(marks[s.mark].mark);
        s.g = marks[s.mark].next;
        s.stage = SEEK_TO_DRAW;
        return STEP_MORE;
    case SEEK_TO_DRAW:
        if (s.g < s.drawFrom) return SimulateFrame(nullptr, s.g++) ? STEP_MORE : STEP_ENDED;
        // Drawn from the show's first frame: on the picture a new window has.
        if (s.drawFrom == 0) BlankPicture();
        s.stage = SEEK_DRAW;
        return STEP_MORE;
    case SEEK_DRAW:
        if (s.g < s.last) {
            if (!RunFrame(s.g++, 0, 0)) return STEP_ENDED;
            // Drawn now rather than heaped up for a later frame to wait on.
            Draw_Current()->Flush();
            return STEP_MORE;
        }
        return RunFrame(s.last, 0, 1) ? STEP_DONE : STEP_ENDED;
    default:
        return STEP_DONE;
    }
}

uint32_t LiveTicks(void*) {
    return SDL_GetTicks() + live.timerOffset;
}

// The picture follows the window (full screen, a window manager's resize);
// 1 when its size changed.
int FollowDrawable() {
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(g_window->GetHandle(), &w, &h);
    if (w == live.drawableWidth && h == live.drawableHeight) return 0;
    if (live.drawableWidth) g_opengl->FitDrawable(w, h);
    live.drawableWidth = w, live.drawableHeight = h;
    return 1;
}

// The slow (or fast) clock's step: the real time since the last frame, at
// the chosen rate. It stands while a seek's exact picture is pending.
void MoveSlowClock() {
    uint32_t now = SDL_GetTicks();
    if (!live.held && live.seek.stage == SEEK_NONE) {
        live.slowAt += (double)(now - live.slowFrom) * live.speed;
        if (live.slowAt > 4294967295.0) live.slowAt = 4294967295.0;
        double at = live.slowAt; // the seek keeps whole ms; the fraction carries on
        // The clock runs on as in a straight run: no catch-up.
        if ((uint32_t)at != g_sound->GetTime()) Live_Advance((uint32_t)at);
        live.slowAt = at;
    }
    live.slowFrom = now;
}

void EndSeek() {
    live.seek.stage = SEEK_NONE;
    ApplyPause();
}

// A frame while a seek's exact picture is pending: the fast picture first
// (with a slice), then steps on the way until the slice is spent.
int SeekFrame(int redraw) {
    Seek& s = live.seek;
    if (FollowDrawable() && s.stage != SEEK_FAST) s.stage = SEEK_FAST; // a lead of the old size
    if (s.stage == SEEK_FAST && live.slice) {
        EngineInput input = live.frameInput;
        int state = Engine_Step(&input);
        if (state != ENGINE_RUNNING) {
            EndSeek();
            return state == ENGINE_ENDED ? RUNNER_ENDED : RUNNER_STOPPED;
        }
        live.framesDrawn++;
        live.redrawPending = 0;
        StartWay();
        return RUNNER_OK;
    }
    if (s.stage == SEEK_FAST) StartWay();
    uint32_t begin = SDL_GetTicks();
    int step;
    do {
        step = SeekStep();
    } while (step == STEP_MORE && (!live.slice || SDL_GetTicks() - begin < live.slice));
    if (step == STEP_MORE) {
        // What is to be shown anew waits for the exact picture.
        live.redrawPending |= redraw;
        return RUNNER_OK;
    }
    EndSeek();
    if (step == STEP_DONE) {
        live.framesDrawn++;
        live.redrawPending = 0;
        return RUNNER_OK;
    }
    live.redrawPending = 1; // the show ended or stopped on the way: the step says which
    return Engine_State() == ENGINE_ENDED ? RUNNER_ENDED : RUNNER_STOPPED;
}

} // namespace

void Live_SetLogPath(const char* path) {
    live.logPath = path;
}

void Live_SetSound(int sound) {
    live.soundMode = sound;
}

void Live_SetSeekSlice(uint32_t ms) {
    live.slice = ms;
}

int Live_Start(int width, int height, uint32_t start, int renderer) {
    EngineConfig config;
    config.width = width, config.height = height;
    config.renderer = renderer;
    config.quietErrors = 1;
    config.logPath = live.logPath;
    config.sound = live.soundMode;
    config.startTime = start;
    config.pace = ENGINE_PACE_SLEEP;
    config.elapsedIsMusicTime = 1;
    live.timerOffset = 0;
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
    live.timerOffset = start - g_timer->GetElapsed();
    live.redrawPending = live.looping = live.held = 0;
    live.speed = 1.0;
    live.framesDrawn = 0;
    live.drawableWidth = live.drawableHeight = 0;
    FollowDrawable();
    // Where every catch-up can start: the scenes prepared, no frame run.
    FreeMarks(0);
    live.seek = Seek();
    if (EngineMark* mark = Engine_Mark()) live.marks.push_back(LiveMark{0, mark});
    if (start) Live_Seek(start);
    return RUNNER_OK;
}

int Live_Frame(int redraw) {
    if (live.speed != 1.0) MoveSlowClock();
    // A loop's frames all lie within its entry, paused or not: the time read
    // once, the frame drawn at it (the clock moves on meanwhile, and a frame
    // drawn at the entry's end would show what follows it).
    int64_t at = -1;
    if (live.looping) {
        uint32_t now = g_sound->GetTime();
        if (now >= live.loopEnd)
            Live_Seek(live.loopStart);
        else
            at = now;
    }
    if (Tracks_Generation() != live.marksTracks) {
        // The tracks steer the scenes: what was marked under others no longer holds.
        Live_ForgetMarks();
        live.marksTracks = Tracks_Generation();
    }
    if (live.seek.stage != SEEK_NONE) return SeekFrame(redraw);
    EngineInput input = live.frameInput;
    input.draw = !live.held || redraw || live.redrawPending;
    input.at = at;
    if (input.draw) FollowDrawable();
    int state = Engine_Step(&input);
    if (state == ENGINE_ENDED) return RUNNER_ENDED;
    if (state != ENGINE_RUNNING) return RUNNER_STOPPED;
    if (input.draw) {
        live.redrawPending = 0;
        live.framesDrawn++;
    }
    return RUNNER_OK;
}

void Live_HoldAtEnd() {
    Engine_CancelQuit();
    Live_SetPaused(1);
}

uint64_t Live_FramesDrawn() {
    return live.framesDrawn;
}

uint32_t Live_Time() {
    return g_sound->GetTime();
}

void Live_Seek(uint32_t ms) {
    g_sound->SeekTime(ms);
    live.slowAt = ms;
    if (live.exactSeeks && !live.marks.empty()) {
        // A pending one is given up: its way starts again from a mark.
        live.seek.stage = SEEK_FAST;
        live.seek.target = ms;
        ApplyPause();
    } else {
        live.redrawPending = 1;
    }
}

int Live_SeekPending() {
    return live.seek.stage != SEEK_NONE;
}

void Live_Advance(uint32_t ms) {
    // While a seek is pending the scenes stand somewhere on its way.
    if (live.seek.stage != SEEK_NONE) {
        Live_Seek(ms);
        return;
    }
    g_sound->SeekTime(ms);
    live.slowAt = ms;
    live.redrawPending = 1;
}

void Live_SetExactSeeks(int exact) {
    live.exactSeeks = exact;
    if (!exact && live.seek.stage != SEEK_NONE) {
        // The scenes go on from where the way stood: a fast seek.
        EndSeek();
        live.redrawPending = 1;
    }
}

int Live_ExactSeeks() {
    return live.exactSeeks && !live.marks.empty(); // no mark: out of memory at the start
}

void Live_ForgetMarks() {
    FreeMarks(1);
    // A pending seek's way used them: it starts again, from a new fast picture.
    if (live.seek.stage != SEEK_NONE) live.seek.stage = SEEK_FAST;
}

void Live_SetPaused(int paused) {
    live.held = paused != 0;
    live.slowFrom = SDL_GetTicks();
    ApplyPause();
}

int Live_Paused() {
    return live.held;
}

void Live_SetSpeed(double s) {
    live.speed = s < 0.125 ? 0.125 : s > 2.0 ? 2.0 : s;
    live.slowAt = g_sound->GetTime();
    live.slowFrom = SDL_GetTicks();
    ApplyPause();
}

double Live_Speed() {
    return live.speed;
}

void Live_SetOverlay(void (*overlay)(const Draw*, int, int, void*), void* user) {
    live.frameInput.overlay = overlay;
    live.frameInput.overlayUser = user;
}

void Live_Redraw() {
    live.redrawPending = 1;
}

void Live_SetLoop(uint32_t start, uint32_t end) {
    live.looping = 1;
    live.loopStart = start, live.loopEnd = end;
}

void Live_ClearLoop() {
    live.looping = 0;
}

int Live_Looping() {
    return live.looping;
}

void Live_ToggleFullscreen() {
    SDL_Window* handle = g_window->GetHandle();
    int full = (SDL_GetWindowFlags(handle) & SDL_WINDOW_FULLSCREEN_DESKTOP) != 0;
    SDL_SetWindowFullscreen(handle, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
    live.redrawPending = 1;
}

void Live_SetTitle(const char* title) {
    SDL_SetWindowTitle(g_window->GetHandle(), title);
}

void Live_Stop() {
    FreeMarks(0);
    live.seek = Seek();
    Engine_Stop();
}
