// What the engine asks of the system beside its window: the tick count, a
// sleep, the C library's random numbers, the platform layer's last error and
// the message box. SDL on the
// desktop (system.cpp), the browser under Emscripten (system_web.cpp).
#pragma once
#include "core/api.h"

#include <cstdint>

// Milliseconds since some fixed point, wrapping at 2^32.
uint32_t ZELKOR_GetTicks();
void ZELKOR_Sleep(uint32_t ms);
// rand() as the desktop's C library (glibc) gives it, never seeded: the
// effects draw from it, so every build shows the same particles.
ZELKOR_API int ZELKOR_Rand();
// The same sequence computed here, for C libraries that have another rand().
int ZELKOR_GlibcRand();
// Where ZELKOR_Rand's sequence stands, copied out and put back (a run that
// goes back to an earlier frame draws the same numbers again).
struct ZELKOR_RandState {
    uint32_t words[36];
};
void ZELKOR_RandSave(ZELKOR_RandState* state);
void ZELKOR_RandRestore(const ZELKOR_RandState* state);
void ZELKOR_GlibcRandSave(ZELKOR_RandState* state);
void ZELKOR_GlibcRandRestore(const ZELKOR_RandState* state);
// The platform layer's last error, named by the layer ("SDL: ...").
const char* ZELKOR_PlatformError();
void ZELKOR_SetPlatformError(const char* text);
// Shows the modal box; where none can be shown, the text goes to stderr
// with the platform's error.
void ZELKOR_ShowMessageBox(const char* caption, const char* text);
