// What every scene function shares: its clock on the music time, the alpha
// ramp, the backdrop quad and the loading of its textures.
#pragma once
#include "sequencing/scene_frame.h"

#include <cstdint>

class ZELKOR_Texture;
struct Draw;

struct SceneClock {
    int32_t started = 0;
    float start = 0.0f;    // music time of the first call
    float previous = 0.0f; // music time of the previous call
    float dt = 0.0f;       // ms since the previous call; 0 on the first
};

// The music time as the scenes read it: signed, then float.
inline float SceneTime(uint32_t musicTime) {
    return (float)(int32_t)musicTime;
}

// Advances the clock to t; returns 1 on the first call, when dt is 0.
int AdvanceSceneClock(SceneClock* clock, float t);
// Ramps fade up by dt x 0.00025 until threshold ms into the scene, down after.
void UpdateFade(float* fade, const SceneClock* clock, float t, float threshold);
// Clears colour and depth and resets the modelview: a scene's fresh frame.
void BeginSceneFrame(const Draw* draw);
// Binds a texture holder; one whose record could not be created binds nothing.
void BindHolder(const Draw* draw, ZELKOR_Texture* holder);
// The picture quad at depth -21 that fills a 4:3 view at 45 degrees.
void DrawBackdrop(const Draw* draw);
// The opening of the fading scenes: depth test off, additive blending, the
// picture at alpha fade.
void DrawFadedBackdrop(const Draw* draw, ZELKOR_Texture* picture, float fade);
// Creates one empty record per path, stores it in holders, then loads each in
// order (tag 0, mipmaps). Load failures are not checked: a failed record is
// bound and drawn as it is.
void LoadSceneTextures(ZELKOR_Texture** holders, const char* const* paths, int n);
