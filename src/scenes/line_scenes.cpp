#include "scenes/line_scenes.h"

#include "platform/opengl.h"
#include "shell/globals.h"

#include <GL/gl.h>

#include <new>

LineScene lineScene1, lineScene8, lineCreditsEnd;

static int PrepareLines(LineScene* s, const char* picture, float r, float g, float b) {
    LoadSceneTextures(&s->picture, &picture, 1);
    s->lines = new (std::nothrow) LineSystem();
    if (!s->lines) return 0;
    return s->lines->Init(500, r, g, b);
}

int PrepareScene1() {
    return PrepareLines(&lineScene1, "tarnis_credits.tga", 0.7f, 0.7f, 1.0f);
}
int PrepareScene8() {
    return PrepareLines(&lineScene8, "tarnis_6.tga", 1.0f, 1.0f, 1.0f);
}
int PrepareCreditsEnd() {
    return PrepareLines(&lineCreditsEnd, "tarnis_credits.tga", 0.7f, 0.7f, 1.0f);
}

static void RunLines(LineScene* s, uint32_t musicTime) {
    if (g_opengl) g_opengl->BeginFrame();
    AdvanceSceneClock(&s->clock, SceneTime(musicTime));
    // Depth test on: strokes that drift behind the picture at -21 vanish.
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_TEXTURE_2D);
    glLoadIdentity();
    BindHolder(s->picture);
    glColor3f(1.0f, 1.0f, 1.0f);
    DrawBackdrop();
    // The strokes keep the picture bound and the backdrop's last texture
    // coordinate, so each is tinted by that texel.
    if (s->lines && s->lines->Ready()) {
        s->lines->Update();
        s->lines->Render(0.0f, -2.2f, -10.0f);
    }
}

void Scene1(uint32_t musicTime) {
    RunLines(&lineScene1, musicTime);
}
void Scene8(uint32_t musicTime) {
    RunLines(&lineScene8, musicTime);
}
void CreditsEnd(uint32_t musicTime) {
    RunLines(&lineCreditsEnd, musicTime);
}
