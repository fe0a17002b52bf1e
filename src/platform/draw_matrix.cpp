#include "platform/draw_matrix.h"

#include <cmath>
#include <cstring>

static const DrawMatrix identity = {{1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}};

void DrawMatrix_Identity(DrawMatrix* matrix) {
    *matrix = identity;
}

void DrawMatrix_Multiply(DrawMatrix* out, const DrawMatrix& a, const DrawMatrix& b) {
    float p[16];
    for (int row = 0; row < 4; row++) {
        const float a0 = a.m[row], a1 = a.m[4 + row], a2 = a.m[8 + row], a3 = a.m[12 + row];
        for (int col = 0; col < 4; col++) {
            const float* c = &b.m[col * 4];
            p[col * 4 + row] = a0 * c[0] + a1 * c[1] + a2 * c[2] + a3 * c[3];
        }
    }
    memcpy(out->m, p, sizeof p);
}

void DrawMatrix_Translate(DrawMatrix* matrix, float x, float y, float z) {
    float* m = matrix->m;
    for (int i = 0; i < 4; i++) m[12 + i] = m[i] * x + m[4 + i] * y + m[8 + i] * z + m[12 + i];
}

void DrawMatrix_Scale(DrawMatrix* matrix, float x, float y, float z) {
    float* m = matrix->m;
    for (int i = 0; i < 4; i++) m[i] *= x, m[4 + i] *= y, m[8 + i] *= z;
}

void DrawMatrix_Rotate(DrawMatrix* matrix, float degrees, float x, float y, float z) {
    // The angle goes to radians in double and to the sine in float, as Mesa does.
    const float s = sinf((float)(degrees * M_PI / 180.0));
    const float c = cosf((float)(degrees * M_PI / 180.0));
    DrawMatrix r = identity;
#define M(row, col) r.m[(col)*4 + (row)]
    // Rotations about one axis get exact zeros and ones.
    if (x == 0.0f && y == 0.0f && z != 0.0f) {
        M(0, 0) = c, M(1, 1) = c;
        M(0, 1) = z < 0.0f ? s : -s;
        M(1, 0) = -M(0, 1);
    } else if (x == 0.0f && z == 0.0f && y != 0.0f) {
        M(0, 0) = c, M(2, 2) = c;
        M(0, 2) = y < 0.0f ? -s : s;
        M(2, 0) = -M(0, 2);
    } else if (y == 0.0f && z == 0.0f && x != 0.0f) {
        M(1, 1) = c, M(2, 2) = c;
        M(1, 2) = x < 0.0f ? s : -s;
        M(2, 1) = -M(1, 2);
    } else {
        const float mag = sqrtf(x * x + y * y + z * z);
        if (mag <= 1.0e-4f) return; // no axis: no rotation
        x /= mag, y /= mag, z /= mag;
        const float xx = x * x, yy = y * y, zz = z * z, xy = x * y, yz = y * z, zx = z * x;
        const float xs = x * s, ys = y * s, zs = z * s, oneC = 1.0f - c;
        M(0, 0) = (oneC * xx) + c;
        M(0, 1) = (oneC * xy) - zs;
        M(0, 2) = (oneC * zx) + ys;
        M(1, 0) = (oneC * xy) + zs;
        M(1, 1) = (oneC * yy) + c;
        M(1, 2) = (oneC * yz) - xs;
        M(2, 0) = (oneC * zx) - ys;
        M(2, 1) = (oneC * yz) + xs;
        M(2, 2) = (oneC * zz) + c;
    }
#undef M
    DrawMatrix_Multiply(matrix, *matrix, r);
}

void DrawMatrix_Perspective(DrawMatrix* matrix, double fieldOfView, double aspect, double nearPlane,
                            double farPlane) {
    const double radians = fieldOfView / 2 * 3.14159265358979323846 / 180;
    const double deltaZ = farPlane - nearPlane, sine = sin(radians);
    if (deltaZ == 0 || sine == 0 || aspect == 0) return; // as GLU: left unchanged
    const double cotangent = cos(radians) / sine;
    DrawMatrix p = identity;
    p.m[0] = (float)(cotangent / aspect);
    p.m[5] = (float)cotangent;
    p.m[10] = (float)(-(farPlane + nearPlane) / deltaZ);
    p.m[11] = -1.0f;
    p.m[14] = (float)(-2 * nearPlane * farPlane / deltaZ);
    p.m[15] = 0.0f;
    DrawMatrix_Multiply(matrix, *matrix, p);
}

static void Normalize(float v[3]) {
    float r = (float)sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (r == 0.0f) return;
    v[0] /= r, v[1] /= r, v[2] /= r;
}

static void Cross(const float a[3], const float b[3], float out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

void DrawMatrix_LookAt(DrawMatrix* matrix, double eyeX, double eyeY, double eyeZ, double atX,
                       double atY, double atZ, double upX, double upY, double upZ) {
    float forward[3] = {(float)(atX - eyeX), (float)(atY - eyeY), (float)(atZ - eyeZ)};
    float up[3] = {(float)upX, (float)upY, (float)upZ}, side[3];
    Normalize(forward);
    Cross(forward, up, side);
    Normalize(side);
    Cross(side, forward, up);
    DrawMatrix v = identity;
    for (int i = 0; i < 3; i++) {
        v.m[i * 4 + 0] = side[i];
        v.m[i * 4 + 1] = up[i];
        v.m[i * 4 + 2] = -forward[i];
    }
    DrawMatrix_Multiply(matrix, *matrix, v);
    DrawMatrix_Translate(matrix, (float)-eyeX, (float)-eyeY, (float)-eyeZ);
}

void DrawMatrix_Point(const DrawMatrix& matrix, float x, float y, float z, float out[4]) {
    const float* m = matrix.m;
    for (int i = 0; i < 4; i++) out[i] = m[i] * x + m[4 + i] * y + m[8 + i] * z + m[12 + i];
}
