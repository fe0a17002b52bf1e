#include "engine/engine.h"

#include "engine/engine_core.h"

#include "core/globals.h"
#include "core/log.h"
#include "engine/startup.h"
#include "music/sound.h"
#include "platform/draw.h"
#include "platform/message.h"
#include "platform/opengl.h"
#include "platform/system.h"
#include "platform/window.h"
#include "scenes/scene_names.h"
#include "sequencing/scene_registry.h"
#include "sequencing/scene_set.h"
#include "sequencing/scene_state.h"
#include "sequencing/tracks.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <unistd.h>
#include <vector>

// The scene API's list (zelkor/scene_api.cpp): named here, so every program
// that starts the engine carries and exports the whole API.
extern const void* const zelkorSceneApi;

EngineCore engine;

namespace {

uint32_t ReadMusicTime(void*) {
    return engine.frameAt >= 0 ? (uint32_t)engine.frameAt : g_sound->GetTime();
}

void FrameAt(void*, uint32_t musicTime, SceneFrame* frame) {
    int64_t elapsed = engine.config.elapsedIsMusicTime ? (int64_t)musicTime
                                                       : (int64_t)musicTime - engine.showBegin;
    frame->elapsed = elapsed < 0 ? 0 : elapsed > UINT32_MAX ? UINT32_MAX : (uint32_t)elapsed;
    frame->delta = engine.frameDelta;
    frame->draw = engine.frameDraw;
    frame->tracks = 1;
    const MusicGrid& grid = Tracks_Grid();
    MusicPosition at = MusicGrid_Position(grid, musicTime);
    double beats = MusicGrid_RowAt(grid, musicTime) / grid.rowsPerBeat;
    frame->grid = grid;
    frame->bar = at.bar, frame->beat = at.beat, frame->row = at.row;
    frame->beatPhase = (float)(beats - std::floor(beats));
}

// The frame's step on the music clock. On the first frame the music clock
// takes over from the frame timer, which began at the end of start-up: from
// here on the music clock alone tells the time, and a seek moves only it.
void BeginFrameClock() {
    uint32_t now = ReadMusicTime(nullptr);
    if (!engine.framesBegun) {
        engine.showBegin = (int64_t)now - g_timer->GetElapsed();
        engine.lastMusicTime = now;
        engine.framesBegun = 1;
        SceneFrameSource source;
        source.musicTime = ReadMusicTime;
        source.frameAt = FrameAt;
        SetSceneFrameSource(&source);
    }
    engine.frameDelta = (int32_t)(now - engine.lastMusicTime);
    engine.lastMusicTime = now;
}

// The engine-wide tracks over the whole picture: "global.fade" to black,
// then "global.flash" to white, each only while its value is above 0, so a
// show without them draws exactly what it drew before they existed.
void DrawGlobalTracks(const Draw* d, uint32_t musicTime) {
    static const TrackHandle fade = Tracks_Intern("global.fade"),
                             flash = Tracks_Intern("global.flash");
    float veil[2] = {Tracks_Value(fade, musicTime, 0.0f), Tracks_Value(flash, musicTime, 0.0f)};
    if (!(veil[0] > 0.0f) && !(veil[1] > 0.0f)) return;
    d->BeginOverlay(1, 1);
    for (int k = 0; k < 2; k++) {
        if (!(veil[k] > 0.0f)) continue;
        float c = (float)k;
        d->Color4f(c, c, c, veil[k] < 1.0f ? veil[k] : 1.0f);
        d->Begin(DRAW_QUADS);
        d->Vertex3f(0.0f, 0.0f, 0.0f);
        d->Vertex3f(1.0f, 0.0f, 0.0f);
        d->Vertex3f(1.0f, 1.0f, 0.0f);
        d->Vertex3f(0.0f, 1.0f, 0.0f);
        d->End();
    }
    d->EndOverlay();
}

// The standard values of the scenes' shader programs: music time and the
// phase within the beat on the tracks' grid.
void FrameValues(const Draw* d, uint32_t musicTime) {
    const MusicGrid& grid = Tracks_Grid();
    double beats = MusicGrid_RowAt(grid, musicTime) / grid.rowsPerBeat;
    d->FrameValues((float)(musicTime / 1000.0), (float)(beats - std::floor(beats)));
}

// The programs' uniforms driven by tracks, at the frame's music time.
int TrackFind(const char* name) {
    return Tracks_Intern(name);
}
int TrackValue(int handle, float* out) {
    const Track* track = Tracks_Find(handle);
    if (!track || track->keys.empty()) return 0;
    *out = Tracks_Value(handle, engine.lastMusicTime, 0.0f);
    return 1;
}

const char* Folder() {
    static char cwd[4096];
    return getcwd(cwd, sizeof cwd) ? cwd : ".";
}

int Frame(const EngineInput& in) {
    // As in the show's loop: the quit test comes before each frame, so the
    // frame that pumped the quit message still completed.
    if (engine.mainMessage.message == ZELKOR_WM_QUIT) return engine.state = ENGINE_ENDED;
    uint32_t begin = engine.config.pace == ENGINE_PACE_SLEEP ? ZELKOR_GetTicks() : 0;
    g_timer->BeginFrame();
    g_window->PumpMessage(&engine.mainMessage);
    if (in.draw) {
        engine.frameAt = in.at;
        BeginFrameClock();
        if (in.simulate && !engine.simulated) Draw_NullForget();
        if (!in.simulate && engine.simulated) Draw_NullCarry(g_opengl->GetDraw());
        engine.simulated = in.simulate;
        engine.frameDraw = in.simulate ? Draw_Null() : g_opengl->GetDraw();
        if (in.simulate) Draw_NullFrameStandsAlone(); // from this frame's start
        FrameValues(engine.frameDraw, engine.lastMusicTime);
        if (!SceneDispatcher()) {
            engine.frameAt = -1;
            g_shellLog->Print("SceneDispatcher encountered error");
            if (!engine.config.quietErrors)
                fprintf(stderr,
                        "marovy: %s/data.vkz holds no readable timetable (default.tmg); make "
                        "the archive again (zelkor tmg compile, zelkor vkz create)\n",
                        Folder());
            return engine.state = ENGINE_STOPPED;
        }
        engine.frameAt = -1;
        engine.frameDraw->DrawInto(0); // whatever target a scene left, the rest goes on the picture
        if (in.simulate) {
            engine.standsAlone = Draw_NullFrameStandsAlone();
            engine.frameKeeps = Draw_NullFrameKeeps();
        }
        if (!in.simulate) {
            DrawGlobalTracks(engine.frameDraw, engine.lastMusicTime);
            if (in.overlay)
                in.overlay(engine.frameDraw, g_opengl->ViewWidth(), g_opengl->ViewHeight(),
                           in.overlayUser);
            g_opengl->ClearBars();
        }
        if (in.present && !in.simulate) g_opengl->EndFrame();
    }
    if (in.draw && (in.simulate || !in.present)) {
        // A catch-up runs as fast as it can: frames simulated, or drawn but
        // not shown.
    } else if (engine.config.pace == ENGINE_PACE_SPIN) {
        g_timer->EndFrame();
    } else if (engine.config.pace == ENGINE_PACE_SLEEP) {
        // Slept rather than spun: a tool on the maker's desk shares the machine.
        uint32_t spent = ZELKOR_GetTicks() - begin, least = g_timer->GetMinFrameTime();
        if (spent < least) ZELKOR_Sleep(least - spent);
    }
    return engine.state;
}

} // namespace

