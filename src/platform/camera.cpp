#include "platform/camera.h"

#include "platform/draw.h"

int ZELKOR_Camera::Initialize(float px, float py, float pz, float tx, float ty, float tz,
                              ZELKOR_Log* logger) {
    log = logger;
    SetPosition(px, py, pz, tx, ty, tz);
    return 1;
}

void ZELKOR_Camera::SetPosition(float px, float py, float pz, float tx, float ty, float tz) {
    position.SetX(px);
    position.SetY(py);
    position.SetZ(pz);
    target.SetX(tx);
    target.SetY(ty);
    target.SetZ(tz);
}

void ZELKOR_Camera::Use(const Draw* draw) {
    (draw ? draw : Draw_Current())
        ->LookAt(position.GetX(), position.GetY(), position.GetZ(), target.GetX(), target.GetY(),
                 target.GetZ(), 0.0, 1.0, 0.0);
}
