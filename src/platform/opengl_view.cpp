// The parts of the OpenGL context that only draw through the draw layer, the
// same on the desktop (opengl.cpp) and in a browser (opengl_web.cpp): the 4:3
// picture area, the projection and the frame's clears.
#include "platform/opengl.h"

#include "platform/window.h"

void ZELKOR_PictureArea(int w, int h, int* x, int* y, int* vw, int* vh) {
    *x = 0, *y = 0, *vw = w, *vh = h;
    if ((long long)w * 3 > (long long)h * 4) {
        *vw = (int)(((long long)h * 8 + 3) / 6); // h * 4/3, rounded
        *x = (w - *vw) / 2;
    } else if ((long long)w * 3 < (long long)h * 4) {
        *vh = (int)(((long long)w * 6 + 4) / 8); // w * 3/4, rounded
        *y = (h - *vh) / 2;
    }
}

int ZELKOR_OpenGL::SetPerspective(float farPlane, float fieldOfView) {
    // The scenes are composed for 4:3 (their backdrops fill exactly that), so
    // a wider or taller window shows the picture at 4:3 between bars.
    FitDrawable(window->GetWidth(), window->GetHeight());
    const float nearPlane = 0.1f; // widened to double as 0.10000000149011612
    draw->Perspective(fieldOfView, (double)viewWidth / (double)viewHeight, nearPlane, farPlane);
    return 1;
}

void ZELKOR_OpenGL::BeginFrame() {
    draw->Clear(DRAW_COLOR_BUFFER_BIT | DRAW_DEPTH_BUFFER_BIT);
    draw->LoadIdentity();
}

void ZELKOR_OpenGL::FitDrawable(int w, int h) {
    frameWidth = w, frameHeight = h;
    ZELKOR_PictureArea(w, h, &viewX, &viewY, &viewWidth, &viewHeight);
    draw->Viewport(viewX, viewY, viewWidth, viewHeight);
}

void ZELKOR_OpenGL::ClearBars() {
    int w = frameWidth, h = frameHeight;
    if (viewWidth == 0 || (viewWidth == w && viewHeight == h)) return;
    draw->ClearBars(w, h, viewX, viewY, viewWidth, viewHeight);
}
