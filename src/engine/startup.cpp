#include "engine/startup.h"

#include "archive/vkz.h"
#include "core/globals.h"
#include "core/log.h"
#include "engine/engine.h"
#include "engine/engine_core.h"
#include "music/sound.h"
#include "platform/camera.h"
#include "platform/draw_modern.h"
#include "platform/opengl.h"
#include "platform/system.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "scenes/scene_kit.h"
#include "scenes/scene_names.h"
#include "sequencing/scene_registry.h"
#include "sequencing/scene_set.h"
#include "sequencing/scene_state.h"
#include "sequencing/tracks.h"

#include <algorithm>
#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

namespace {

// The start-up's stages, one per step of the engine: everything up to the
// registration of the scenes, then each scene's preparation, then the wait
// for the music, then the frame timer.
enum Stage { STAGE_OBJECTS, STAGE_PREPARE, STAGE_SOUND_WAIT, STAGE_DONE };

void MakePlan() {
    engine.scenes.clear();
    for (const SceneDef* d = engine.library ? engine.library : zelkorSceneList.first; d;
         d = d->next) {
        StartupScene p = {d, -1, 0, nullptr, nullptr, 0};
        p.place = ShowScenePlace(d->name ? d->name : "", &p.order, &p.logLine);
        engine.scenes.push_back(p);
    }
    auto rank = [](int place, int value) { return place >= 0 ? value : SHOW_SCENE_COUNT + 1; };
    std::stable_sort(engine.scenes.begin(), engine.scenes.end(),
                     [&](const StartupScene& a, const StartupScene& b) {
                         return rank(a.place, a.place) < rank(b.place, b.place);
                     });
    engine.preparations.clear();
    for (size_t i = 0; i < engine.scenes.size(); i++) engine.preparations.push_back(i);
    std::stable_sort(engine.preparations.begin(), engine.preparations.end(),
                     [&](size_t a, size_t b) {
                         return rank(engine.scenes[a].place, engine.scenes[a].order) <
                                rank(engine.scenes[b].place, engine.scenes[b].order);
                     });
}

// Registers every scene with its record: kept, or made afresh (said in
// `restarted` when there was one before).
void RegisterAll(std::vector<std::string>* restarted) {
    MakePlan();
    RegisterScene(PreloadSceneName, PreloadScene);
    for (size_t i = 0; i < engine.scenes.size(); i++) {
        StartupScene& p = engine.scenes[i];
        const char* name = p.def->name ? p.def->name : "";
        int n = 0;
        for (size_t k = 0; k < i; k++)
            n += strcmp(engine.scenes[k].def->name ? engine.scenes[k].def->name : "", name) == 0;
        std::string why;
        p.slot = SceneState_Claim(p.def, n, &p.kept, &why);
        if (!p.slot) {
            g_shellLog->Print("%s: out of memory for its state", name);
            continue;
        }
        if (restarted && !why.empty())
            restarted->push_back(std::string(name) + " starts afresh: " + why);
        RegisterScene(name, p.def->draw, SceneState_Record(p.slot), p.slot);
    }
    RegisterScene(EndeSceneName, EndeScene);
}

void Prepare(size_t i) {
    const StartupScene& p = engine.scenes[engine.preparations[i]];
    if (p.logLine)
        g_shellLog->Print("%s", p.logLine);
    else
        g_shellLog->Print("Pre-Initializing %s", p.def->name);
    if (!p.slot || !p.def->prepare) return;
    SceneState_SetOwner(p.slot);
    int ok = p.def->prepare(SceneState_Record(p.slot), p.kept);
    SceneState_SetOwner(nullptr);
    // The production's routines are not checked.
    if (!ok && p.place < 0) g_shellLog->Print("%s: preparation failed", p.def->name);
}

// One line of a texture that did not load: in the log and on stderr.
void TextureProblem(const char* line) {
    if (g_shellLog) g_shellLog->Print("%s", line);
    fprintf(stderr, "%s%s\n", engine.config.quietErrors ? "" : "marovy: ", line);
}

} // namespace

const char* Engine_SoundProblem() {
    return engine.soundProblem.empty() ? nullptr : engine.soundProblem.c_str();
}

void ShowErrorBox(const char* text) {
    ZELKOR_ShowMessageBox("Marovy", text);
}

int64_t WindowProc(ZELKOR_Window* window, uint32_t message, uint32_t wParam, int64_t lParam) {
    if (message == ZELKOR_WM_DESTROY ||
        (message == ZELKOR_WM_KEYDOWN && wParam == ZELKOR_VK_ESCAPE))
        ZELKOR_PostQuitMessage(0);
    return ZELKOR_DefWindowProc(window, message, wParam, lParam);
}

