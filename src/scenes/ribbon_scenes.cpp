#include "scenes/ribbon_scenes.h"

#include "platform/opengl.h"
#include "platform/timer.h"
#include "shell/globals.h"

#include <GL/gl.h>

#include <cmath>

RibbonScene ribbonScene4 = {{}, nullptr, {0.7f, 0.7f, 1.0f, 1.0f}};
RibbonScene ribbonScene9 = {{}, nullptr, {0.0f, 0.3f, 1.0f, 1.0f}};

int PrepareScene4() {
    const char* path = "tarnis_2.tga";
    LoadSceneTextures(&ribbonScene4.picture, &path, 1);
    return 1;
}

int PrepareScene9() {
    const char* path = "tarnis_7.tga";
    LoadSceneTextures(&ribbonScene9.picture, &path, 1);
    return 1;
}

void RibbonQuad(int i, float T, float corners[4][3]) {
    double t = T;
    // i + 2.1T alone is taken to single precision before its sine and cosine.
    float u = (float)(i + 2.1 * t);
    double v[4][3] = {
        {-sin(i + t), -cos(i + 1.1 * t), -5.0 - cos(u) * sin(t)},
        {cos(i - 1.11 * t), -sin(i + t), cos(i + 0.62 * t) * sin(i + t) - 5.0},
        {-sin(i - t), cos(i - 1.12 * t), sin(u) * cos(t) - 5.0},
        {cos(i + t), sin(i - 1.23 * t), -5.0 - cos(i + t) * sin(u)},
    };
    for (int k = 0; k < 4; k++)
        for (int c = 0; c < 3; c++) corners[k][c] = (float)v[k][c];
}

static void RunRibbons(RibbonScene* s, uint32_t musicTime) {
    if (g_opengl) g_opengl->BeginFrame();
    AdvanceSceneClock(&s->clock, SceneTime(musicTime));
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glLoadIdentity();
    glPushMatrix();

    // Outlines only, untextured and additive.
    glColor4f(s->wire[0], s->wire[1], s->wire[2], s->wire[3]);
    glDisable(GL_TEXTURE_2D);
    glPolygonMode(GL_FRONT_AND_BACK, GL_LINE);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    float T = (float)((g_timer ? g_timer->GetElapsed() : 0u) * 0.002);
    glTranslatef(0.0f, 0.0f, 1.5f);
    for (int i = 0; i < 50; i++) {
        float q[4][3];
        RibbonQuad(i, T, q);
        glBegin(GL_QUADS);
        for (const float* v : q) glVertex3f(v[0], v[1], v[2]);
        glEnd();
    }
    glPopMatrix();

    // The picture added over the wires at half brightness.
    BindHolder(s->picture);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
    glColor3f(0.5f, 0.5f, 0.5f);
    DrawBackdrop();
}

void Scene4(uint32_t musicTime) {
    RunRibbons(&ribbonScene4, musicTime);
}
void Scene9(uint32_t musicTime) {
    RunRibbons(&ribbonScene9, musicTime);
}
