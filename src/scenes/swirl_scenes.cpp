#include "scenes/swirl_scenes.h"

#include <GL/gl.h>

#include <cmath>
#include <new>

SwirlScene swirlScene2, swirlScene7;

static int PrepareSwirl(SwirlScene* s, const char* picture) {
    const char* paths[2] = {picture, "particletex.tga"};
    LoadSceneTextures(s->textures, paths, 2);
    s->particles = new (std::nothrow) ParticleSystem();
    if (!s->particles) return 0;
    return s->particles->Init(1500, s->textures[1]);
}

int PrepareScene2() {
    return PrepareSwirl(&swirlScene2, "tarnis_logo.tga");
}
int PrepareScene7() {
    return PrepareSwirl(&swirlScene7, "tarnis_5.tga");
}

// No clear: the previous image is darkened and drawn over.
static void RunSwirl(SwirlScene* s, uint32_t musicTime) {
    float t = SceneTime(musicTime);
    AdvanceSceneClock(&s->clock, t);
    glLoadIdentity();
    ParticleSystem* ps = s->particles && s->particles->Ready() ? s->particles : nullptr;
    if (ps) ps->rotationSpeed = t - s->clock.start < 5000.0f ? 0.4f : -0.4f;

    // Multiplies the old frame by 0.7 times the alpha of whatever texture is
    // bound (normally this picture, from the previous frame).
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_ZERO, GL_SRC_ALPHA);
    glColor4f(1.0f, 1.0f, 1.0f, 0.7f);
    DrawBackdrop();

    glPushMatrix();
    glLoadIdentity();
    glTranslatef(0.0f, 0.0f, -20.0f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    if (ps) {
        ps->Update();
        ps->Render((float)(5.0 * sin(s->orbitPhase)), (float)(5.0 * cos(s->orbitPhase)), 0.0f, 0);
    }
    glPopMatrix();

    BindHolder(s->textures[0]);
    glColor4f(0.3f, 0.3f, 0.3f, 1.0f);
    DrawBackdrop();
    s->orbitPhase = (float)(s->orbitPhase + 0.1); // per call, not per unit of time
}

void Scene2(uint32_t musicTime) {
    RunSwirl(&swirlScene2, musicTime);
}
void Scene7(uint32_t musicTime) {
    RunSwirl(&swirlScene7, musicTime);
}
