#include "engine/startup.h"

#include "archive/vkz.h"
#include "core/globals.h"
#include "core/log.h"
#include "engine/engine.h"
#include "music/sound.h"
#include "platform/camera.h"
#include "platform/draw_modern.h"
#include "platform/opengl.h"
#include "platform/system.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "scenes/scenes.h"
#include "sequencing/scene_registry.h"
#include "sequencing/tracks.h"
#include "sequencing/scene_set.h"

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

EngineConfig config;
int stage = STAGE_DONE;
size_t preparation = 0;
const SceneSet* ownScenes = nullptr; // a show's own, in place of the scene list
std::string soundProblem;            // why ENGINE_SOUND_IF_ANY went silent

void RegisterAll() {
    RegisterScene(PreloadSceneName, PreloadScene);
    if (ownScenes) {
        for (int i = 0; i < ownScenes->count; i++)
            RegisterScene(ownScenes->entries[i].name, ownScenes->entries[i].scene);
    } else {
        for (const SceneTableEntry& scene : SceneTable)
            if (scene.function) RegisterScene(scene.name, scene.function);
    }
    RegisterScene(EndeSceneName, EndeScene);
}

size_t PreparationCount() {
    return ownScenes ? (size_t)ownScenes->count : PrepareScenes.size();
}

void Prepare(size_t i) {
    if (!ownScenes) {
        const ScenePreparation& prep = PrepareScenes[i];
        g_shellLog->Print("%s", prep.logLine);
        if (prep.prepare) prep.prepare();
        return;
    }
    const SceneSetEntry& entry = ownScenes->entries[i];
    g_shellLog->Print("Pre-Initializing %s", entry.name);
    if (entry.prepare && !entry.prepare()) g_shellLog->Print("%s: preparation failed", entry.name);
}

} // namespace

const char* Engine_SoundProblem() {
    return soundProblem.empty() ? nullptr : soundProblem.c_str();
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
static char hintLine[8192];
__attribute__((format(printf, 1, 2))) static const char* Hint(const char* format, ...) {
    va_list args;
    va_start(args, format);
    vsnprintf(hintLine, sizeof hintLine, format, args);
    va_end(args);
    return hintLine;
}

static int Fail(const char* text, const char* hint) {
    if (config.quietErrors) {
        // The runner's commands say what to do themselves.
        fprintf(stderr, "%s\n", text);
    } else {
        // Before the box: it waits for OK, and the terminal should say why meanwhile.
        fprintf(stderr, "marovy: %s\n", hint);
        // The box says it too, below its own line, for a viewer without a terminal.
        std::string box = std::string(text) + "\n\n" + hint;
        ShowErrorBox(box.c_str());
    }
    stage = STAGE_DONE;
    return STARTUP_FAILED;
}

static const char* ArchiveHint() {
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

static const char* OpenGLHint(const EngineConfig& c) {
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

void Startup_Begin(const EngineConfig* c) {
    config = *c;
    g_shellLog = new ZELKOR_Log();
    g_window = new ZELKOR_Window();
    g_opengl = new ZELKOR_OpenGL();
    g_sound = new ZELKOR_Sound();
    g_camera = new ZELKOR_Camera();
    g_timer = new ZELKOR_Timer();
    // What the host asked for, before anything is initialised.
    g_opengl->SetRenderer(config.renderer);
    if (config.hidden) g_window->SetHidden(1);
    if (config.clock) {
        g_sound->SetClockSource(config.clock, config.clockUser);
        g_timer->SetTickSource(config.clock, config.clockUser);
    }
    g_sound->SetStartTime(config.startTime);
    stage = STAGE_OBJECTS;
    preparation = 0;
}

// Everything up to the registration of the scenes, one log line per step.
static int StartObjects() {
    const char* logPath = config.logPath ? config.logPath : "zelkor.log";
    if (!g_shellLog->Initialize(logPath)) {
        if (!config.logOptional)
            return Fail("ERROR: ZELKOR_Log::Initialize()",
                        Hint("cannot write %s in %s (%s); run the show from a folder you may "
                             "write to, or pass --dir",
                             logPath, Folder(), ZELKOR_LogProblem(g_shellLog->OpenError())));
        fprintf(stderr,
                "%scannot write the log %s (%s); playing without it (set XDG_STATE_HOME to a "
                "folder you may write to)\n",
                config.quietErrors ? "" : "marovy: ", logPath,
                ZELKOR_LogProblem(g_shellLog->OpenError()));
    }

    g_shellLog->Print("Opening VKZ archive");
    g_archive = VKZ_Open("data.vkz");
    if (!g_archive) return Fail("ERROR: VKZ_Open()", ArchiveHint());
    // The parameter tracks; without them (or with a damaged entry) the
    // scenes run on the values written in their code.
    std::string tracksError;
    if (Tracks_LoadArchive(g_archive, &tracksError) < 0)
        fprintf(stderr, "%sdata.vkz: %s; the scenes use their own values\n",
                config.quietErrors ? "" : "marovy: ", tracksError.c_str());

    g_shellLog->Print("Creating window");
    if (!g_window->Initialize(config.instance, WindowProc, config.width, config.height,
                              config.fullscreen, g_shellLog))
        return Fail("ERROR: ZELKOR_Window::Initialize()",
                    Hint("no window could be opened (%s); run it in a desktop session "
                         "(DISPLAY or WAYLAND_DISPLAY set)",
                         ZELKOR_PlatformError()));

    g_shellLog->Print("Initializing OpenGL");
    if (!g_opengl->Initialize(g_window, config.bitsPerPixel, g_shellLog))
        return Fail("ERROR: ZELKOR_OpenGL::Initialize()", OpenGLHint(config));

    g_shellLog->Print("Soundsystem:");
    soundProblem.clear();
    if (config.sound != ENGINE_SOUND_OFF) g_shellLog->Print("Initialize");
    if (config.sound != ENGINE_SOUND_OFF && !g_sound->Initialize(g_shellLog)) {
        if (config.sound != ENGINE_SOUND_IF_ANY)
            return Fail("ERROR: ZELKOR_Sound::Initialize()",
                        Hint("no audio output could be opened (%s); run with --no-sound to "
                             "watch without music",
                             ZELKOR_PlatformError()));
        soundProblem = ZELKOR_PlatformError();
        if (soundProblem.empty()) soundProblem = "no reason given";
        g_shellLog->Print("No audio output (%s): the music clock runs silent",
                          soundProblem.c_str());
    } else if (config.sound != ENGINE_SOUND_OFF) {
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
    RegisterAll();
    stage = STAGE_PREPARE;
    return STARTUP_MORE;
}

// One scene's preparation (its textures and scripts), then the wait's start.
static int PrepareNext() {
    if (preparation < PreparationCount()) {
        Prepare(preparation++);
        return STARTUP_MORE;
    }
    g_shellLog->Print("Pre-Initializing done");
    g_shellLog->Print("Entering sound wait loop");
    stage = STAGE_SOUND_WAIT;
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
    stage = STAGE_DONE;
    return STARTUP_DONE;
}

void Startup_UseScenes(const SceneSet* scenes) {
    ownScenes = scenes;
}

void Startup_ReplaceScenes(const SceneSet* scenes) {
    ownScenes = scenes;
    ClearRegisteredScenes();
    DrawModern_Release(); // the programs and targets the scenes before made
    g_shellLog->Print("Registering scenes");
    RegisterAll();
    for (size_t i = 0; i < PreparationCount(); i++) Prepare(i);
}

int Startup() {
    switch (stage) {
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
    VKZ_Close(g_archive);
    g_archive = nullptr;
    stage = STAGE_DONE;
}
