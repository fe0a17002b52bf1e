// ZELKOR_Camera: an eye and a target, applied as a look-at view.
#pragma once
#include "core/api.h"

class ZELKOR_Log;
struct Draw;

class ZELKOR_Vector {
  public:
    ZELKOR_Vector() {}
    void SetX(float v) { x = v; }
    void SetY(float v) { y = v; }
    void SetZ(float v) { z = v; }
    float GetX() const { return x; }
    float GetY() const { return y; }
    float GetZ() const { return z; }

  private:
    float x = 0.0f, y = 0.0f, z = 0.0f;
};

class ZELKOR_Camera {
  public:
    ZELKOR_Camera() {}
    ZELKOR_API int Initialize(float px, float py, float pz, float tx, float ty, float tz,
                              ZELKOR_Log* log);
    ZELKOR_API void SetPosition(float px, float py, float pz, float tx, float ty, float tz);
    // Multiplies the current matrix by a look-at view, up = (0, 1, 0), with
    // that draw layer (a scene's frame's), or the context's when none is given.
    ZELKOR_API void Use(const Draw* draw = nullptr);
    void Shutdown() {}

  private:
    ZELKOR_Log* log = nullptr;
    ZELKOR_Vector position;
    ZELKOR_Vector target;
};
