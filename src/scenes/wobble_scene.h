// "scene6": a picture, a breathing tube that snakes towards the viewer and a
// ring of particles shooting back and forth in depth.
#pragma once
#include "scenes/particle_system.h"
#include "scenes/scene_kit.h"

// 16 rings of 16 (x, y) points; ring j lies in the plane z = j.
extern float WobbleTube[16][16][2];
// Advanced by every SpiralRespawn, preparation included.
extern int32_t spiralCounter;

void ComputeWobbleTube(float phase, float amplitude);
// Resets the modelview, translates and rotates, then draws 240 textured quads.
void DrawWobbleTube(const Draw* draw, ZELKOR_Texture* texture, float tx, float ty, float tz,
                    float rx, float ry, float rz);
// Births a particle on the unit circle, 57 radians on from the previous one,
// moving only in depth.
void SpiralRespawn(Particle* particle, int unused);

struct WobbleScene {
    SceneClock clock;
    float fade = 0.0f;
    ZELKOR_Texture* textures[3] = {}; // picture, particle image, tube
    ParticleSystem* particles = nullptr;
    float phase = 0.0f;
    float amplitude = 0.0f;
};

extern WobbleScene wobbleScene;

void Scene6(const SceneFrame& frame);
int PrepareScene6();
