#include "scenes/scene_kit.h"

#include "textures/texture.h"

#include <GL/gl.h>

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

void BindHolder(ZELKOR_Texture* holder) {
    if (holder) holder->BindTexture();
}

void DrawBackdrop() {
    glBegin(GL_QUADS);
    glTexCoord2f(0.0f, 0.0f);
    glVertex3f(-11.5f, -8.71f, -21.0f);
    glTexCoord2f(1.0f, 0.0f);
    glVertex3f(11.6f, -8.71f, -21.0f);
    glTexCoord2f(1.0f, 1.0f);
    glVertex3f(11.6f, 8.7f, -21.0f);
    glTexCoord2f(0.0f, 1.0f);
    glVertex3f(-11.5f, 8.7f, -21.0f);
    glEnd();
}

void DrawFadedBackdrop(ZELKOR_Texture* picture, float fade) {
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glColor4f(1.0f, 1.0f, 1.0f, fade);
    BindHolder(picture);
    DrawBackdrop();
}

void LoadSceneTextures(ZELKOR_Texture** holders, const char* const* paths, int n) {
    for (int i = 0; i < n; i++) holders[i] = new (std::nothrow) ZELKOR_Texture();
    for (int i = 0; i < n; i++)
        if (holders[i]) holders[i]->LoadTexture(paths[i], 0, 1);
}
