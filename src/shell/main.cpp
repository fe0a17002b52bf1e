// marovy: the show. No command line; everything it reads is in the working folder.
#include "shell/config_dialog.h"
#include "shell/startup.h"

#include <SDL.h>

int main(int, char**) {
    SDL_SetMainReady();
    int code = MarovyMain(nullptr, RunConfigDialog);
    SDL_Quit();
    return code;
}
