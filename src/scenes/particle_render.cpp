// Drawing of ParticleSystem: one textured unit square per particle under the
// shared swirl rotation.
//
// Each particle binds its texture and rotates the modelview about (1, 1, 1):
// with `unrotate` 0 the rotations accumulate (particle k is drawn under k + 1
// of them), which winds the cloud into a spiral. On a software GL the matrix
// change between particles makes it flush one small draw per particle; that
// is the price of these exact calls.
#include "scenes/particle_system.h"

#include "platform/draw.h"
#include "textures/texture.h"

void ParticleSystem::Render(const Draw* d, float cx, float cy, float cz, int32_t unrotate) {
    if (!Ready()) return;
    for (int i = 0; i < count; i++) {
        const Particle* p = &particles[i];
        if (texture) texture->BindTexture(d);
        d->Color4f(p->colour[0], p->colour[1], p->colour[2], p->life);
        d->Rotatef(particleShared.swirlAngle, 1.0f, 1.0f, 1.0f);
        float x = p->position[0], y = p->position[1];
        float z = (float)((double)cz + p->position[2]);
        d->Begin(DRAW_TRIANGLE_STRIP);
        d->TexCoord2d(1.0, 1.0);
        d->Vertex3f((float)(cx + 0.5 + x), (float)(cy + 0.5 + y), z);
        d->TexCoord2d(0.0, 1.0);
        d->Vertex3f((float)(cx + x - 0.5), (float)(cy + 0.5 + y), z);
        d->TexCoord2d(1.0, 0.0);
        d->Vertex3f((float)(cx + 0.5 + x), (float)(cy + y - 0.5), z);
        d->TexCoord2d(0.0, 0.0);
        d->Vertex3f((float)(cx + x - 0.5), (float)(cy + y - 0.5), z);
        d->End();
        if (unrotate) d->Rotatef(-particleShared.swirlAngle, 1.0f, 1.0f, 1.0f);
    }
    particleShared.swirlAngle =
        (float)((double)particleShared.swirlAngle + (double)timeStep * rotationSpeed);
}
