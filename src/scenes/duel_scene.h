// "scene5": the figure duel. Its textures are loaded at preparation; the
// scene function itself is not built yet.
#pragma once
#include "scenes/scene_kit.h"

struct DuelScene {
    SceneClock clock;
    float fade = 0.0f;
    ZELKOR_Texture* textures[3] = {}; // picture, figure head, figure body
};

extern DuelScene duelScene;

int PrepareScene5();
