// "scene1", "scene8" and "creditsend": a picture with 500 drifting line
// strokes in front of it.
#pragma once
#include "scenes/line_system.h"
#include "scenes/scene_kit.h"

struct LineScene {
    SceneClock clock;
    ZELKOR_Texture* picture = nullptr;
    LineSystem* lines = nullptr;
};

extern LineScene lineScene1, lineScene8, lineCreditsEnd;

void Scene1(const SceneFrame& frame);
void Scene8(const SceneFrame& frame);
void CreditsEnd(const SceneFrame& frame);
int PrepareScene1();
int PrepareScene8();
int PrepareCreditsEnd();
