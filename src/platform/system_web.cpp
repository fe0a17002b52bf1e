// The system in a browser: the page's clock (performance.now), no sleeping on
// the page's one thread (the browser paces the frames), glibc's rand() (the
// C library here has another), and the message box as a message on the page
// (page.js: Module.page.messageBox).
#include "platform/system.h"

#include <emscripten.h>

#include <cstdio>
#include <cstring>

static char lastError[1024] = "browser: no error";

uint32_t ZELKOR_GetTicks() {
    return (uint32_t)(uint64_t)emscripten_get_now();
}

void ZELKOR_Sleep(uint32_t) {}

int ZELKOR_Rand() {
    return ZELKOR_GlibcRand();
}

void ZELKOR_RandSave(ZELKOR_RandState* state) {
    ZELKOR_GlibcRandSave(state);
}

void ZELKOR_RandRestore(const ZELKOR_RandState* state) {
    ZELKOR_GlibcRandRestore(state);
}

const char* ZELKOR_PlatformError() {
    return lastError;
}

void ZELKOR_SetPlatformError(const char* text) {
    snprintf(lastError, sizeof lastError, "browser: %s", text);
}

// clang-format off
EM_JS(void, ShowOnPage, (const char* caption, const char* text), {
    if (Module.page && Module.page.messageBox)
        Module.page.messageBox(UTF8ToString(caption), UTF8ToString(text));
});
// clang-format on

void ZELKOR_ShowMessageBox(const char* caption, const char* text) {
    fprintf(stderr, "%s: %s (%s)\n", caption, text, lastError);
    ShowOnPage(caption, text);
}
