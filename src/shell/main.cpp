// marovy: the show. Without options the configuration dialog comes first and
// everything is read from the working folder; see --help for the others.
#include "options.h"
#include "shell/config_dialog.h"
#include "shell/settings.h"
#include "shell/startup.h"
#include "shell/stop_signals.h"

#include <SDL.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

static MarovyOptions options;

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
    Shell_StopSignalsEndShow(1);
    return 0;
}

int main(int argc, char** argv) {
    int code = ParseMarovyOptions(argc, argv, &options);
    if (code >= 0) return code;
    if (options.dir && chdir(options.dir) != 0) {
        fprintf(stderr, "marovy: %s: cannot enter the show folder: %s\n", options.dir,
                strerror(errno));
        return -1;
    }
    SDL_SetMainReady();
    // Ours instead of SDL's, which a waiting message box never answers.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    Shell_CatchStopSignals();
    code = MarovyMain(nullptr, Configure);
    SDL_Quit();
    if (int sig = Shell_StopSignal()) code = 128 + sig;
    return code;
}
