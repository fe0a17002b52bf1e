#include "scenes/swirl_scenes.h"

#include "platform/draw.h"
#include "sequencing/scene_set.h"

#include <cmath>
#include <string>

ZELKOR_SCENE("scene2", SwirlScene, Scene2, PrepareScene2);
ZELKOR_SCENE("scene7", SwirlScene, Scene7, PrepareScene7);

static int PrepareSwirl(SwirlScene* s, const char* picture) {
    const char* paths[2] = {picture, "particletex.tga"};
    LoadSceneTextures(s->textures, paths, 2);
    return s->particles.Init(1500, s->textures[1]);
}

int PrepareScene2(SwirlScene& s, int kept) {
    return kept || PrepareSwirl(&s, "tarnis_logo.tga");
}
int PrepareScene7(SwirlScene& s, int kept) {
    return kept || PrepareSwirl(&s, "tarnis_5.tga");
}

// What a maker may tune: how much of the old frame stays, the particles'
// spin and distance, the picture's brightness, the orbit's step per frame.
struct SwirlParams {
    TrackHandle trail, spin, distance, brightness, orbit;
};

static SwirlParams SwirlParamsOf(const char* scene) {
    std::string n = scene;
    return {Tracks_Intern((n + ".trail").c_str()), Tracks_Intern((n + ".particles.spin").c_str()),
            Tracks_Intern((n + ".camera.distance").c_str()),
            Tracks_Intern((n + ".picture.brightness").c_str()),
            Tracks_Intern((n + ".orbit.step").c_str())};
}

// No clear: the previous image is darkened and drawn over.
static void RunSwirl(SwirlScene* s, const SceneFrame& f, const SwirlParams& p) {
    const Draw* d = f.draw;
    float t = SceneTime(f.musicTime);
    AdvanceSceneClock(&s->clock, t);
    d->LoadIdentity();
    ParticleSystem* ps = s->particles.Ready() ? &s->particles : nullptr;
    float spin = f.Param(p.spin, 0.4f);
    if (ps) ps->rotationSpeed = t - s->clock.start < 5000.0f ? spin : -spin;

    // Multiplies the old frame by 0.7 times the alpha of whatever texture is
    // bound (normally this picture, from the previous frame).
    d->Disable(DRAW_DEPTH_TEST);
    d->Enable(DRAW_BLEND);
    d->BlendFunc(DRAW_ZERO, DRAW_SRC_ALPHA);
    d->Color4f(1.0f, 1.0f, 1.0f, f.Param(p.trail, 0.7f));
    DrawBackdrop(d);

    d->PushMatrix();
    d->LoadIdentity();
    d->Translatef(0.0f, 0.0f, -f.Param(p.distance, 20.0f));
    d->BlendFunc(DRAW_SRC_ALPHA, DRAW_ONE);
    if (ps) {
        ps->Update(f.elapsed);
        ps->Render(d, (float)(5.0 * sin(s->orbitPhase)), (float)(5.0 * cos(s->orbitPhase)), 0.0f,
                   0);
    }
    d->PopMatrix();

    BindHolder(d, s->textures[0]);
    float brightness = f.Param(p.brightness, 0.3f);
    d->Color4f(brightness, brightness, brightness, 1.0f);
    DrawBackdrop(d);
    s->orbitPhase =
        (float)(s->orbitPhase + f.Param(p.orbit, 0.1)); // per call, not per unit of time
}

void Scene2(const SceneFrame& f, SwirlScene& s) {
    static const SwirlParams params = SwirlParamsOf("scene2");
    RunSwirl(&s, f, params);
}
void Scene7(const SceneFrame& f, SwirlScene& s) {
    static const SwirlParams params = SwirlParamsOf("scene7");
    RunSwirl(&s, f, params);
}
