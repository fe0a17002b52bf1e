// Drawing of ParticleSystem: one textured unit square per particle under the
// shared swirl rotation.
//
// Every particle is drawn under its own modelview: the swirl rotation about
// (1, 1, 1) once (unrotate 1) or k + 1 times for particle k (unrotate 0, the
// rotations accumulating). Issuing a glRotatef between particles makes the GL
// flush one tiny draw per particle, 1500 a frame, which on a software GL costs
// more than the whole frame's fill. So the per-particle rotation is applied
// here on the CPU and all squares go out as one batch, each as the two
// triangles its four-vertex strip would give; the modelview is left as the
// rotations would have left it. All squares share one texture, so binding it
// once binds what every particle would have bound.
#include "scenes/particle_system.h"

#include "textures/texture.h"

#include <GL/gl.h>

#include <cmath>

namespace {

// Row-major 3x3 rotation by `degrees` about (1, 1, 1), as glRotatef builds it.
void DiagonalRotation(float degrees, float m[9]) {
    const float axis = 0.57735026918962576f; // 1 / sqrt 3
    float a = degrees * (float)(M_PI / 180.0);
    float s = sinf(a), c = cosf(a), oneC = 1.0f - c;
    float xx = axis * axis, xs = axis * s;
    float diag = oneC * xx + c, plus = oneC * xx + xs, minus = oneC * xx - xs;
    // With x = y = z every off-diagonal term is one of two values.
    m[0] = diag, m[1] = minus, m[2] = plus;
    m[3] = plus, m[4] = diag, m[5] = minus;
    m[6] = minus, m[7] = plus, m[8] = diag;
}

// a = a x b
void Multiply(float a[9], const float b[9]) {
    float r[9];
    for (int i = 0; i < 3; i++)
        for (int j = 0; j < 3; j++)
            r[i * 3 + j] = a[i * 3] * b[j] + a[i * 3 + 1] * b[3 + j] + a[i * 3 + 2] * b[6 + j];
    for (int i = 0; i < 9; i++) a[i] = r[i];
}

inline void Vertex(const float m[9], float x, float y, float z) {
    glVertex3f(m[0] * x + m[1] * y + m[2] * z, m[3] * x + m[4] * y + m[5] * z,
               m[6] * x + m[7] * y + m[8] * z);
}

} // namespace

void ParticleSystem::Render(float cx, float cy, float cz, int32_t unrotate) {
    if (!Ready()) return;
    if (count > 0) {
        if (texture) texture->BindTexture();
        float step[9], m[9];
        DiagonalRotation(swirlAngle, step);
        for (int i = 0; i < 9; i++) m[i] = step[i];
        glBegin(GL_TRIANGLES);
        for (int i = 0; i < count; i++) {
            const Particle* p = &particles[i];
            if (!unrotate && i > 0) Multiply(m, step);
            glColor4f(p->colour[0], p->colour[1], p->colour[2], p->life);
            float x = p->position[0], y = p->position[1];
            float z = (float)((double)cz + p->position[2]);
            float right = (float)(cx + 0.5 + x), left = (float)(cx + x - 0.5);
            float top = (float)(cy + 0.5 + y), bottom = (float)(cy + y - 0.5);
            // The strip (1,1) (0,1) (1,0) (0,0) as its two triangles.
            glTexCoord2f(1.0f, 1.0f);
            Vertex(m, right, top, z);
            glTexCoord2f(0.0f, 1.0f);
            Vertex(m, left, top, z);
            glTexCoord2f(1.0f, 0.0f);
            Vertex(m, right, bottom, z);
            Vertex(m, right, bottom, z);
            glTexCoord2f(0.0f, 1.0f);
            Vertex(m, left, top, z);
            glTexCoord2f(0.0f, 0.0f);
            Vertex(m, left, bottom, z);
        }
        glEnd();
        if (!unrotate) {
            // The modelview keeps all the rotations, count of them.
            GLfloat g[16] = {m[0], m[3], m[6], 0, m[1], m[4], m[7], 0,
                             m[2], m[5], m[8], 0, 0,    0,    0,    1};
            glMultMatrixf(g);
        }
    }
    swirlAngle = (float)((double)swirlAngle + (double)timeStep * rotationSpeed);
}
