#include "platform/system.h"

#include "platform/message.h"
#include "platform/stop_signals.h"

#include <SDL.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

uint32_t ZELKOR_GetTicks() {
    return SDL_GetTicks();
}

void ZELKOR_Sleep(uint32_t ms) {
    SDL_Delay(ms);
}

int ZELKOR_Rand() {
    return rand();
}

// glibc's generator keeps its position in the first word of its state array
// whenever setstate() leaves that array. The library's own array is copied
// into one of ours on the first use; from then on a position is the array
// copied out, and putting it back is setstate() on the other of our two.
alignas(4) static char randArrays[2][128];
static int randArray = -1;

static void TakeOverRandState() {
    if (randArray >= 0) return;
    alignas(4) static char scratch[128];
    char* library = initstate(1, scratch, sizeof scratch);
    memcpy(randArrays[0], library, sizeof randArrays[0]);
    setstate(randArrays[0]);
    randArray = 0;
}

void ZELKOR_RandSave(ZELKOR_RandState* state) {
    static_assert(sizeof state->words >= sizeof randArrays[0], "room for the array");
    TakeOverRandState();
    setstate(randArrays[randArray]); // writes the position into the array
    memcpy(state->words, randArrays[randArray], sizeof randArrays[0]);
}

void ZELKOR_RandRestore(const ZELKOR_RandState* state) {
    TakeOverRandState();
    randArray = 1 - randArray;
    memcpy(randArrays[randArray], state->words, sizeof randArrays[0]);
    setstate(randArrays[randArray]);
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
