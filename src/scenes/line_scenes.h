// "scene1", "scene8" and "creditsend": a picture with 500 drifting line
// strokes in front of it.
#pragma once
#include "scenes/line_system.h"
#include "scenes/scene_kit.h"

struct LineScene {
    SceneClock clock;
    ZELKOR_Texture* picture = nullptr;
    LineSystem lines;
    uint32_t program = 0; // each stroke once (modern backend), 0: none
};

void Scene1(const SceneFrame& frame, LineScene& s);
void Scene8(const SceneFrame& frame, LineScene& s);
void CreditsEnd(const SceneFrame& frame, LineScene& s);
int PrepareScene1(LineScene& s, int kept);
int PrepareScene8(LineScene& s, int kept);
int PrepareCreditsEnd(LineScene& s, int kept);
