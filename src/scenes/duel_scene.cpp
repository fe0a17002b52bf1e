#include "scenes/duel_scene.h"

#include "platform/draw.h"
#include "scenes/effect_random.h"
#include "scenes/figure_model.h"
#include "sequencing/scene_set.h"

#include <cmath>
#include <cstring>

ZELKOR_SCENE("scene5", DuelScene, Scene5, PrepareScene5);

const int32_t beatList[4] = {2500, 5000, 7500, 10000};

int PrepareScene5(DuelScene& s, int) {
    const char* paths[3] = {"tarnis_3.tga", "p1_kopf.tga", "p1_koerper.tga"};
    LoadSceneTextures(s.textures, paths, 3); // the same records when kept
    return 1;
}

static void DrawDuelist(const Draw* d, DuelScene* s, float offset, float spin, double depth) {
    d->LoadIdentity();
    d->Translatef(offset, offset, (float)(-depth * s->pulse));
    d->Rotatef(spin, 0.0f, 0.0f, 1.0f);
    d->Scalef(s->pulse, s->pulse, 1.0f);
    DrawFigure(d, s->textures[2], s->textures[1], s->swing);
}

// Jitter drawn afresh every frame, always up and to the right: a brightness
// c in [0.5, 0.99] and offsets in [0, 0.99], in this order of rand() calls.
static void BoltJitter(const Draw* d, float w, double* jx, double* jy) {
    double c = (EffectRand() % 50) * 0.01 + 0.5;
    d->Color4f((float)(0.5 * c), (float)(0.5 * c), (float)(0.75 * c), w);
    *jx = (EffectRand() % 100) * 0.01;
    *jy = (EffectRand() % 100) * 0.01;
}

// Three strokes, newest brightest; each a ragged ribbon and its spine. The
// first vertex of each keeps whatever colour is current.
static void DrawBolt(const Draw* d, const DuelScene* s, BoltPoint h1, BoltPoint h2) {
    for (int u = 0; u < 3; u++) {
        float w = 1.0f - u * 0.33333334f;
        double jx, jy;
        d->Begin(DRAW_TRIANGLE_STRIP);
        d->Vertex3f(h1.x, h1.y, -15.0f);
        double a = -0.3;
        for (const BoltPoint& p : s->bolt[u]) {
            BoltJitter(d, w, &jx, &jy);
            d->Vertex3f((float)(p.x + jx), (float)(p.y + jy), -15.0f);
            d->Vertex3f((float)(p.x + jx + a), (float)(p.y + jy + a), -15.0f);
            a = -a;
        }
        d->Vertex3f(h2.x, h2.y, -15.0f);
        d->End();

        d->Begin(DRAW_LINE_STRIP);
        d->Vertex3f(h1.x, h1.y, -15.0f);
        d->Color4f(0.5f, 0.5f, 0.75f, w);
        for (const BoltPoint& p : s->bolt[u]) {
            BoltJitter(d, w, &jx, &jy);
            d->Vertex3f((float)(p.x + jx), (float)(p.y + jy), -15.0f);
        }
        d->Vertex3f(h2.x, h2.y, -15.0f);
        d->End();
    }
}

void Scene5(const SceneFrame& f, DuelScene& state) {
    static const TrackHandle fadeLength = Tracks_Intern("scene5.fade.length"),
                             spinSpeed = Tracks_Intern("scene5.spin.speed"),
                             pulseSize = Tracks_Intern("scene5.pulse.size"),
                             distance = Tracks_Intern("scene5.camera.distance");
    const Draw* d = f.draw;
    DuelScene* s = &state;
    float t = SceneTime(f.musicTime);
    BeginSceneFrame(d);
    if (AdvanceSceneClock(&s->clock, t)) {
        s->fade = 0.0f;
        memset(s->bolt, 0, sizeof s->bolt);
    }
    float dt = s->clock.dt;
    d->LoadIdentity();
    UpdateFade(&s->fade, &s->clock, t, f.Param(fadeLength, 10000.0f));

    DrawFadedBackdrop(d, s->textures[0], s->fade);
    d->LoadIdentity();

    s->spin = (float)(s->spin + dt * f.Param(spinSpeed, 0.05));
    s->offset = (float)(s->offset + dt * 0.0009);
    // At most one beat per call, against the music time itself.
    if (s->beatIndex < 4 && t >= (float)beatList[s->beatIndex]) {
        s->pulse = f.Param(pulseSize, 1.5f);
        s->beatIndex++;
    }
    if (s->pulse > 1.0f)
        s->pulse = (float)(s->pulse - dt * 0.001);
    else if (s->pulse < 1.0f)
        s->pulse = 1.0f;
    if (s->offset >= 3.0f) s->offset = 3.0f;

    d->Color4f(1.0f, 1.0f, 1.0f, 1.0f);
    s->swing = (float)(s->swing - dt * 0.025);
    if (s->swing <= 0.0f) s->swing = 25.0f;
    double depth = f.Param(distance, 15.0);
    DrawDuelist(d, s, s->offset, s->spin, depth);
    DrawDuelist(d, s, -s->offset, -s->spin, depth);

    // The bolt's ends: 1.25 above each figure's centre, turned with it.
    d->LoadIdentity();
    float o = s->offset;
    double a = s->spin * 0.017453292f;
    BoltPoint h1 = {(float)(o - 1.25 * sin(a)), (float)(o + 1.25 * cos(a))};
    BoltPoint h2 = {(float)(-o + 1.25 * sin(a)), (float)(-o + 1.25 * cos(a))};
    if (s->boltTimer <= 0.0f) {
        memcpy(s->bolt[2], s->bolt[1], sizeof s->bolt[1]);
        memcpy(s->bolt[1], s->bolt[0], sizeof s->bolt[0]);
        for (int n = 1; n <= 5; n++) {
            s->bolt[0][n - 1].x = (float)(h1.x + (h2.x - h1.x) * n * 0.16666667);
            s->bolt[0][n - 1].y = (float)(h1.y + (h2.y - h1.y) * n * 0.16666667);
        }
        s->boltTimer = 1.0f;
    }
    s->boltTimer = (float)(s->boltTimer - dt * 0.01);

    d->Color4f(0.5f, 0.5f, 0.75f, 1.0f);
    d->Disable(DRAW_TEXTURE_2D);
    DrawBolt(d, s, h1, h2);
}
