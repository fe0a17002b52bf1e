// ZELKOR_Window in a browser: the page's canvas ("#canvas"), which the page
// lays out; its drawing buffer has the canvas's size on the page times the
// device pixel ratio. Key presses reach the message pump through a queue,
// in order, with the quit message among them.
#include "platform/window.h"

#include "platform/window_web.h"

#include <emscripten/html5.h>

#include <cmath>
#include <cstring>
#include <deque>

namespace {

const char* const canvas = "#canvas";
// The page's window: its key presses in order, and the drawing buffer's
// size (a hidden window's is the one asked for).
struct Page {
    std::deque<ZELKOR_Message> queue;
    int hidden = 0;
    int drawableWidth = 0, drawableHeight = 0;
};
Page page;

// Windows virtual-key codes are the DOM's key codes for the keys the show
// cares about (Escape, Enter, Space, letters, digits).
EM_BOOL OnKey(int eventType, const EmscriptenKeyboardEvent* event, void*) {
    if (event->repeat && eventType == EMSCRIPTEN_EVENT_KEYUP) return 0;
    // Escape in full screen belongs to the browser: it leaves full screen.
    EmscriptenFullscreenChangeEvent full;
    if (event->keyCode == ZELKOR_VK_ESCAPE &&
        emscripten_get_fullscreen_status(&full) == EMSCRIPTEN_RESULT_SUCCESS && full.isFullscreen)
        return 0;
    ZELKOR_Message msg;
    memset(&msg, 0, sizeof msg);
    msg.message = eventType == EMSCRIPTEN_EVENT_KEYDOWN ? ZELKOR_WM_KEYDOWN : ZELKOR_WM_KEYUP;
    msg.wParam = event->keyCode;
    msg.lParam = event->repeat ? (1 << 30) : 0;
    page.queue.push_back(msg);
    return 0; // the page's own keys (full screen) still see it
}

void PageSize(int* w, int* h) {
    double cssWidth = 0, cssHeight = 0;
    emscripten_get_element_css_size(canvas, &cssWidth, &cssHeight);
    double ratio = emscripten_get_device_pixel_ratio();
    *w = (int)lround(cssWidth * ratio), *h = (int)lround(cssHeight * ratio);
    if (*w < 1) *w = 1;
    if (*h < 1) *h = 1;
}

} // namespace

void ZELKOR_PostQuitMessage(int exitCode) {
    ZELKOR_Message msg;
    memset(&msg, 0, sizeof msg);
    msg.message = ZELKOR_WM_QUIT;
    msg.wParam = (uint32_t)exitCode;
    page.queue.push_back(msg);
}

int ZELKOR_StartVideo() {
    return 1;
}

void ZELKOR_StopVideo() {}

int64_t ZELKOR_DefWindowProc(ZELKOR_Window*, uint32_t, uint32_t, int64_t) {
    return 0;
}

int ZELKOR_FollowPage(int* w, int* h) {
    if (page.hidden) {
        *w = page.drawableWidth, *h = page.drawableHeight;
        return 0;
    }
    PageSize(w, h);
    if (*w == page.drawableWidth && *h == page.drawableHeight) return 0;
    emscripten_set_canvas_element_size(canvas, *w, *h);
    page.drawableWidth = *w, page.drawableHeight = *h;
    return 1;
}

int ZELKOR_Window::Initialize(void* inst, ZELKOR_WindowProc proc, int w, int h, int full,
                              ZELKOR_Log* logger) {
    instance = inst;
    procedure = proc;
    fullscreen = full;
    log = logger;
    page.queue.clear();
    // A hidden window is a capture's frame: exactly the size asked for. A
    // shown one is what the page gives the canvas.
    page.hidden = hidden;
    page.drawableWidth = page.drawableHeight = 0;
    if (hidden) {
        page.drawableWidth = w, page.drawableHeight = h;
        emscripten_set_canvas_element_size(canvas, w, h);
    } else {
        ZELKOR_FollowPage(&w, &h);
    }
    width = w, height = h;
    emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, 0, OnKey);
    emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, 0, OnKey);
    videoStarted = 1;
    return 1;
}

int64_t ZELKOR_Window::PumpMessage(ZELKOR_Message* msg) {
    if (page.queue.empty()) {
        memset(msg, 0, sizeof(*msg));
        return 0;
    }
    *msg = page.queue.front();
    page.queue.pop_front();
    if (msg->message == ZELKOR_WM_QUIT || !procedure) return 0;
    return procedure(this, msg->message, msg->wParam, msg->lParam);
}

void ZELKOR_Window::Shutdown() {
    if (videoStarted) {
        emscripten_set_keydown_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, 0, nullptr);
        emscripten_set_keyup_callback(EMSCRIPTEN_EVENT_TARGET_WINDOW, nullptr, 0, nullptr);
        videoStarted = 0;
    }
    page.queue.clear();
}
