// What the modern draw backend lets tests and benchmarks see and set.
#pragma once

// Draw calls the backend has made since it started.
long DrawModern_DrawCalls();

// Before Start: use only what GLES 2 and WebGL 1 offer (no vertex array
// objects, GLSL ES 1.00, power-of-two textures), whatever the context is.
void DrawModern_LimitToGles2(int limit);
