// The modern backend's programs. Its own: one vertex shader that passes the
// clip-space position, the colour and the texture coordinate through (the
// CPU has done the transform), and a fragment shader with and without a
// texture, which modulates: colour x texel, as the fixed pipeline's
// GL_MODULATE. The scenes' own programs are linked the same way, on the same
// attributes, with that vertex shader when they bring none.
#pragma once
#include "modern_gl.h"
#include "modern_glsl.h"

enum ModernAttribute { MODERN_POSITION = 0, MODERN_COLOUR = 1, MODERN_TEXCOORD = 2 };

// The program for `textured` 0 or 1, with its sampler on texture unit 0; 0
// (with the error set, naming the compiler's complaint) when it fails.
GLuint ModernProgram_Build(const ModernGL& gl, int textured);

// Which of a program's sources a problem is in.
enum ModernStage { MODERN_VERTEX, MODERN_FRAGMENT, MODERN_LINK };

// A program of the scenes' from GLSL source of the subset (modern_glsl.h);
// `vertex` null takes the backend's own vertex shader. Its sampler
// "picture", when it has one, reads texture unit 0. 0, with *stage and
// *problem filled, when it does not compile or link.
GLuint ModernProgram_Make(const ModernGL& gl, const char* vertex, const char* fragment, int* stage,
                          ModernGlslProblem* problem);
