// "scene4" and "scene9": a tumbling knot of fifty wireframe quadrilaterals,
// moved by the frame timer rather than the music, under their picture at half
// brightness.
#pragma once
#include "scenes/scene_kit.h"

struct RibbonScene {
    SceneClock clock;
    ZELKOR_Texture* picture = nullptr;
    float wire[4] = {}; // r, g, b, a
};

// The four corners (x, y, z) of quadrilateral i at phase T (elapsed ms x 0.002),
// before the knot's translation by 1.5 towards the viewer.
void RibbonQuad(int i, float T, float corners[4][3]);

void Scene4(const SceneFrame& frame, RibbonScene& s);
void Scene9(const SceneFrame& frame, RibbonScene& s);
int PrepareScene4(RibbonScene& s, int kept);
int PrepareScene9(RibbonScene& s, int kept);
