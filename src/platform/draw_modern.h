// What the modern draw backend lets tools, tests and benchmarks see and set,
// beside its table.
#pragma once
#include <cstdint>

// Draw calls the backend has made since it started.
long DrawModern_DrawCalls();

// Before Start: use only what a lesser context offers, whatever the context
// is: GLES 2 and WebGL 1 (no vertex array objects, GLSL ES 1.00,
// power-of-two textures), or GL 2.1 (GLSL 1.20, no vertex array objects).
enum DrawModernLimit { DRAW_MODERN_AS_IS = 0, DRAW_MODERN_AS_GLES2 = 1, DRAW_MODERN_AS_GL21 = 2 };
void DrawModern_LimitTo(int limit);

// GL errors found after passes since the start. The backend looks for them
// in debug builds, and in release builds when ZELKOR_GL_CHECK is set in the
// environment (the tests set it); each is said on stderr.
long DrawModern_GLErrors();

// The programs made from shaders/`file` ("glow.frag") compiled again: the
// number that now draw the new code, 0 when none is made from it, -1 when
// one does not compile (it keeps the code before; see the problems).
int DrawModern_ReloadShaders(const char* file);
// The problems of the programs whose last compile failed, "FILE:LINE:
// message" each, from 0; null after the last.
const char* DrawModern_ShaderProblem(int index);
// Deletes the scenes' programs and render targets (their scenes are
// replaced); their handles draw as 0 from then on.
void DrawModern_Release();

// For the null backend, which stands in for this one in simulated frames:
// the texture a target draws into now (0 for no target), and whether a
// texture name is some target's.
uint32_t DrawModern_TargetBack(uint32_t target);
int DrawModern_IsTargetTexture(uint32_t name);
