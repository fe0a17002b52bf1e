#include "shell/startup.h"

#include "archive/vkz.h"
#include "music/sound.h"
#include "platform/camera.h"
#include "platform/opengl.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "scenes/scenes.h"
#include "sequencing/scene_registry.h"
#include "shell/globals.h"
#include "shell/log.h"
#include "shell/settings.h"
#include "shell/stop_signals.h"

#include <SDL.h>

#include <cerrno>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>

// The main loop's message record, zero-filled before the configuration step.
static ZELKOR_Message mainMessage;

void ShowErrorBox(const char* text) {
    // The box waits for OK: a signal must not wait with it.
    Shell_StopSignalsEndShow(0);
    // The box needs the video subsystem, which a failed step may not have started.
    int started = ZELKOR_StartVideo();
    if (!started || SDL_ShowSimpleMessageBox(0, "Marovy", text, nullptr) != 0)
        fprintf(stderr, "Marovy: %s (%s)\n", text, SDL_GetError());
    if (started) ZELKOR_StopVideo();
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

static int Fail(const StartupHooks* hooks, const char* text, const char* hint) {
    if (hooks && hooks->quietErrors) {
        // The runner's commands say what to do themselves.
        fprintf(stderr, "%s\n", text);
    } else {
        // Before the box: it waits for OK, and the terminal should say why meanwhile.
        fprintf(stderr, "marovy: %s\n", hint);
        // The box says it too, below its own line, for a viewer without a terminal.
        std::string box = std::string(text) + "\n\n" + hint;
        ShowErrorBox(box.c_str());
    }
    return -1;
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

static const char* OpenGLHint(const DisplayMode& mode) {
    if (!g_opengl->ModeRefused())
        return Hint("no OpenGL context could be made (SDL: %s); install the system's OpenGL "
                    "drivers (Debian: libgl1-mesa-dri)",
                    SDL_GetError());
    if (g_settings.fullscreen == ZELKOR_FULLSCREEN_DESKTOP)
        return Hint("the desktop refused full screen (SDL: %s); run with --window", SDL_GetError());
    return Hint("the display refused the mode %ux%ux%u (SDL: %s); run with --desktop or --window",
                mode.width, mode.height, mode.bitsPerPixel, SDL_GetError());
}

int Startup(void* instance, const StartupHooks* hooks) {
    g_shellLog = new ZELKOR_Log();
    g_window = new ZELKOR_Window();
    g_opengl = new ZELKOR_OpenGL();
    g_sound = new ZELKOR_Sound();
    g_camera = new ZELKOR_Camera();
    g_timer = new ZELKOR_Timer();
    if (hooks && hooks->configure) hooks->configure(hooks->user);

    const char* logPath = hooks && hooks->logPath ? hooks->logPath : "zelkor.log";
    if (!g_shellLog->Initialize(logPath))
        return Fail(hooks, "ERROR: ZELKOR_Log::Initialize()",
                    Hint("cannot write %s in %s (%s); run the show from a folder you may "
                         "write to, or pass --dir",
                         logPath, Folder(), ZELKOR_LogProblem(g_shellLog->OpenError())));

    g_shellLog->Print("Opening VKZ archive");
    g_archive = VKZ_Open("data.vkz");
    if (!g_archive) return Fail(hooks, "ERROR: VKZ_Open()", ArchiveHint());

    const DisplayMode& mode = modeTable[g_settings.modeIndex];
    g_shellLog->Print("Creating window");
    if (!g_window->Initialize(instance, WindowProc, (int)mode.width, (int)mode.height,
                              g_settings.fullscreen, g_shellLog))
        return Fail(hooks, "ERROR: ZELKOR_Window::Initialize()",
                    Hint("no window could be opened (SDL: %s); run it in a desktop session "
                         "(DISPLAY or WAYLAND_DISPLAY set)",
                         SDL_GetError()));

    g_shellLog->Print("Initializing OpenGL");
    if (!g_opengl->Initialize(g_window, (int)mode.bitsPerPixel, g_shellLog))
        return Fail(hooks, "ERROR: ZELKOR_OpenGL::Initialize()", OpenGLHint(mode));

    g_shellLog->Print("Soundsystem:");
    if (g_settings.soundEnabled == 1) {
        g_shellLog->Print("Initialize");
        if (!g_sound->Initialize(g_shellLog))
            return Fail(hooks, "ERROR: ZELKOR_Sound::Initialize()",
                        Hint("no audio output could be opened (SDL: %s); run with --no-sound to "
                             "watch without music",
                             SDL_GetError()));
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
    RegisterScene("preload", PreloadScene);
    for (const SceneTableEntry& scene : SceneTable)
        if (scene.function) RegisterScene(scene.name, scene.function);
    RegisterScene("ende", EndeScene);

    for (const ScenePreparation& prep : PrepareScenes) {
        g_shellLog->Print("%s", prep.logLine);
        if (prep.prepare) prep.prepare();
    }
    g_shellLog->Print("Pre-Initializing done");

    // Messages pumped here are not inspected: an early Escape is dropped.
    g_shellLog->Print("Entering sound wait loop");
    ZELKOR_Message waitMessage;
    while (g_sound->GetTime() < 10) g_window->PumpMessage(&waitMessage);
    g_shellLog->Print("Finished sound wait loop");

    g_shellLog->Print("Timer initialization");
    g_timer->Initialize(60, g_shellLog);
    g_shellLog->Print("Timer set begindemo");
    g_timer->SetBeginDemo();
    g_shellLog->Print("Returning");
    return 0;
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
}

void RunFrameLoop() {
    // The quit test comes before each frame, so the frame that pumped the quit
    // message still completes.
    while (mainMessage.message != ZELKOR_WM_QUIT) {
        g_timer->BeginFrame();
        g_window->PumpMessage(&mainMessage);
        if (!SceneDispatcher()) {
            g_shellLog->Print("SceneDispatcher encountered error");
            fprintf(stderr,
                    "marovy: %s/data.vkz holds no readable timetable (default.tmg); make the "
                    "archive again (zelkor tmg compile, zelkor vkz create)\n",
                    Folder());
            break;
        }
        g_opengl->ClearBars();
        g_opengl->EndFrame();
        g_timer->EndFrame();
    }
}

int MarovyMain(void* instance, int (*configure)()) {
    memset(&mainMessage, 0, sizeof(mainMessage));
    int result = configure();
    if (result != 0) return result;
    if (Startup(instance) == -1) {
        Shutdown();
        return -1;
    }
    g_shellLog->Print("Entering mainloop");
    RunFrameLoop();
    Shutdown();
    return 0;
}
