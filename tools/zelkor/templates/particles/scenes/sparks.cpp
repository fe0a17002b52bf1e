// "sparks": the particle kit's sparks drawn as points, leaving a trail. The
// sparks burst out of the middle on every beat. Each frame the trail of the
// frame before is drawn again a little larger, turned and faded
// (shaders/trail.frag) into one side of a ping-pong render target, the
// sparks are added over it, and the trail is added onto the backdrop.
#include "zelkor/zelkor.h"

#include <cmath>

// The sparks' colours: hot at their birth on the beat, cool after it.
static const float kHot[3] = {1.0f, 0.7f, 0.3f};
static const float kCool[3] = {0.3f, 0.5f, 1.0f};
static const int kSparks = 600;

// What the scene keeps from frame to frame. The engine owns it (and the
// sparks' arrays, which the kit allocates through it), saves it for exact
// seeks and keeps it across a rebuild while it stays the same.
struct Sparks {
    ParticleSystem sparks;
    ZELKOR_Texture *backdrop, *spark;
    int32_t beats; // the beat the last burst was on
    // Made again at every preparation, kept or not: a rebuild deletes the
    // programs and targets the scenes before it made.
    uint32_t trail, fade; // render target, program
};

// A spark's birth in the middle, flying out at a random angle and speed.
// The colour is set as it is drawn.
static void Respawn(Particle* p, int) {
    p->active = 1;
    p->life = 1.0f;
    p->fadeRate = 0.006f + (float)(ZELKOR_Rand() % 100) * 0.0001f;
    p->position[0] = p->position[1] = p->position[2] = 0.0f;
    float speed = 1.5f + (float)(ZELKOR_Rand() % 100) * 0.04f;
    p->velocity[0] = p->velocity[1] = speed;
    p->velocity[2] = (float)(ZELKOR_Rand() % 100 - 50) * 0.05f;
}

static int PrepareSparks(Sparks& s, int kept) {
    // The kit calls the library's own function: set again after a rebuild.
    s.sparks.respawn = Respawn;
    const Draw* d = Draw_Current();
    s.fade = d->ProgramFromFiles("trail");
    s.trail = d->MakeTarget(0, 0, DRAW_TARGET_PING_PONG);
    s.backdrop = SceneTexture("backdrop.tga"); // the same records at every call
    s.spark = SceneTexture("spark.tga");
    if (!kept) {
        s.beats = -1;
        if (!s.sparks.InitWithRespawn(kSparks, s.spark, Respawn)) return 0;
    }
    return s.fade && s.trail;
}

static void DrawSparks(const SceneFrame& frame, Sparks& s) {
    const Draw* d = frame.draw;
    // A burst on every beat: a third of the sparks born again.
    int32_t beats = (frame.bar - 1) * 4 + frame.beat - 1;
    if (beats != s.beats) {
        s.beats = beats;
        for (int i = beats % 3; i < s.sparks.count; i += 3) s.sparks.particles[i].life = 0.0f;
    }
    s.sparks.Update(frame.elapsed);

    // The trail: the frame before's, drawn again into the other side.
    d->Disable(DRAW_BLEND);
    d->Disable(DRAW_DEPTH_TEST);
    d->Color4f(1.0f, 1.0f, 1.0f, 1.0f);
    d->DrawInto(s.trail);
    d->UseProgram(s.fade);
    static const float fade = 0.9f; // where the track trail.fade has no keys
    d->Uniform("fade", 1, &fade);
    d->Pass(s.fade, s.trail);
    d->UseProgram(0);

    // The sparks over it: points, added, larger on the beat.
    d->LoadIdentity();
    d->Translatef(0.0f, 0.0f, -8.0f);
    d->Enable(DRAW_BLEND);
    d->BlendFunc(DRAW_SRC_ALPHA, DRAW_ONE);
    BindHolder(d, s.spark);
    d->PointSprites(1);
    float flare = 1.0f - frame.beatPhase;
    d->PointSize(10.0f + 14.0f * flare * flare);
    d->Begin(DRAW_POINTS);
    for (int i = 0; i < s.sparks.count; i++) {
        const Particle& p = s.sparks.particles[i];
        if (p.life <= 0.0f) continue;
        float hot = p.life * p.life;
        d->Color4f(kCool[0] + (kHot[0] - kCool[0]) * hot, kCool[1] + (kHot[1] - kCool[1]) * hot,
                   kCool[2] + (kHot[2] - kCool[2]) * hot, p.life);
        d->Vertex3f(p.position[0], p.position[1], p.position[2]);
    }
    d->End();
    d->PointSprites(0);
    d->SwapTarget(s.trail);

    // The picture: the backdrop, dimmed, and the trail added over it.
    d->DrawInto(0);
    BeginSceneFrame(d);
    d->Disable(DRAW_BLEND);
    d->Color4f(0.45f, 0.45f, 0.45f, 1.0f);
    BindHolder(d, s.backdrop);
    DrawBackdrop(d);
    d->Disable(DRAW_TEXTURE_2D);
    d->Enable(DRAW_BLEND);
    d->BlendFunc(DRAW_ONE, DRAW_ONE);
    d->Color4f(1.0f, 1.0f, 1.0f, 1.0f);
    d->Pass(0, s.trail);
    d->Disable(DRAW_BLEND);
}

ZELKOR_SCENE("sparks", Sparks, DrawSparks, PrepareSparks);
