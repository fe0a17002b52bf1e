#include "scenes/scene_kit.h"

#include "platform/draw.h"
#include "sequencing/scene_state.h"
#include "textures/texture.h"

#include <cstdio>
#include <new>
#include <string>
#include <vector>

namespace {

// Every record made here, so that each scene's are found again by name; the
// ones made outside a scene (or before the engine last stopped) are only kept.
struct Known {
    std::string scene, path;
    ZELKOR_Texture* texture;
    int reusable;
};
void ToStderr(const char* line) {
    fprintf(stderr, "%s\n", line);
}

struct Kit {
    std::vector<Known> known;
    void (*report)(const char* line) = ToStderr; // where the lines about textures go
};
Kit kit;

ZELKOR_Texture* Find(const char* scene, const char* path) {
    for (const Known& k : kit.known)
        if (k.reusable && k.scene == scene && k.path == path) return k.texture;
    return nullptr;
}

void Load(ZELKOR_Texture* texture, const char* path, const char* scene) {
    const char* why = nullptr;
    texture->LoadTexture(path, 0, 1, &why);
    if (!why) return;
    std::string line = path;
    if (scene[0]) line += std::string(" (") + scene + ")";
    kit.report((line + ": " + why).c_str());
}

} // namespace

int AdvanceSceneClock(SceneClock* clock, float t) {
    int first = 0;
    if (!clock->started) {
        clock->started = 1;
        clock->start = t;
        clock->previous = t;
        first = 1;
    }
    clock->dt = t - clock->previous;
    clock->previous = t;
    return first;
}

void UpdateFade(float* fade, const SceneClock* clock, float t, float threshold) {
    if (t - clock->start < threshold)
        *fade = (float)(*fade + clock->dt * 0.00025);
    else
        *fade = (float)(*fade - clock->dt * 0.00025);
}

void BeginSceneFrame(const Draw* d) {
    d->Clear(DRAW_COLOR_BUFFER_BIT | DRAW_DEPTH_BUFFER_BIT);
    d->LoadIdentity();
}

void BindHolder(const Draw* d, ZELKOR_Texture* holder) {
    if (holder) holder->BindTexture(d);
}

const char* const scenePlaceVertex = R"(
attribute vec4 position;
attribute vec4 colour;
attribute vec2 texCoord;
varying vec4 vColour;
varying vec2 vTexCoord;
varying vec2 vPlace;
void main() {
    gl_Position = position;
    vColour = colour;
    vTexCoord = texCoord;
    vPlace = position.xy / position.w * 0.5 + 0.5;
}
)";

void DrawBackdrop(const Draw* d) {
    d->Begin(DRAW_QUADS);
    d->TexCoord2f(0.0f, 0.0f);
    d->Vertex3f(-11.5f, -8.71f, -21.0f);
    d->TexCoord2f(1.0f, 0.0f);
    d->Vertex3f(11.6f, -8.71f, -21.0f);
    d->TexCoord2f(1.0f, 1.0f);
    d->Vertex3f(11.6f, 8.7f, -21.0f);
    d->TexCoord2f(0.0f, 1.0f);
    d->Vertex3f(-11.5f, 8.7f, -21.0f);
    d->End();
}

void DrawFadedBackdrop(const Draw* d, ZELKOR_Texture* picture, float fade) {
    d->Disable(DRAW_DEPTH_TEST);
    d->Enable(DRAW_BLEND);
    d->BlendFunc(DRAW_SRC_ALPHA, DRAW_ONE);
    d->Color4f(1.0f, 1.0f, 1.0f, fade);
    BindHolder(d, picture);
    DrawBackdrop(d);
}

void LoadSceneTextures(ZELKOR_Texture** holders, const char* const* paths, int n) {
    SceneSlot* owner = SceneState_Owner();
    const char* scene = owner ? SceneState_Name(owner) : "";
    std::vector<char> fresh((size_t)n);
    for (int i = 0; i < n; i++) {
        holders[i] = owner ? Find(scene, paths[i]) : nullptr;
        if (holders[i]) continue;
        holders[i] = new (std::nothrow) ZELKOR_Texture();
        if (holders[i]) kit.known.push_back(Known{scene, paths[i], holders[i], owner != nullptr});
        fresh[(size_t)i] = 1;
    }
    for (int i = 0; i < n; i++)
        if (fresh[(size_t)i] && holders[i]) Load(holders[i], paths[i], scene);
}

ZELKOR_Texture* SceneTexture(const char* path) {
    ZELKOR_Texture* texture = nullptr;
    LoadSceneTextures(&texture, &path, 1);
    return texture;
}

void SceneKit_SetReport(void (*line)(const char*)) {
    kit.report = line ? line : ToStderr;
}

void SceneKit_ForgetTextures() {
    for (Known& k : kit.known) k.reusable = 0;
}
