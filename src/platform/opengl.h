// ZELKOR_OpenGL: the display-mode change, the double-buffered RGBA context with
// a 16-bit depth buffer, the projection and the fixed render state.
#pragma once

#include "platform/draw.h"

class ZELKOR_Log;
class ZELKOR_Window;

// The show's picture in a w x h frame: the largest centred 4:3 area, the
// whole frame when it is 4:3 (or within a rounding of it).
void ZELKOR_PictureArea(int w, int h, int* x, int* y, int* areaWidth, int* areaHeight);

class ZELKOR_OpenGL {
  public:
    ZELKOR_OpenGL() {}
    int Initialize(ZELKOR_Window* window, int colourBits, ZELKOR_Log* log);
    // The draw backend (DrawRenderer) the context is made for; set before
    // Initialize. The modern one asks for a GL 3.3 core context, or GLES 3/2.
    void SetRenderer(int drawRenderer) { renderer = drawRenderer; }
    // The draw layer's table for this context (the fixed one until Initialize).
    const Draw* GetDraw() const { return draw; }
    // The viewport is the largest centred 4:3 area of the window (the whole
    // window when it is 4:3), and the projection takes that area's aspect.
    int SetPerspective(float farPlane, float fieldOfView);
    // The window's drawable became w x h (a resize, full screen toggled): the
    // viewport moves to its 4:3 area, whose aspect the projection already has.
    void FitDrawable(int w, int h);
    void BeginFrame(); // clears colour and depth, loads the identity
    // Blackens the window outside the 4:3 area, and the few columns at the
    // area's left edge that the scenes' backdrop never covers. The frame
    // loops call it after the scenes, so strokes that bled over the area's
    // edge are gone and trails cannot pile up where nothing darkens them.
    void ClearBars();
    void EndFrame(); // flush and swap
    // The 4:3 area's size in pixels, for drawing over the picture.
    int ViewWidth() const { return viewWidth; }
    int ViewHeight() const { return viewHeight; }
    void Shutdown();

    // Initialize failed because the display refused the full-screen mode.
    int ModeRefused() const { return modeRefused; }

  private:
    ZELKOR_Log* log = nullptr;
    ZELKOR_Window* window = nullptr;
    void* deviceContext = nullptr; // the SDL window the context draws into
    void* renderingContext = nullptr;
    int colourBits = 32;
    int cursorHidden = 0;
    int modeRefused = 0;
    int renderer = DRAW_FIXED;
    const Draw* draw = Draw_Fixed();
    int drawStarted = 0;
    int frameWidth = 0, frameHeight = 0; // what the viewport was fitted into
    int viewX = 0, viewY = 0, viewWidth = 0, viewHeight = 0;
};
