// Column-major 4 x 4 matrices with OpenGL's own arithmetic, for the backends
// that keep the matrix stack on the CPU: single-precision products in Mesa's
// order, glRotatef's axis shortcuts, gluPerspective in double, gluLookAt in
// float, so a matrix built here matches what the fixed pipeline holds.
#pragma once
#include "core/api.h"

struct DrawMatrix {
    float m[16];
};

ZELKOR_API void DrawMatrix_Identity(DrawMatrix* matrix);
// out = a * b (b applied first to a vertex); out may be a or b.
ZELKOR_API void DrawMatrix_Multiply(DrawMatrix* out, const DrawMatrix& a, const DrawMatrix& b);

// Each multiplies `matrix` on the right, as the GL call of the same name does.
ZELKOR_API void DrawMatrix_Translate(DrawMatrix* matrix, float x, float y, float z);
ZELKOR_API void DrawMatrix_Rotate(DrawMatrix* matrix, float degrees, float x, float y, float z);
ZELKOR_API void DrawMatrix_Scale(DrawMatrix* matrix, float x, float y, float z);
ZELKOR_API void DrawMatrix_Perspective(DrawMatrix* matrix, double fieldOfView, double aspect,
                                       double nearPlane, double farPlane);
ZELKOR_API void DrawMatrix_LookAt(DrawMatrix* matrix, double eyeX, double eyeY, double eyeZ,
                                  double atX, double atY, double atZ, double upX, double upY,
                                  double upZ);

// out = matrix * (x, y, z, 1)
ZELKOR_API void DrawMatrix_Point(const DrawMatrix& matrix, float x, float y, float z, float out[4]);
