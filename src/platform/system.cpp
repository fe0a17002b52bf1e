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
static struct {
    alignas(4) char arrays[2][128];
    int current = -1; // which array setstate() last took; -1 before the take-over
} randState;

static void TakeOverRandState() {
    if (randState.current >= 0) return;
    alignas(4) static char scratch[128];
    char* library = initstate(1, scratch, sizeof scratch);
    memcpy(randState.arrays[0], library, sizeof randState.arrays[0]);
    setstate(randState.arrays[0]);
    randState.current = 0;
}

void ZELKOR_RandSave(ZELKOR_RandState* state) {
    static_assert(sizeof state->words >= sizeof randState.arrays[0], "room for the array");
    TakeOverRandState();
    setstate(randState.arrays[randState.current]); // writes the position into the array
    memcpy(state->words, randState.arrays[randState.current], sizeof randState.arrays[0]);
}

void ZELKOR_RandRestore(const ZELKOR_RandState* state) {
    TakeOverRandState();
    randState.current = 1 - randState.current;
    memcpy(randState.arrays[randState.current], state->words, sizeof randState.arrays[0]);
    setstate(randState.arrays[randState.current]);
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
