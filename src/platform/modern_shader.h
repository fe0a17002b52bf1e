// The scenes' shader programs on the modern backend: made from files of the
// show (shaders/NAME.vert and NAME.frag) or from source, known by a handle
// that outlives recompiles, with their uniforms: the frame's standard
// values, the tracks that drive them and what the scenes set.
//
// A program that fails to compile keeps the last one that did (none at
// first: it then draws as the backend's own) and its problem, as
// "shaders/NAME.frag:LINE: message", until a recompile succeeds.
#pragma once
#include "modern_gl.h"

#include <cstdint>

// Made from shaders/NAME.frag and, when there is one, shaders/NAME.vert in
// the current folder; asked again by the same name, recompiled in place.
// The handle (from 1), or 0 when the name is no plain file name. A file
// that cannot be read is a problem as a compile's is: the handle draws once
// the file is there and compiles.
uint32_t ModernShaders_Load(const ModernGL& gl, const char* name);
// The same from source; `vertex` may be null (the backend's own).
uint32_t ModernShaders_Make(const ModernGL& gl, const char* name, const char* vertex,
                            const char* fragment);
// The GL program to draw a handle's with: its last good one, or 0.
GLuint ModernShaders_Program(uint32_t handle);

// The frame's values for every program: music time in seconds, the phase
// within the beat (0 to 1).
void ModernShaders_SetFrame(float seconds, float beat);
// With the handle's program in use: the frame's values, the size drawn into
// and the tracks' values, each set when it changed.
void ModernShaders_Apply(const ModernGL& gl, uint32_t handle, int width, int height);
// With the handle's program in use: a uniform the scene sets (1-4 floats,
// or 16 for a mat4), unless a track drives it. 0 when the program has no
// such uniform of that size.
int ModernShaders_Set(const ModernGL& gl, uint32_t handle, const char* name, int count,
                      const float* values);
// A sampler reading texture unit `unit`.
int ModernShaders_SetSampler(const ModernGL& gl, uint32_t handle, const char* name, int unit);

// Every program made from the file shaders/`file` compiled again. The
// number that now draw the new code, or -1 when one does not compile.
int ModernShaders_Reload(const ModernGL& gl, const char* file);
// The problems of programs whose last compile failed, from 0 (null after the last).
const char* ModernShaders_Problem(int index);
// Deletes every program (the context is going, or the scenes that made them).
void ModernShaders_Release(const ModernGL& gl, int contextLive);
