// marovy: the show. Without options the configuration dialog comes first and
// everything is read from the working folder; see --help for the others.
#include "options.h"

#include "core/globals.h"
#include "core/log.h"
#include "engine/engine.h"
#include "engine/show_folder.h"
#include "shell/config_dialog.h"
#include "shell/settings.h"
#include "platform/stop_signals.h"

#include <SDL.h>

static int Configure(const MarovyOptions& options) {
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
static int MarovyMain(const MarovyOptions& options, const ShowFolder& folder) {
    int result = Configure(options);
    if (result != 0) return result;
    const DisplayMode& mode = modeTable[g_settings.modeIndex];
    EngineConfig config;
    config.width = (int)mode.width, config.height = (int)mode.height;
    config.bitsPerPixel = (int)mode.bitsPerPixel;
    config.fullscreen = g_settings.fullscreen;
    config.sound = g_settings.soundEnabled;
    config.renderer = options.renderer;
    config.logPath = folder.log.c_str();
    config.logOptional = folder.logOptional;
    if (Engine_StartUp(&config) == ENGINE_FAILED) {
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
    MarovyOptions options;
    int code = ParseMarovyOptions(argc, argv, &options);
    if (code >= 0) return code;
    // An installed marovy keeps its show in ../share/marovy beside its own
    // folder: without --dir, and with no show in the working folder, it plays
    // that one, its log in the user's state folder. A folder that cannot be
    // entered is said at once, before the dialog.
    ShowFolder folder;
    folder.program = "marovy";
    folder.beside = "../share/marovy";
    folder.installed = 1;
    Show_FindFolder(&folder, options.dir);
    if (!Show_EnterFolder(&folder)) return -1;
    Show_TakeStopSignals();
    code = MarovyMain(options, folder);
    SDL_Quit();
    if (int sig = ZELKOR_StopSignal()) code = 128 + sig;
    return code;
}