int Engine_Start(const EngineConfig* c) {
    if (!zelkorSceneApi) return 0;
    // Everything of the last run goes; the first frame's step is 0, as is a
    // mark's taken before it.
    static_cast<EngineRun&>(engine) = EngineRun();
    engine.config = *c;
    if (engine.config.folder && chdir(engine.config.folder) != 0) return 0;
    static const DrawUniformSource tracks = {TrackFind, TrackValue};
    Draw_SetUniformSource(&tracks);
    Startup_Begin();
    engine.state = ENGINE_STARTING;
    return 1;
}

int Engine_Step(const EngineInput* input) {
    EngineInput none;
    const EngineInput& in = input ? *input : none;
    if (engine.state == ENGINE_RUNNING) return Frame(in);
    if (engine.state != ENGINE_STARTING) return engine.state;
    int result = Startup();
    if (result == STARTUP_FAILED) {
        engine.logOpenError = g_shellLog ? g_shellLog->OpenError() : 0;
        return engine.state = ENGINE_FAILED;
    }
    if (result == STARTUP_MORE) return engine.state;
    return engine.state = ENGINE_RUNNING;
}

int Engine_StartUp(const EngineConfig* config) {
    Engine_Start(config);
    int state;
    while ((state = Engine_Step(nullptr)) == ENGINE_STARTING) {
    }
    return state;
}

