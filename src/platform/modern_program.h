// The modern backend's shaders: one vertex shader that passes the clip-space
// position, the colour and the texture coordinate through (the CPU has done
// the transform), and a fragment shader with and without a texture, which
// modulates: colour x texel, as the fixed pipeline's GL_MODULATE.
#pragma once
#include "modern_gl.h"

enum ModernAttribute { MODERN_POSITION = 0, MODERN_COLOUR = 1, MODERN_TEXCOORD = 2 };

// The program for `textured` 0 or 1, with its sampler on texture unit 0; 0
// (with the error set, naming the compiler's complaint) when it fails.
GLuint ModernProgram_Build(const ModernGL& gl, int textured);
