#include "platform/system.h"

#include <cstring>

// glibc's rand() from its unseeded state (srand(1)): an additive feedback
// generator r[i] = r[i-3] + r[i-31] over 34 words made from the seed by
// 16807 x mod 2^31 - 1, its first 310 outputs dropped, each output r[i] >> 1.
static struct {
    uint32_t r[34];
    int next = -1; // -1 before the first call
} glibc;

int ZELKOR_GlibcRand() {
    uint32_t* r = glibc.r;
    int& next = glibc.next;
    if (next < 0) {
        r[0] = 1;
        for (int i = 1; i < 31; i++) r[i] = (uint32_t)((16807ull * r[i - 1]) % 2147483647u);
        for (int i = 31; i < 34; i++) r[i] = r[i - 31];
        next = 0; // r[next] is r[i - 34], the oldest word kept
        for (int i = 34; i < 344; i++) {
            r[next] = r[(next + 3) % 34] + r[(next + 31) % 34];
            next = (next + 1) % 34;
        }
    }
    uint32_t value = r[(next + 3) % 34] + r[(next + 31) % 34];
    r[next] = value;
    next = (next + 1) % 34;
    return (int)(value >> 1);
}

void ZELKOR_GlibcRandSave(ZELKOR_RandState* state) {
    static_assert(sizeof state->words >= sizeof glibc.r + sizeof(uint32_t), "room for the words");
    memcpy(state->words, glibc.r, sizeof glibc.r);
    state->words[34] = (uint32_t)glibc.next;
}

void ZELKOR_GlibcRandRestore(const ZELKOR_RandState* state) {
    memcpy(glibc.r, state->words, sizeof glibc.r);
    glibc.next = (int)state->words[34];
}