int Engine_LogOpenError() {
    return engine.logOpenError;
}

void Engine_Stop() {
    Shutdown();
    SetSceneFrameSource(nullptr);
    engine.framesBegun = 0;
    engine.state = ENGINE_FAILED;
}

void Engine_UseScenes(const SceneDef* scenes, std::vector<std::string>* restarted) {
    // Timetables are checked against these names from now on; copied, as a
    // library's own may be unloaded. The program's own lines (a show's web
    // build) name theirs too.
    std::vector<std::string>& names = engine.sceneNames;
    std::vector<const char*>& pointers = engine.sceneNamePointers;
    names.clear();
    pointers.clear();
    int own = 0;
    for (const SceneDef* d = scenes ? scenes : zelkorSceneList.first; d; d = d->next) {
        names.push_back(d->name ? d->name : "");
        int order;
        const char* logLine;
        own |= ShowScenePlace(names.back().c_str(), &order, &logLine) < 0;
    }
    for (const std::string& name : names) pointers.push_back(name.c_str());
    UseShowSceneNames(own ? pointers.data() : nullptr, (int)pointers.size());
    if (engine.state == ENGINE_RUNNING || engine.state == ENGINE_ENDED)
        Startup_ReplaceScenes(scenes, restarted);
    else
        Startup_UseScenes(scenes);
}

void Engine_CancelQuit() {
    if (engine.state != ENGINE_ENDED) return;
    memset(&engine.mainMessage, 0, sizeof engine.mainMessage);
    engine.state = ENGINE_RUNNING;
}

int Engine_State() {
    return engine.state;
}

uint32_t Engine_MusicTime() {
    return engine.lastMusicTime;
}

struct EngineMark {
    SceneStateMark* scenes;
    ZELKOR_RandState random;
    uint32_t lastMusicTime;
    int simulated;
    DrawCarried carried;
};

EngineMark* Engine_Mark() {
    SceneStateMark* scenes = SceneState_Mark();
    EngineMark* mark = scenes ? new (std::nothrow) EngineMark : nullptr;
    if (!mark) {
        SceneState_FreeMark(scenes);
        return nullptr;
    }
    mark->scenes = scenes;
    ZELKOR_RandSave(&mark->random);
    mark->lastMusicTime = engine.lastMusicTime;
    mark->simulated = engine.simulated;
    mark->carried = *Draw_NullCarried();
    return mark;
}

void Engine_Rewind(const EngineMark* mark) {
    SceneState_Rewind(mark->scenes);
    ZELKOR_RandRestore(&mark->random);
    engine.lastMusicTime = mark->lastMusicTime;
    engine.simulated = mark->simulated;
    *Draw_NullCarried() = mark->carried;
    Engine_CancelQuit();
}

void Engine_FreeMark(EngineMark* mark) {
    if (!mark) return;
    SceneState_FreeMark(mark->scenes);
    delete mark;
}

int Engine_FrameStandsAlone() {
    return engine.standsAlone;
}

uint64_t Engine_FirstToDraw(uint64_t first, uint64_t last,
                            int (*simulate)(void* user, uint64_t frame), void* user, int* proven) {
    *proven = 0;
    // Nothing can go back: the lead is all there is.
    EngineMark* mark = Engine_Mark();
    if (!mark) return *proven = 1, first;
    std::vector<float> keeps;
    uint64_t n = first;
    for (; n <= last && simulate(user, n); n++)
        keeps.push_back(Engine_FrameStandsAlone() ? 0.0f : engine.frameKeeps);
    Engine_Rewind(mark);
    Engine_FreeMark(mark);
    // A frame that ended or stopped the show: nothing after it is drawn.
    if (n <= last) return *proven = 1, first;
    // From the last frame back, what the picture before frame f still adds
    // to the last one: the product of what each frame since kept. Drawing
    // may start where that is nothing (a frame that stood alone) or no more
    // than 121 frames of the shipped fade leave (0.7 each; measured exact),
    // or at the show's first frame, drawn on the same black picture.
    static const double kForgotten = pow(0.7, 120.5);
    double left = 1.0;
    for (uint64_t f = last + 1; f-- > first;) {
        left *= keeps[f - first];
        if (left <= kForgotten) return *proven = 1, f;
    }
    *proven = first == 0;
    return first;
}
