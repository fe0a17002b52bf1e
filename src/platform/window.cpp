#include "platform/window.h"

#include "platform/stop_signals.h"

#include <SDL.h>

#include <cstring>

// The quit message travels through SDL's queue as an event of our own type, so
// it arrives in order with the input that caused it.
static Uint32 QuitEventType() {
    static Uint32 type = 0;
    if (type == 0) type = SDL_RegisterEvents(1);
    return type;
}

void ZELKOR_PostQuitMessage(int exitCode) {
    Uint32 type = QuitEventType();
    if (type == (Uint32)-1) return;
    SDL_Event ev;
    SDL_zero(ev);
    ev.type = type;
    ev.user.code = exitCode;
    SDL_PushEvent(&ev);
}

int ZELKOR_StartVideo() {
    SDL_SetHintWithPriority(SDL_HINT_VIDEODRIVER, "x11,wayland,windows,cocoa", SDL_HINT_DEFAULT);
    return SDL_InitSubSystem(SDL_INIT_VIDEO) == 0;
}

void ZELKOR_StopVideo() {
    SDL_QuitSubSystem(SDL_INIT_VIDEO);
}

int64_t ZELKOR_DefWindowProc(ZELKOR_Window*, uint32_t, uint32_t, int64_t) {
    return 0;
}

// Windows virtual-key codes for the keys the show cares about; letters and
// digits map to their upper-case ASCII codes as on Windows.
static uint32_t VirtualKey(SDL_Keycode sym) {
    if (sym == SDLK_ESCAPE) return ZELKOR_VK_ESCAPE;
    if (sym == SDLK_RETURN) return 13;
    if (sym == SDLK_SPACE) return 32;
    if (sym >= 'a' && sym <= 'z') return (uint32_t)(sym - 'a' + 'A');
    if (sym >= '0' && sym <= '9') return (uint32_t)sym;
    return (uint32_t)(sym & 0xFF) | 0x100u;
}

static void Translate(const SDL_Event& ev, ZELKOR_Message* msg) {
    memset(msg, 0, sizeof(*msg));
    if (ev.type == QuitEventType()) {
        msg->message = ZELKOR_WM_QUIT;
        msg->wParam = (uint32_t)ev.user.code;
        return;
    }
    switch (ev.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        msg->message = ev.type == SDL_KEYDOWN ? ZELKOR_WM_KEYDOWN : ZELKOR_WM_KEYUP;
        msg->wParam = VirtualKey(ev.key.keysym.sym);
        msg->lParam = ev.key.repeat ? (1 << 30) : 0;
        break;
    case SDL_QUIT:
        // The close box (or the desktop ending the session) destroys the window.
        msg->message = ZELKOR_WM_DESTROY;
        break;
    case SDL_WINDOWEVENT:
        if (ev.window.event == SDL_WINDOWEVENT_CLOSE) msg->message = ZELKOR_WM_DESTROY;
        break;
    default:
        break;
    }
}

int ZELKOR_Window::Initialize(void* inst, ZELKOR_WindowProc proc, int w, int h, int full,
                              ZELKOR_Log* logger) {
    instance = inst;
    procedure = proc;
    width = w;
    height = h;
    fullscreen = full;
    log = logger;

    if (!ZELKOR_StartVideo()) return 0;
    videoStarted = 1;
    QuitEventType();

    // X11 picks the visual when the window is made, so the pixel-format basics
    // (double buffer, 16-bit depth, compatibility profile) are requested here;
    // the OpenGL context adds the colour depth of the mode.
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_STENCIL_SIZE, 0);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);

    Uint32 flags = SDL_WINDOW_OPENGL | (hidden ? SDL_WINDOW_HIDDEN : SDL_WINDOW_SHOWN);
    if (fullscreen) {
        handle = SDL_CreateWindow("ZELKOR", 0, 0, width, height, flags | SDL_WINDOW_BORDERLESS);
    } else {
        handle = SDL_CreateWindow("ZELKOR", 30, 30, width, height, flags);
        if (handle) {
            // SDL sizes the client area; the show's mode is the outer size, so
            // take the frame off when the window manager reports one.
            int top = 0, left = 0, bottom = 0, right = 0;
            if (SDL_GetWindowBordersSize(handle, &top, &left, &bottom, &right) == 0 &&
                (top | left | bottom | right) != 0) {
                int cw = width - left - right, ch = height - top - bottom;
                SDL_SetWindowSize(handle, cw > 1 ? cw : 1, ch > 1 ? ch : 1);
                SDL_SetWindowPosition(handle, 30 + left, 30 + top);
            }
        }
    }
    return handle ? 1 : 0;
}

int64_t ZELKOR_Window::PumpMessage(ZELKOR_Message* msg) {
    // Once a stop signal has come, every pump delivers the quit message, so
    // a pump that drops it (the start-up's wait) loses nothing.
    if (ZELKOR_StopSignal()) {
        memset(msg, 0, sizeof(*msg));
        msg->message = ZELKOR_WM_QUIT;
        return 0;
    }
    SDL_Event ev;
    if (!SDL_PollEvent(&ev)) {
        memset(msg, 0, sizeof(*msg));
        return 0;
    }
    Translate(ev, msg);
    // The quit message belongs to no window: it is returned, not dispatched.
    if (msg->message == ZELKOR_WM_QUIT || msg->message == 0 || !procedure) return 0;
    return procedure(this, msg->message, msg->wParam, msg->lParam);
}

void ZELKOR_Window::Shutdown() {
    if (handle) {
        SDL_DestroyWindow(handle);
        handle = nullptr;
    }
    if (videoStarted) {
        ZELKOR_StopVideo();
        videoStarted = 0;
    }
}
