// ParticleSystem: small textured squares that fly out, fade and are reborn,
// drawn under the swirl rotation that every system shares. Its arrays are
// the engine's (Scene_Alloc): a system kept in a scene's record keeps its
// particles across seeks and reloads.
#pragma once
#include "core/api.h"

#include <cstdint>

class ZELKOR_Texture;
struct Draw;

struct Particle {
    float position[3];
    float velocity[3];
    float colour[3];
    float fadeRate;
    int32_t active; // 1 = simulated
    float life;     // also the drawn alpha, unclamped
};

// Fills a reborn particle completely; the second argument is the particle
// count during InitWithRespawn and the particle index during Update. A
// scene library's own function must be set again by its prepare after a
// reload, as the old code is gone.
typedef void (*RespawnFunc)(Particle* particle, int value);

class ParticleSystem {
  public:
    ParticleSystem() {}
    ZELKOR_API int Init(uint16_t count, ZELKOR_Texture* texture);
    ZELKOR_API int InitWithRespawn(uint16_t count, ZELKOR_Texture* texture, RespawnFunc respawn);
    // `elapsed`: ms the show has run, which sets the swirl's time step.
    ZELKOR_API void Update(uint32_t elapsed);
    // unrotate 0 lets the swirl rotations accumulate in the modelview.
    ZELKOR_API void Render(const Draw* draw, float cx, float cy, float cz, int32_t unrotate);
    // 0 until an Init succeeded; a failed system is neither updated nor drawn.
    int Ready() const { return particles && sinTable && cosTable; }

    float rotationSpeed = 0.0f;
    RespawnFunc respawn = nullptr;
    Particle* particles = nullptr;
    uint16_t count = 0;
    ZELKOR_Texture* texture = nullptr;
    float timeStep = 0.0f;
    float* sinTable = nullptr;
    float* cosTable = nullptr;

  private:
    int Seed(uint16_t n, ZELKOR_Texture* tex, RespawnFunc fn);
};

// Births a particle on the unit circle, 57 radians on from the previous one
// (of any system), moving only in depth.
ZELKOR_API void SpiralRespawn(Particle* particle, int unused);

// Shared by every system, never reset: the swirl angle in degrees, the show's
// elapsed time (seconds) at the last Update of any system, and the spiral
// births' counter (advanced by every SpiralRespawn, preparation included).
struct ParticleShared {
    float swirlAngle;
    float lastUpdateSeconds;
    int32_t spiralCounter;
};
extern ParticleShared particleShared;
