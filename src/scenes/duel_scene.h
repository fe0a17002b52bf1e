// "scene5": the figure duel. Two figures drift apart along a diagonal,
// spinning in opposite directions and nodding, pulsing on four beats, with a
// flickering lightning bolt between their heads.
#pragma once
#include "scenes/scene_kit.h"

#include <cstdint>

struct BoltPoint {
    float x, y;
};

struct DuelScene {
    SceneClock clock;
    float fade = 0.0f;
    ZELKOR_Texture* textures[3] = {}; // picture, figure head, figure body
    // None of these is reset between runs of the scene.
    float spin = 0.0f;   // figure A's turn in degrees; B turns by -spin
    float offset = 0.0f; // A at (d, d), B at (-d, -d); at most 3
    float pulse = 1.0f;  // size pulse
    float swing = 25.0f; // nod angle, a saw-tooth from 25 down to 0
    int32_t beatIndex = 0;
    BoltPoint bolt[3][5] = {}; // path history, record 0 newest
    float boltTimer = 0.0f;    // the path is renewed when it reaches 0
};

extern const int32_t beatList[4]; // music times (ms) of the size pulses

void Scene5(const SceneFrame& frame, DuelScene& s);
int PrepareScene5(DuelScene& s, int kept);
