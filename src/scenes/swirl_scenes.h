// "scene2" and "scene7": 1500 particles swirling over a picture, the earlier
// frames fading out behind them as trails.
#pragma once
#include "scenes/particle_system.h"
#include "scenes/scene_kit.h"

struct SwirlScene {
    SceneClock clock;
    ZELKOR_Texture* textures[2] = {}; // picture, particle image
    ParticleSystem particles;
    float orbitPhase = 0.0f;
    uint32_t program = 0; // darkening, picture and particles in one pass (modern backend), 0: none
    uint32_t target = 0;  // the particles at half the picture's size (modern backend), 0: none
};

void Scene2(const SceneFrame& frame, SwirlScene& s);
void Scene7(const SceneFrame& frame, SwirlScene& s);
int PrepareScene2(SwirlScene& s, int kept);
int PrepareScene7(SwirlScene& s, int kept);
