#include "scenes/scene_kit.h"

#include "platform/draw.h"
#include "textures/texture.h"

#include <new>

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
    for (int i = 0; i < n; i++) holders[i] = new (std::nothrow) ZELKOR_Texture();
    for (int i = 0; i < n; i++)
        if (holders[i]) holders[i]->LoadTexture(paths[i], 0, 1);
}
