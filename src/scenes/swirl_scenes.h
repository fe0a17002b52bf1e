// "scene2" and "scene7": 1500 particles swirling over a picture, the earlier
// frames fading out behind them as trails.
#pragma once
#include "scenes/particle_system.h"
#include "scenes/scene_kit.h"

struct SwirlScene {
    SceneClock clock;
    ZELKOR_Texture* textures[2] = {}; // picture, particle image
    ParticleSystem* particles = nullptr;
    float orbitPhase = 0.0f;
};

extern SwirlScene swirlScene2, swirlScene7;

void Scene2(const SceneFrame& frame);
void Scene7(const SceneFrame& frame);
int PrepareScene2();
int PrepareScene7();
