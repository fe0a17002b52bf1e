// marovy: the show. Without options the configuration dialog comes first and
// everything is read from the working folder; see --help for the others.
#include "options.h"

#include "core/globals.h"
#include "core/log.h"
#include "engine/engine.h"
#include "shell/config_dialog.h"
#include "shell/settings.h"
#include "platform/stop_signals.h"

#include <SDL.h>

#include <cerrno>
#include <cstdio>
#include <climits>
#include <cstring>
#include <string>
#include <unistd.h>

static MarovyOptions options;
static std::string logPath; // empty: "zelkor.log" in the show folder

// An installed marovy keeps its show in ../share/marovy beside its own
// folder: without --dir, and with no show in the working folder, it plays
// that one. Its log then goes to the user's state folder (the working
// folder when there is none), never into the installed show.
static void FindInstalledShow() {
    if (options.dir || access("data.vkz", F_OK) == 0) return;
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return;
    std::string own(exe, (size_t)n);
    std::string show = own.substr(0, own.rfind('/') + 1) + "../share/marovy";
    if (access((show + "/data.vkz").c_str(), R_OK) != 0) return;
    char cwd[PATH_MAX];
    logPath = ZELKOR_StateLogPath();
    if (logPath.empty() && getcwd(cwd, sizeof cwd)) logPath = std::string(cwd) + "/zelkor.log";
    if (chdir(show.c_str()) != 0) logPath.clear();
}

static int Configure() {
    if (options.screen == MAROVY_DIALOG) {
        int result = RunConfigDialog();
        if (result != 0) return result;
    } else if (!ApplyScreenOption(options)) {
        return -1;
    }
    // After the dialog, whose (disabled) Sound box is always checked.
    if (options.noSound) g_settings.soundEnabled = 0;
    // The show is starting: a signal now ends it as Escape does.
    ZELKOR_StopSignalsEndShow(1);
    return 0;
}

// The whole program: configuration (the dialog: 0 to start, anything else is
// returned at once), start-up, frames until the show ends, shutdown.
static int MarovyMain() {
    int result = Configure();
    if (result != 0) return result;
    const DisplayMode& mode = modeTable[g_settings.modeIndex];
    EngineConfig config;
    config.width = (int)mode.width, config.height = (int)mode.height;
    config.bitsPerPixel = (int)mode.bitsPerPixel;
    config.fullscreen = g_settings.fullscreen;
    config.sound = g_settings.soundEnabled;
    config.renderer = options.renderer;
    if (!logPath.empty()) config.logPath = logPath.c_str();
    config.logOptional = !logPath.empty();
    Engine_Start(&config);
    int state;
    while ((state = Engine_Step(nullptr)) == ENGINE_STARTING) {
    }
    if (state == ENGINE_FAILED) {
        Engine_Stop();
        return -1;
    }
    g_shellLog->Print("Entering mainloop");
    while (Engine_Step(nullptr) == ENGINE_RUNNING) {
    }
    Engine_Stop();
    return 0;
}

int main(int argc, char** argv) {
    int code = ParseMarovyOptions(argc, argv, &options);
    if (code >= 0) return code;
    // Before the dialog: a folder that cannot be entered is said at once.
    if (options.dir && chdir(options.dir) != 0) {
        fprintf(stderr, "marovy: %s: cannot enter the show folder: %s\n", options.dir,
                strerror(errno));
        return -1;
    }
    FindInstalledShow();
    SDL_SetMainReady();
    // Ours instead of SDL's, which a waiting message box never answers.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    ZELKOR_CatchStopSignals();
    code = MarovyMain();
    SDL_Quit();
    if (int sig = ZELKOR_StopSignal()) code = 128 + sig;
    return code;
}
