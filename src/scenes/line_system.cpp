#include "scenes/line_system.h"

#include "platform/draw.h"
#include "scenes/effect_random.h"
#include "sequencing/scene_state.h"

#include <cmath>

int LineSystem::Init(uint16_t n, float r, float g, float b) {
    particles = (Particle*)Scene_Alloc(n * sizeof(Particle));
    if (!particles) return 0;
    count = n;
    for (int i = 0; i < n; i++) {
        Particle* p = &particles[i];
        p->active = 1;
        p->life = 0.0f;
        p->position[0] = (float)(EffectRand() % 5);
        p->position[1] = (float)(EffectRand() % 5);
        p->position[2] = (float)(EffectRand() % 5);
        p->velocity[0] = (float)((EffectRand() % 50 - 26) * 10);
        p->velocity[1] = (float)((EffectRand() % 50 - 25) * 10);
        p->velocity[2] = (float)((EffectRand() % 50 - 25) * 10);
        p->colour[0] = r;
        p->colour[1] = g;
        p->colour[2] = b;
        p->fadeRate = (float)((EffectRand() % 100) * 0.001);
    }
    sinTable = (float*)Scene_Alloc(n * sizeof(float));
    cosTable = (float*)Scene_Alloc(n * sizeof(float));
    if (!sinTable || !cosTable) return 0;
    for (int i = 0; i < n; i++) {
        double a = i * 90.0;
        sinTable[i] = (float)sin(a);
        cosTable[i] = (float)cos(a);
    }
    return 1;
}

void LineSystem::Update() {
    if (!Ready()) return;
    for (int i = 0; i < count; i++) {
        Particle* p = &particles[i];
        if (p->active != 1) continue;
        p->life -= p->fadeRate;
        p->position[0] = (float)(p->position[0] + (double)sinTable[i] * p->velocity[0]);
        p->position[1] = (float)(p->position[1] + (double)cosTable[i] * p->velocity[1]);
        p->position[2] = p->position[2] + p->velocity[2];
        if (p->life <= 0.0f) {
            // Small, mostly negative velocities: each stroke drifts towards -x,
            // -y, -z from its birth corner. The colour is kept.
            p->life = 0.8f;
            p->fadeRate = (float)((EffectRand() % 100) * 0.001);
            p->position[0] = (float)(EffectRand() % 5);
            p->position[1] = (float)(EffectRand() % 5);
            p->position[2] = (float)(EffectRand() % 5);
            p->velocity[0] = (float)((EffectRand() % 10 - 32) * 0.005);
            p->velocity[1] = (float)((EffectRand() % 10 - 30) * 0.005);
            p->velocity[2] = (float)((EffectRand() % 10 - 30) * 0.005);
        }
    }
}

void LineSystem::Render(const Draw* d, float cx, float cy, float cz) {
    if (!Ready()) return;
    for (int i = 1; i < count - 1; i++) {
        const Particle* a = &particles[i];
        const Particle* b = &particles[i + 1];
        d->Color4f(a->colour[0], a->colour[1], a->colour[2], a->life);
        d->LineWidth(3.0f);
        // A two-vertex loop: the segment is drawn there and back.
        d->Begin(DRAW_LINE_LOOP);
        d->Vertex3f(cx + a->position[0], cy + a->position[1], cz + a->position[2]);
        d->Vertex3f(cx + b->position[0], cy + b->position[1], cz + b->position[2]);
        d->End();
    }
}
