// "scene4" and "scene9": the wireframe ribbon knots. Their pictures are loaded
// at preparation; the scene functions themselves are not built yet.
#pragma once
#include "scenes/scene_kit.h"

struct RibbonScene {
    SceneClock clock;
    ZELKOR_Texture* picture = nullptr;
};

extern RibbonScene ribbonScene4, ribbonScene9;

int PrepareScene4();
int PrepareScene9();
