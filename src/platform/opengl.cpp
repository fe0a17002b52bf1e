#include "platform/opengl.h"

#include "platform/window.h"

#include <SDL.h>

#include <cmath>

static int SameMode(const SDL_DisplayMode& mode, int w, int h, int bits) {
    return mode.w == w && mode.h == h && (int)SDL_BITSPERPIXEL(mode.format) == bits;
}

// Finds the display mode width x height x bits on the window's display; the
// show asks for exactly that mode, as the mode list offered it. The desktop
// mode is checked too: X servers without mode switching sometimes report
// their single mode as 0x0 in the list.
static int FindMode(int displayIndex, int w, int h, int bits, SDL_DisplayMode* out) {
    if (SDL_GetDesktopDisplayMode(displayIndex, out) == 0 && SameMode(*out, w, h, bits)) return 1;
    int count = SDL_GetNumDisplayModes(displayIndex);
    for (int i = 0; i < count; i++) {
        if (SDL_GetDisplayMode(displayIndex, i, out) == 0 && SameMode(*out, w, h, bits)) return 1;
    }
    SDL_SetError("the display has no mode %dx%dx%d", w, h, bits);
    return 0;
}

// The fixed backend draws in the compatibility context SDL makes by default.
// The modern one asks for a 3.3 core context, else GLES 3.0, else GLES 2.0,
// else GL 2.1.
static SDL_GLContext CreateContext(SDL_Window* handle, int renderer) {
    if (renderer != DRAW_MODERN) return SDL_GL_CreateContext(handle);
    static const int versions[4][3] = {
        {SDL_GL_CONTEXT_PROFILE_CORE, 3, 3},
        {SDL_GL_CONTEXT_PROFILE_ES, 3, 0},
        {SDL_GL_CONTEXT_PROFILE_ES, 2, 0},
        {SDL_GL_CONTEXT_PROFILE_COMPATIBILITY, 2, 1},
    };
    int saved[3] = {0, 0, 0};
    SDL_GL_GetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, &saved[0]);
    SDL_GL_GetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, &saved[1]);
    SDL_GL_GetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, &saved[2]);
    SDL_GLContext context = nullptr;
    for (const int* v : versions) {
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, v[0]);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, v[1]);
        SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, v[2]);
        if ((context = SDL_GL_CreateContext(handle))) break;
    }
    // Later contexts (a test's second window) are made as before.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, saved[0]);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, saved[1]);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, saved[2]);
    return context;
}

int ZELKOR_OpenGL::Initialize(ZELKOR_Window* win, int bits, ZELKOR_Log* logger) {
    window = win;
    colourBits = bits;
    log = logger;
    if (!window || !window->GetHandle()) return 0;
    SDL_Window* handle = window->GetHandle();

    // RGBA with the mode's colour depth, no alpha, accumulation or stencil bits.
    int r = 8, g = 8, b = 8;
    if (colourBits <= 16) r = 5, g = 6, b = 5;
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, r);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, g);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, b);
    SDL_GL_SetAttribute(SDL_GL_ALPHA_SIZE, 0);

    if (window->GetFullscreen() == 1) {
        SDL_DisplayMode mode;
        int display = SDL_GetWindowDisplayIndex(handle);
        if (display < 0) display = 0;
        modeRefused = 1;
        if (!FindMode(display, window->GetWidth(), window->GetHeight(), colourBits, &mode))
            return 0;
        if (SDL_SetWindowDisplayMode(handle, &mode) != 0) return 0;
        if (SDL_SetWindowFullscreen(handle, SDL_WINDOW_FULLSCREEN) != 0) return 0;
        modeRefused = 0;
        SDL_ShowCursor(SDL_DISABLE);
        cursorHidden = 1;
    } else if (window->GetFullscreen() == ZELKOR_FULLSCREEN_DESKTOP) {
        if (SDL_SetWindowFullscreen(handle, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            modeRefused = 1;
            return 0;
        }
        SDL_ShowCursor(SDL_DISABLE);
        cursorHidden = 1;
    }

    deviceContext = handle;
    SDL_GLContext context = CreateContext(handle, renderer);
    if (!context) return 0;
    renderingContext = context;
    if (SDL_GL_MakeCurrent(handle, context) != 0) return 0;
    draw = Draw_ForRenderer(renderer);
    if (!draw->Start()) {
        SDL_SetError("the %s renderer cannot run in this OpenGL context", draw->name);
        draw = Draw_Fixed();
        return 0;
    }
    drawStarted = 1;
    Draw_SetCurrent(draw);

    if (!(SDL_GetWindowFlags(handle) & SDL_WINDOW_HIDDEN)) SDL_ShowWindow(handle);

    SetPerspective(1000.0f, 45.0f);
    draw->InitialState();
    return 1;
}

void ZELKOR_OpenGL::EndFrame() {
    draw->Flush();
    if (deviceContext) SDL_GL_SwapWindow((SDL_Window*)deviceContext);
}

void ZELKOR_OpenGL::Shutdown() {
    int full = window && window->GetHandle() ? window->GetFullscreen() : 0;
    if (full == 1 || full == ZELKOR_FULLSCREEN_DESKTOP) {
        if (cursorHidden) {
            SDL_ShowCursor(SDL_ENABLE);
            cursorHidden = 0;
        }
        SDL_SetWindowFullscreen(window->GetHandle(), 0); // back to the desktop mode
    }
    if (drawStarted) {
        draw->Stop();
        drawStarted = 0;
    }
    Draw_SetCurrent(nullptr);
    draw = Draw_Fixed();
    if (renderingContext) {
        if (window && window->GetHandle()) SDL_GL_MakeCurrent(window->GetHandle(), nullptr);
        SDL_GL_DeleteContext((SDL_GLContext)renderingContext);
        renderingContext = nullptr;
    }
    deviceContext = nullptr;
}
