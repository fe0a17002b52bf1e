// ZELKOR_OpenGL in a browser: a WebGL 2 context on the window's canvas, or
// WebGL 1 where there is no WebGL 2, drawn through the modern backend. The
// context keeps its drawing buffer between frames, as the desktop's back
// buffer keeps it, for the scenes that leave trails; the browser shows the
// frame when the step returns, so the swap is only a flush.
#include "platform/opengl.h"

#include "platform/system.h"
#include "platform/window.h"

#include <emscripten/html5.h>

#include <cstdint>
#include <cstdio>

static EMSCRIPTEN_WEBGL_CONTEXT_HANDLE CreateContext(int colourBits) {
    EmscriptenWebGLContextAttributes attributes;
    emscripten_webgl_init_context_attributes(&attributes);
    // RGB with a depth buffer, no stencil and no multisampling, as the show's
    // pixel format; colours are not premultiplied for the page behind.
    (void)colourBits;
    attributes.alpha = 0;
    attributes.depth = 1;
    attributes.stencil = 0;
    attributes.antialias = 0;
    attributes.premultipliedAlpha = 0;
    attributes.preserveDrawingBuffer = 1;
    attributes.majorVersion = 2;
    attributes.minorVersion = 0;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context =
        emscripten_webgl_create_context("#canvas", &attributes);
    if (context <= 0) {
        attributes.majorVersion = 1;
        context = emscripten_webgl_create_context("#canvas", &attributes);
    }
    return context;
}

int ZELKOR_OpenGL::Initialize(ZELKOR_Window* win, int bits, ZELKOR_Log* logger) {
    window = win;
    colourBits = bits;
    log = logger;
    if (!window) return 0;
    EMSCRIPTEN_WEBGL_CONTEXT_HANDLE context = CreateContext(colourBits);
    if (context <= 0) {
        ZELKOR_SetPlatformError("this browser gives the page no WebGL");
        return 0;
    }
    renderingContext = (void*)(intptr_t)context;
    if (emscripten_webgl_make_context_current(context) != EMSCRIPTEN_RESULT_SUCCESS) {
        ZELKOR_SetPlatformError("the WebGL context cannot be made current");
        return 0;
    }
    draw = Draw_ForRenderer(renderer);
    if (!draw->Start()) {
        char text[128];
        snprintf(text, sizeof text, "the %s renderer cannot run in WebGL", draw->name);
        ZELKOR_SetPlatformError(text);
        draw = Draw_Fixed();
        return 0;
    }
    drawStarted = 1;
    Draw_SetCurrent(draw);
    SetPerspective(1000.0f, 45.0f);
    draw->InitialState();
    return 1;
}

void ZELKOR_OpenGL::EndFrame() {
    draw->Flush();
}

void ZELKOR_OpenGL::Shutdown() {
    if (drawStarted) {
        draw->Stop();
        drawStarted = 0;
    }
    Draw_SetCurrent(nullptr);
    draw = Draw_Fixed();
    if (renderingContext) {
        emscripten_webgl_make_context_current(0);
        emscripten_webgl_destroy_context(
            (EMSCRIPTEN_WEBGL_CONTEXT_HANDLE)(intptr_t)renderingContext);
        renderingContext = nullptr;
    }
}