// The working folder, for hints that name where the show looked.
static const char* Folder() {
    static char cwd[4096];
    return getcwd(cwd, sizeof cwd) ? cwd : ".";
}

// One stderr line beside a failed step's box: the cause and the way out.
__attribute__((format(printf, 1, 2))) static std::string Hint(const char* format, ...) {
    char line[8192];
    va_list args;
    va_start(args, format);
    vsnprintf(line, sizeof line, format, args);
    va_end(args);
    return line;
}

static int Fail(const char* text, const std::string& hint) {
    if (engine.config.quietErrors) {
        // The runner's commands say what to do themselves.
        fprintf(stderr, "%s\n", text);
    } else {
        // Before the box: it waits for OK, and the terminal should say why meanwhile.
        fprintf(stderr, "marovy: %s\n", hint.c_str());
        // The box says it too, below its own line, for a viewer without a terminal.
        std::string box = std::string(text) + "\n\n" + hint;
        ShowErrorBox(box.c_str());
    }
    engine.stage = STAGE_DONE;
    return STARTUP_FAILED;
}

static std::string ArchiveHint() {
    if (access("data.vkz", R_OK) != 0) {
        int why = errno;
        if (why == ENOENT)
            return Hint("no data.vkz in %s; run it from the show folder (build/show) or pass --dir",
                        Folder());
        return Hint("cannot read %s/data.vkz (%s); make it readable or pass --dir", Folder(),
                    strerror(why));
    }
    return Hint("%s/data.vkz is damaged or not a show archive; make the show again "
                "(cmake --build build --target show)",
                Folder());
}

static std::string OpenGLHint(const EngineConfig& c) {
    if (!g_opengl->ModeRefused())
        return Hint("no OpenGL context could be made (%s); install the system's OpenGL "
                    "drivers (Debian: libgl1-mesa-dri)",
                    ZELKOR_PlatformError());
    if (c.fullscreen == ZELKOR_FULLSCREEN_DESKTOP)
        return Hint("the desktop refused full screen (%s); run with --window",
                    ZELKOR_PlatformError());
    return Hint("the display refused the mode %dx%dx%d (%s); run with --desktop or --window",
                c.width, c.height, c.bitsPerPixel, ZELKOR_PlatformError());
}

void Startup_Begin() {
    g_shellLog = new ZELKOR_Log();
    g_window = new ZELKOR_Window();
    g_opengl = new ZELKOR_OpenGL();
    g_sound = new ZELKOR_Sound();
    g_camera = new ZELKOR_Camera();
    g_timer = new ZELKOR_Timer();
    // What the host asked for, before anything is initialised.
    g_opengl->SetRenderer(engine.config.renderer);
    if (engine.config.hidden) g_window->SetHidden(1);
    if (engine.config.clock) {
        g_sound->SetClockSource(engine.config.clock, engine.config.clockUser);
        g_timer->SetTickSource(engine.config.clock, engine.config.clockUser);
    }
    g_sound->SetStartTime(engine.config.startTime);
    SceneKit_SetReport(TextureProblem);
    engine.stage = STAGE_OBJECTS;
    engine.preparation = 0;
}

