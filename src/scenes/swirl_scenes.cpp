#include "scenes/swirl_scenes.h"

#include "platform/draw.h"

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
static void RunSwirl(SwirlScene* s, const SceneFrame& f) {
    const Draw* d = f.draw;
    float t = SceneTime(f.musicTime);
    AdvanceSceneClock(&s->clock, t);
    d->LoadIdentity();
    ParticleSystem* ps = s->particles && s->particles->Ready() ? s->particles : nullptr;
    if (ps) ps->rotationSpeed = t - s->clock.start < 5000.0f ? 0.4f : -0.4f;

    // Multiplies the old frame by 0.7 times the alpha of whatever texture is
    // bound (normally this picture, from the previous frame).
    d->Disable(DRAW_DEPTH_TEST);
    d->Enable(DRAW_BLEND);
    d->BlendFunc(DRAW_ZERO, DRAW_SRC_ALPHA);
    d->Color4f(1.0f, 1.0f, 1.0f, 0.7f);
    DrawBackdrop(d);

    d->PushMatrix();
    d->LoadIdentity();
    d->Translatef(0.0f, 0.0f, -20.0f);
    d->BlendFunc(DRAW_SRC_ALPHA, DRAW_ONE);
    if (ps) {
        ps->Update(f.elapsed);
        ps->Render(d, (float)(5.0 * sin(s->orbitPhase)), (float)(5.0 * cos(s->orbitPhase)), 0.0f,
                   0);
    }
    d->PopMatrix();

    BindHolder(d, s->textures[0]);
    d->Color4f(0.3f, 0.3f, 0.3f, 1.0f);
    DrawBackdrop(d);
    s->orbitPhase = (float)(s->orbitPhase + 0.1); // per call, not per unit of time
}

void Scene2(const SceneFrame& f) {
    RunSwirl(&swirlScene2, f);
}
void Scene7(const SceneFrame& f) {
    RunSwirl(&swirlScene7, f);
}
