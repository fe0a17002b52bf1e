// Texture upload for the modern backend: glTexImage2D, then glGenerateMipmap
// for mipmapped textures, which filter trilinearly and repeat. A context that
// cannot repeat or mipmap a non-power-of-two image (GLES 2, WebGL 1) gets it
// scaled to the power of two gluBuild2DMipmaps would choose.
#pragma once
#include "modern_gl.h"
#include "platform/draw.h"

// Fills texture object `name` (left bound) from `image`; 1 when the texture
// is complete and can be drawn with, 0 when the image was empty. *width and
// *height get the size uploaded (which scaling may have changed).
int ModernTexture_Upload(const ModernGL& gl, GLuint name, const DrawImage& image, int mipmaps,
                         int* width, int* height);
