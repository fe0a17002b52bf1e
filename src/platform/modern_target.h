// Render targets on the modern backend: a frame buffer object drawing into a
// colour texture (RGBA, 8 bits a channel, linear filter, clamped edges, so a
// texture of any size works in WebGL 1 too), with a 16-bit depth buffer when
// asked. A ping-pong target has two textures: one is drawn into while the
// other, drawn the frame before, is read.
#pragma once
#include "modern_gl.h"

#include <cstdint>

struct ModernTarget {
    int askedWidth = 0, askedHeight = 0;     // 0 x 0: the picture's size
    int depth = 0, pingPong = 0, shrink = 1; // the picture's size over shrink
    int width = 0, height = 0;               // as the storage is now
    GLuint framebuffer[2] = {0, 0}, texture[2] = {0, 0}, depthBuffer = 0;
    int back = 0; // the texture drawn into
};

// Gives the target storage of width x height (made at first, else resized,
// its content then black), leaving `restore` the bound frame buffer and
// texture unit 0 with no texture. 0 when the context refuses the frame
// buffer.
int ModernTarget_Size(const ModernGL& gl, ModernTarget* target, int width, int height,
                      GLuint restore);
// The texture read from: the one drawn last for a ping-pong target.
GLuint ModernTarget_Front(const ModernTarget& target);
void ModernTarget_Free(const ModernGL& gl, ModernTarget* target);
