// "scene3": the cloud flight. A picture, 32 spinning cloud layers circling in
// the distance and the figure rising towards the viewer; once it has arrived
// the layers rush forward past the viewer.
#pragma once
#include "scenes/scene_kit.h"

struct CloudLayer {
    float x, y, z;
    float angle;    // degrees
    float spin;     // degrees added to angle per frame; flips sign
    float nextFlip; // music time of the next flip
    float alpha;
    float width, height;
    ZELKOR_Texture* texture;
};

struct CloudScene {
    SceneClock clock;
    float fade = 0.0f;
    // picture, figure head, figure body, unused particle image, cloud
    ZELKOR_Texture* textures[5] = {};
    CloudLayer layers[32] = {};       // set up on the first call
    float orbit = 0.0f;               // psi, radians
    float figureDepth = -50.0f;       // never reset: a second run starts in front
    float figureSpin = 0.0f;          // degrees
    uint32_t program = 0, target = 0; // the stack in one pass (modern backend), 0: none
};

void Scene3(const SceneFrame& frame, CloudScene& s);
int PrepareScene3(CloudScene& s, int kept);

// The stack's program and target on a modern backend (none on another), and
// its pass: 1 when the stack was drawn so, 0 when it must be drawn layer by
// layer. The pass leaves the colour white.
void PrepareCloudPass(const Draw* draw, CloudScene* s);
int CloudPass(const Draw* draw, const CloudScene& s, float orbitX, float orbitY);