// Everything up to the registration of the scenes, one log line per step.
static int StartObjects() {
    const char* logPath = engine.config.logPath ? engine.config.logPath : "zelkor.log";
    if (!g_shellLog->Initialize(logPath)) {
        if (!engine.config.logOptional)
            return Fail("ERROR: ZELKOR_Log::Initialize()",
                        Hint("cannot write %s in %s (%s); run the show from a folder you may "
                             "write to, or pass --dir",
                             logPath, Folder(), ZELKOR_LogProblem(g_shellLog->OpenError())));
        fprintf(stderr,
                "%scannot write the log %s (%s); playing without it (set XDG_STATE_HOME to a "
                "folder you may write to)\n",
                engine.config.quietErrors ? "" : "marovy: ", logPath,
                ZELKOR_LogProblem(g_shellLog->OpenError()));
    }

    g_shellLog->Print("Opening VKZ archive");
    g_archive = VKZ_Open("data.vkz");
    if (!g_archive) return Fail("ERROR: VKZ_Open()", ArchiveHint());
    // The parameter tracks; without them (or with a damaged entry) the
    // scenes run on the values written in their code.
    ZK_Status tracks;
    if (Tracks_LoadArchive(g_archive, &tracks) < 0)
        fprintf(stderr, "%sdata.vkz: %s; the scenes use their own values\n",
                engine.config.quietErrors ? "" : "marovy: ", ZK_StatusText(tracks).c_str());

    g_shellLog->Print("Creating window");
    if (!g_window->Initialize(engine.config.instance, WindowProc, engine.config.width,
                              engine.config.height, engine.config.fullscreen, g_shellLog))
        return Fail("ERROR: ZELKOR_Window::Initialize()",
                    Hint("no window could be opened (%s); run it in a desktop session "
                         "(DISPLAY or WAYLAND_DISPLAY set)",
                         ZELKOR_PlatformError()));

    g_shellLog->Print("Initializing OpenGL");
    if (!g_opengl->Initialize(g_window, engine.config.bitsPerPixel, g_shellLog))
        return Fail("ERROR: ZELKOR_OpenGL::Initialize()", OpenGLHint(engine.config));

    g_shellLog->Print("Soundsystem:");
    engine.soundProblem.clear();
    if (engine.config.sound != ENGINE_SOUND_OFF) g_shellLog->Print("Initialize");
    if (engine.config.sound != ENGINE_SOUND_OFF && !g_sound->Initialize(g_shellLog)) {
        if (engine.config.sound != ENGINE_SOUND_IF_ANY)
            return Fail("ERROR: ZELKOR_Sound::Initialize()",
                        Hint("no audio output could be opened (%s); run with --no-sound to "
                             "watch without music",
                             ZELKOR_PlatformError()));
        engine.soundProblem = ZELKOR_PlatformError();
        if (engine.soundProblem.empty()) engine.soundProblem = "no reason given";
        g_shellLog->Print("No audio output (%s): the music clock runs silent",
                          engine.soundProblem.c_str());
    } else if (engine.config.sound != ENGINE_SOUND_OFF) {
        g_shellLog->Print("OpenStream");
        g_sound->OpenStream("sound.mp3");
        g_shellLog->Print("Deleting temp buffer");
        g_shellLog->Print("Playing stream");
        g_sound->PlayCurrentStream();
    }

    g_shellLog->Print("Camera initialize");
    g_camera->Initialize(0.0f, 0.0f, 0.0f, 0.0f, 0.0f, 0.0f, g_shellLog);
    g_shellLog->Print("Camera set position");
    g_camera->SetPosition(0.0f, 0.0f, 5.0f, 0.0f, 0.0f, 0.0f);
    g_shellLog->Print("Camera use");
    g_camera->Use();

    g_shellLog->Print("Registering scenes");
    SceneState_BeginClaims();
    RegisterAll(nullptr);
    engine.stage = STAGE_PREPARE;
    return STARTUP_MORE;
}

// One scene's preparation (its textures and scripts), then the wait's start.
static int PrepareNext() {
    if (engine.preparation < engine.preparations.size()) {
        Prepare(engine.preparation++);
        return STARTUP_MORE;
    }
    SceneState_EndClaims();
    g_shellLog->Print("Pre-Initializing done");
    g_shellLog->Print("Entering sound wait loop");
    engine.stage = STAGE_SOUND_WAIT;
    return STARTUP_MORE;
}

// One turn of the wait for the music's first 10 ms. Messages pumped here are
// not inspected: an early Escape is dropped.
static int WaitForSound() {
    if (g_sound->GetTime() < 10) {
        ZELKOR_Message waitMessage;
        g_window->PumpMessage(&waitMessage);
        return STARTUP_MORE;
    }
    g_shellLog->Print("Finished sound wait loop");
    g_shellLog->Print("Timer initialization");
    g_timer->Initialize(60, g_shellLog);
    g_shellLog->Print("Timer set begindemo");
    g_timer->SetBeginDemo();
    g_shellLog->Print("Returning");
    engine.stage = STAGE_DONE;
    return STARTUP_DONE;
}

void Startup_UseScenes(const SceneDef* scenes) {
    engine.library = scenes;
}

void Startup_ReplaceScenes(const SceneDef* scenes, std::vector<std::string>* restarted) {
    engine.library = scenes;
    ClearRegisteredScenes();
    DrawModern_Release(); // the programs and targets the scenes before made
    g_shellLog->Print("Registering scenes");
    SceneState_BeginClaims();
    RegisterAll(restarted);
    for (size_t i = 0; i < engine.preparations.size(); i++) Prepare(i);
    SceneState_EndClaims();
}

int Startup() {
    switch (engine.stage) {
    case STAGE_OBJECTS:
        return StartObjects();
    case STAGE_PREPARE:
        return PrepareNext();
    case STAGE_SOUND_WAIT:
        return WaitForSound();
    default:
        return STARTUP_DONE;
    }
}

template <class T> static void Release(T*& object) {
    if (!object) return;
    object->Shutdown();
    delete object;
    object = nullptr;
}

void Shutdown() {
    Release(g_timer);
    Release(g_sound);
    Release(g_camera);
    Release(g_opengl);
    Release(g_window);
    Release(g_shellLog);
    FreeSceneTables();
    SceneState_Clear();
    SceneKit_ForgetTextures();
    SceneKit_SetReport(nullptr);
    VKZ_Close(g_archive);
    g_archive = nullptr;
    engine.stage = STAGE_DONE;
}
