// What every scene function shares: its clock on the music time, the alpha
// ramp, the backdrop quad and its textures by name.
#pragma once
#include "core/api.h"
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
ZELKOR_API int AdvanceSceneClock(SceneClock* clock, float t);
// Ramps fade up by dt x 0.00025 until threshold ms into the scene, down after.
ZELKOR_API void UpdateFade(float* fade, const SceneClock* clock, float t, float threshold);
// Clears colour and depth and resets the modelview: a scene's fresh frame.
ZELKOR_API void BeginSceneFrame(const Draw* draw);
// Binds a texture holder; one whose record could not be created binds nothing.
ZELKOR_API void BindHolder(const Draw* draw, ZELKOR_Texture* holder);
// The picture quad at depth -21 that fills a 4:3 view at 45 degrees.
ZELKOR_API void DrawBackdrop(const Draw* draw);
// A vertex shader (modern backend) that also hands the fragment shader
// vPlace, its place in the picture from (0, 0) to (1, 1): where to read a
// target of the picture's shape.
extern const char* const scenePlaceVertex;
// The opening of the fading scenes: depth test off, additive blending, the
// picture at alpha fade.
ZELKOR_API void DrawFadedBackdrop(const Draw* draw, ZELKOR_Texture* picture, float fade);

// The scene's texture of that file (.tga, .bmp or a .rgs script), loaded
// (tag 0, mipmaps) at the scene's first asking and the same record at every
// asking after, a reload of its library included: nothing is uploaded
// twice. Each scene has its own records, even of a file another scene uses.
// A file that is missing or cannot be decoded is said in one line (stderr
// and the log), naming it, the scene and the reason; its record is drawn as
// it is. Outside a scene's prepare or draw, each asking makes a new record.
// Null only when out of memory (BindHolder takes null).
ZELKOR_API ZELKOR_Texture* SceneTexture(const char* path);
// The same for n files into holders: the new records are made first, then
// loaded in order.
ZELKOR_API void LoadSceneTextures(ZELKOR_Texture** holders, const char* const* paths, int n);

// Where the lines about textures go (default: stderr).
void SceneKit_SetReport(void (*report)(const char* line));
// The engine stopped: the records belong to a context that is gone, so no
// scene is handed them again.
void SceneKit_ForgetTextures();
