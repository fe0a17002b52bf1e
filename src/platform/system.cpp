#include "platform/system.h"

#include "platform/message.h"
#include "platform/stop_signals.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>

uint32_t ZELKOR_GetTicks() {
    return SDL_GetTicks();
}

void ZELKOR_Sleep(uint32_t ms) {
    SDL_Delay(ms);
}

int ZELKOR_Rand() {
    return rand();
}

const char* ZELKOR_PlatformError() {
    static char text[1024];
    snprintf(text, sizeof text, "SDL: %s", SDL_GetError());
    return text;
}

void ZELKOR_SetPlatformError(const char* text) {
    SDL_SetError("%s", text);
}

void ZELKOR_ShowMessageBox(const char* caption, const char* text) {
    // The box waits for OK: a signal must not wait with it.
    ZELKOR_StopSignalsEndShow(0);
    // The box needs the video subsystem, which a failed step may not have started.
    int started = ZELKOR_StartVideo();
    if (!started || SDL_ShowSimpleMessageBox(0, caption, text, nullptr) != 0)
        fprintf(stderr, "%s: %s (%s)\n", caption, text, SDL_GetError());
    if (started) ZELKOR_StopVideo();
}
