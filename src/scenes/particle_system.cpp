#include "scenes/particle_system.h"

#include "scenes/effect_random.h"
#include "sequencing/scene_state.h"

#include <cmath>

ParticleShared particleShared = {};
ZELKOR_MODULE_STATE(particleShared);

static void DefaultSeed(Particle* p) {
    p->active = 1;
    p->life = 0.0f;
    p->position[0] = p->position[1] = p->position[2] = 0.0f;
    p->velocity[0] = (float)((EffectRand() % 50 - 26) * 10);
    p->velocity[1] = (float)((EffectRand() % 50 - 25) * 10);
    p->velocity[2] = (float)((EffectRand() % 50 - 25) * 10);
    p->colour[0] = 0.4f;
    p->colour[1] = 0.6f;
    p->colour[2] = 1.0f;
    p->fadeRate = (float)((EffectRand() % 100) * 0.001 + 0.003);
}

static void DefaultEmit(Particle* p) {
    p->life = 1.5f;
    p->fadeRate = (float)((EffectRand() % 100) * 0.001 + 0.003);
    p->position[0] = p->position[1] = p->position[2] = 0.0f;
    p->velocity[0] = (float)(EffectRand() % 60 - 32);
    p->velocity[1] = (float)(EffectRand() % 60 - 30);
    p->velocity[2] = (float)(EffectRand() % 60 - 30);
    p->colour[0] = 0.4f;
    p->colour[1] = 0.6f;
    p->colour[2] = 1.0f;
}

int ParticleSystem::Seed(uint16_t n, ZELKOR_Texture* tex, RespawnFunc fn) {
    particles = (Particle*)Scene_Alloc(n * sizeof(Particle));
    if (!particles) return 0;
    respawn = fn;
    count = n;
    texture = tex;
    for (int i = 0; i < n; i++) {
        if (respawn)
            respawn(&particles[i], n);
        else
            DefaultSeed(&particles[i]);
    }
    sinTable = (float*)Scene_Alloc(n * sizeof(float));
    cosTable = (float*)Scene_Alloc(n * sizeof(float));
    if (!sinTable || !cosTable) return 0;
    // 90 radians per step: a fixed, scrambled direction for each particle.
    for (int i = 0; i < n; i++) {
        double a = 90.0 * i;
        sinTable[i] = (float)sin(a);
        cosTable[i] = (float)cos(a);
    }
    timeStep = 1.0f;
    return 1;
}

int ParticleSystem::Init(uint16_t n, ZELKOR_Texture* tex) {
    if (!Seed(n, tex, nullptr)) return 0;
    rotationSpeed = 0.4f;
    return 1;
}

int ParticleSystem::InitWithRespawn(uint16_t n, ZELKOR_Texture* tex, RespawnFunc fn) {
    if (!Seed(n, tex, fn)) return 0;
    rotationSpeed = 0.05f;
    return 1;
}

void ParticleSystem::Update(uint32_t elapsed) {
    if (!Ready()) return;
    float t = (float)((double)elapsed * 0.001);
    timeStep = (float)((double)t - particleShared.lastUpdateSeconds);
    particleShared.lastUpdateSeconds = t;
    for (int i = 0; i < count; i++) {
        Particle* p = &particles[i];
        if (p->active != 1) continue;
        p->life -= p->fadeRate;
        // Motion is per call, not scaled by the elapsed time.
        p->position[0] = (float)(p->position[0] + (double)sinTable[i] * p->velocity[0] * 0.01);
        p->position[1] = (float)(p->position[1] + (double)cosTable[i] * p->velocity[1] * 0.01);
        p->position[2] = (float)(p->position[2] + (double)p->velocity[2] * 0.01);
        if (p->life <= 0.0f) {
            if (respawn)
                respawn(p, i);
            else
                DefaultEmit(p);
        }
    }
}

void SpiralRespawn(Particle* p, int) {
    p->active = 1;
    p->life = 0.5f;
    double c = (double)particleShared.spiralCounter; // radians
    p->position[0] = (float)sin(c);
    p->position[1] = (float)cos(c);
    p->position[2] = 0.0f;
    p->velocity[0] = p->velocity[1] = 0.0f;
    p->colour[0] = 0.4f;
    p->colour[1] = 0.6f;
    p->colour[2] = 1.0f;
    p->velocity[2] = (float)((EffectRand() % 50 - 25) * 10);
    p->fadeRate = (float)((EffectRand() % 100) * 0.001 + 0.003);
    // Adds 57: the degrees-per-radian constant, truncated. Wraps past 2^31
    // (after hours of the scene) instead of overflowing.
    particleShared.spiralCounter =
        (int32_t)(uint32_t)(int64_t)(particleShared.spiralCounter + 57.2957763671875);
}
