// Render targets on the modern backend: a frame buffer object drawing into a
// colour texture (RGBA, 8 bits a channel, linear filter, clamped edges, so a
// texture of any size works in WebGL 1 too), with a 16-bit depth buffer when
// asked. A ping-pong target has two textures: one is drawn into while the
// other, drawn the frame before, is read.
#pragma once
#include "modern_gl.h"

#include <cstdint>
#include <vector>

struct ModernTarget {
    int askedWidth = 0, askedHeight = 0;     // 0 x 0: the picture's size
    int depth = 0, pingPong = 0, shrink = 1; // the picture's size over shrink
    int width = 0, height = 0;               // as the storage is now
    GLuint framebuffer[2] = {0, 0}, texture[2] = {0, 0}, depthBuffer = 0;
    int back = 0; // the texture drawn into
    // The textures hold what the frames run so far drew into them: no frame
    // run without drawing (the null backend's) was to draw into it since it
    // was made or last restored from a mark, nor was it resized.
    int consistent = 1;
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
// Texture `which` (0 or 1) read into `pixels` (RGBA, width x height, bottom
// row first), or written back from them; `restore` is bound after.
void ModernTarget_Read(const ModernGL& gl, const ModernTarget& target, int which,
                       std::vector<uint8_t>* pixels, GLuint restore);
void ModernTarget_Write(const ModernGL& gl, const ModernTarget& target, int which,
                        const std::vector<uint8_t>& pixels);
