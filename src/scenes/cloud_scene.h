// "scene3": the cloud flight. Its textures are loaded at preparation; the
// scene function itself is not built yet.
#pragma once
#include "scenes/scene_kit.h"

struct CloudScene {
    SceneClock clock;
    float fade = 0.0f;
    // picture, figure head, figure body, unused particle image, cloud
    ZELKOR_Texture* textures[5] = {};
};

extern CloudScene cloudScene;

int PrepareScene3();
