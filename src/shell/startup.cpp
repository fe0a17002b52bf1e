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

#include <SDL.h>

#include <cstdio>
#include <cstring>

// The main loop's message record, zero-filled before the configuration step.
static ZELKOR_Message mainMessage;

void ShowErrorBox(const char* text) {
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

static int Fail(const StartupHooks* hooks, const char* text) {
    if (hooks && hooks->quietErrors)
        fprintf(stderr, "%s\n", text);
    else
        ShowErrorBox(text);
    return -1;
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
    if (!g_shellLog->Initialize(logPath)) return Fail(hooks, "ERROR: ZELKOR_Log::Initialize()");

    g_shellLog->Print("Opening VKZ archive");
    g_archive = VKZ_Open("data.vkz");
    if (!g_archive) return Fail(hooks, "ERROR: VKZ_Open()");

    const DisplayMode& mode = modeTable[g_settings.modeIndex];
    g_shellLog->Print("Creating window");
    if (!g_window->Initialize(instance, WindowProc, (int)mode.width, (int)mode.height,
                              g_settings.fullscreen, g_shellLog))
        return Fail(hooks, "ERROR: ZELKOR_Window::Initialize()");

    g_shellLog->Print("Initializing OpenGL");
    if (!g_opengl->Initialize(g_window, (int)mode.bitsPerPixel, g_shellLog))
        return Fail(hooks, "ERROR: ZELKOR_OpenGL::Initialize()");

    g_shellLog->Print("Soundsystem:");
    if (g_settings.soundEnabled == 1) {
        g_shellLog->Print("Initialize");
        if (!g_sound->Initialize(g_shellLog))
            return Fail(hooks, "ERROR: ZELKOR_Sound::Initialize()");
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
            break;
        }
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
