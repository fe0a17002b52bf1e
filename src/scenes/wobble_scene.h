// "scene6": a picture, a breathing tube that snakes towards the viewer and a
// ring of particles shooting back and forth in depth.
#pragma once
#include "scenes/particle_system.h"
#include "scenes/scene_kit.h"

// 16 rings of 16 (x, y) points; ring j lies in the plane z = j.
typedef float WobbleTube[16][16][2];

void ComputeWobbleTube(WobbleTube tube, float phase, float amplitude);
// Resets the modelview, translates and rotates, then draws 240 textured quads.
void DrawWobbleTube(const Draw* draw, const WobbleTube tube, ZELKOR_Texture* texture, float tx,
                    float ty, float tz, float rx, float ry, float rz);

struct WobbleScene {
    SceneClock clock;
    float fade = 0.0f;
    ZELKOR_Texture* textures[3] = {}; // picture, particle image, tube
    ParticleSystem particles;         // born by SpiralRespawn
    float phase = 0.0f;
    float amplitude = 0.0f;
    WobbleTube tube = {};             // computed afresh every frame
    uint32_t program = 0, target = 0; // particles at half size (modern backend), 0: none
};

void Scene6(const SceneFrame& frame, WobbleScene& s);
int PrepareScene6(WobbleScene& s, int kept);
