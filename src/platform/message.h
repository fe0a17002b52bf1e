// The main loop's window-message record and the message codes it sees.
#pragma once
#include <cstdint>

enum {
    ZELKOR_WM_DESTROY = 0x0002,
    ZELKOR_WM_CLOSE = 0x0010,
    ZELKOR_WM_QUIT = 0x0012,
    ZELKOR_WM_KEYDOWN = 0x0100,
    ZELKOR_WM_KEYUP = 0x0101,
};

enum { ZELKOR_VK_ESCAPE = 27 };

struct ZELKOR_Message {
    uint32_t message;
    uint32_t wParam;
    int64_t lParam;
};

class ZELKOR_Window;
typedef int64_t (*ZELKOR_WindowProc)(ZELKOR_Window* window, uint32_t message, uint32_t wParam,
                                     int64_t lParam);

// Starts (and stops) SDL's video subsystem for a real display. SDL's
// offscreen and dummy drivers are used only when SDL_VIDEODRIVER names them:
// the show must not silently run where nobody can see it.
int ZELKOR_StartVideo();
void ZELKOR_StopVideo();

// Posts the quit message with an exit code; the next pumps deliver it in order.
void ZELKOR_PostQuitMessage(int exitCode);
// The default handling of a message: nothing to do on SDL, result 0.
int64_t ZELKOR_DefWindowProc(ZELKOR_Window* window, uint32_t message, uint32_t wParam,
                             int64_t lParam);
