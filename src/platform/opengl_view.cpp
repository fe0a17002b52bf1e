// The parts of the OpenGL context that only draw through the draw layer, the
// same on the desktop (opengl.cpp) and in a browser (opengl_web.cpp): the 4:3
// picture area, the projection and the frame's clears.
#include "platform/opengl.h"

#include "platform/window.h"

#include <cmath>

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

// The scenes' backdrop quad (scene kit) spans x = -11.5 to 11.6 at depth 21,
// while a 45-degree 4:3 view there reaches +-11.598: a strip about 0.42 % of
// the picture wide at its left edge (4 pixels of 960) is never covered. The
// scenes that clear leave it black; the swirls, which only darken what the
// backdrop covers, would pile their trails up there into a white line.
static int BackdropGap(int viewWidth, int viewHeight) {
    const double pi = 3.14159265358979323846;
    double halfWidth = 21.0 * std::tan(22.5 * pi / 180.0) * viewWidth / viewHeight;
    if (halfWidth <= 11.5) return 0;
    // Pixels whose centres lie left of the quad's edge.
    return (int)std::floor(viewWidth * (halfWidth - 11.5) / (2.0 * halfWidth) + 0.5);
}

void ZELKOR_OpenGL::ClearBars() {
    int w = frameWidth, h = frameHeight;
    if (viewWidth == 0 || viewHeight == 0) return;
    int gap = BackdropGap(viewWidth, viewHeight);
    if (gap == 0 && viewWidth == w && viewHeight == h) return;
    draw->ClearBars(w, h, viewX, viewY, viewWidth, viewHeight, gap);
}
