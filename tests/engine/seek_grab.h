// What the seek tests share: the pixels of the next frame shown, when asked,
// and the music time of a frame on the 60-a-second grid.
#pragma once
#include "platform/draw.h"

#include <GL/gl.h>

#include <cstdint>
#include <vector>

struct SeekGrab {
    int width, height;
    int want = 0; // set to have the next frame shown kept; cleared once it is
    std::vector<uint8_t> pixels;
};

// A live overlay (`user` is the SeekGrab): drawn over the finished frame
// before it is shown.
inline void SeekGrab_Overlay(const Draw* draw, int, int, void* user) {
    SeekGrab* g = (SeekGrab*)user;
    if (!g->want) return;
    draw->Submit();
    g->pixels.resize((size_t)g->width * g->height * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, g->width, g->height, GL_RGB, GL_UNSIGNED_BYTE, g->pixels.data());
    g->want = 0;
}

inline uint32_t GridTime(uint64_t g) {
    return (uint32_t)((g * 1000 + 59) / 60);
}
