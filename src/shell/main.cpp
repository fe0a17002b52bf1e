// marovy: the show. No command line; everything it reads is in the working folder.
#include "shell/startup.h"

#include <SDL.h>

int main(int, char**) {
    SDL_SetMainReady();
    int code = MarovyMain(nullptr);
    SDL_Quit();
    return code;
}
