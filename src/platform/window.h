// ZELKOR_Window: the one top-level SDL window and its message pump.
#pragma once
#include "platform/message.h"

struct SDL_Window;
class ZELKOR_Log;

// The full-screen flag: 1 switches the display to the window's mode; the
// desktop kind covers the screen at its current mode, with no switch.
enum { ZELKOR_FULLSCREEN_DESKTOP = 2 };

class ZELKOR_Window {
  public:
    ZELKOR_Window() {}
    // Framed at (30, 30) with outer size width x height, or borderless full
    // screen at (0, 0) (width x height is then the mode, or the desktop's size).
    int Initialize(void* instance, ZELKOR_WindowProc procedure, int width, int height,
                   int fullscreen, ZELKOR_Log* log);
    // Takes at most one pending event; zero-fills the record when none is pending.
    int64_t PumpMessage(ZELKOR_Message* msg);
    void Shutdown();

    // Offscreen use (frame capture): create the window hidden. Set before Initialize.
    void SetHidden(int hide) { hidden = hide; }

    SDL_Window* GetHandle() const { return handle; }
    int GetWidth() const { return width; }
    int GetHeight() const { return height; }
    int GetFullscreen() const { return fullscreen; }

  private:
    ZELKOR_Log* log = nullptr;
    int fullscreen = 0;
    SDL_Window* handle = nullptr;
    void* instance = nullptr;
    ZELKOR_WindowProc procedure = nullptr;
    int width = 640;
    int height = 480;
    int hidden = 0;
    int videoStarted = 0;
};
