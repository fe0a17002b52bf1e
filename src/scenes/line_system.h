// LineSystem: a chain of particles drawn as thick strokes between neighbours,
// drifting from the corners of a small cube. Its arrays are the engine's, as
// a ParticleSystem's are.
#pragma once
#include "scenes/particle_system.h"

struct Draw;

class LineSystem {
  public:
    LineSystem() {}
    ZELKOR_API int Init(uint16_t count, float r, float g, float b);
    ZELKOR_API void Update();
    // Strokes join particles 1-2, 2-3, ... (count-2)-(count-1); particle 0 is
    // never drawn. Uses the caller's blend, depth and texture state.
    ZELKOR_API void Render(const Draw* draw, float cx, float cy, float cz);
    // 0 until an Init succeeded; a failed system is neither updated nor drawn.
    int Ready() const { return particles && sinTable && cosTable; }

    float* sinTable = nullptr;
    float* cosTable = nullptr;
    Particle* particles = nullptr;
    uint16_t count = 0;
};
