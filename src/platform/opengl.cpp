#include "platform/opengl.h"

#include "platform/window.h"

#include <SDL.h>
#include <GL/gl.h>
#include <GL/glu.h>

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
    return 0;
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
        if (!FindMode(display, window->GetWidth(), window->GetHeight(), colourBits, &mode))
            return 0;
        if (SDL_SetWindowDisplayMode(handle, &mode) != 0) return 0;
        if (SDL_SetWindowFullscreen(handle, SDL_WINDOW_FULLSCREEN) != 0) return 0;
        SDL_ShowCursor(SDL_DISABLE);
        cursorHidden = 1;
    }

    deviceContext = handle;
    SDL_GLContext context = SDL_GL_CreateContext(handle);
    if (!context) return 0;
    renderingContext = context;
    if (SDL_GL_MakeCurrent(handle, context) != 0) return 0;

    if (!(SDL_GetWindowFlags(handle) & SDL_WINDOW_HIDDEN)) SDL_ShowWindow(handle);

    SetPerspective(1000.0f, 45.0f);

    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_NORMALIZE);
    return 1;
}

int ZELKOR_OpenGL::SetPerspective(float farPlane, float fieldOfView) {
    int w = window->GetWidth(), h = window->GetHeight();
    glViewport(0, 0, w, h);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const float nearPlane = 0.1f; // widened to double as 0.10000000149011612
    gluPerspective(fieldOfView, (double)w / (double)h, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return 1;
}

void ZELKOR_OpenGL::BeginFrame() {
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glLoadIdentity();
}

void ZELKOR_OpenGL::EndFrame() {
    glFlush();
    if (deviceContext) SDL_GL_SwapWindow((SDL_Window*)deviceContext);
}

void ZELKOR_OpenGL::Shutdown() {
    if (window && window->GetHandle() && window->GetFullscreen() == 1) {
        if (cursorHidden) {
            SDL_ShowCursor(SDL_ENABLE);
            cursorHidden = 0;
        }
        SDL_SetWindowFullscreen(window->GetHandle(), 0); // back to the desktop mode
    }
    if (renderingContext) {
        if (window && window->GetHandle()) SDL_GL_MakeCurrent(window->GetHandle(), nullptr);
        SDL_GL_DeleteContext((SDL_GLContext)renderingContext);
        renderingContext = nullptr;
    }
    deviceContext = nullptr;
}
