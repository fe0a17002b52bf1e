// An offscreen frame buffer on the current GL context: colour and a 16-bit
// depth buffer like the window's, the size asked for whatever the screen,
// never shown and never swapped, so scenes that keep trails find the previous
// frame in it. In a browser it is the canvas itself, sized to the frame and
// kept between frames (offscreen_web.cpp).
#pragma once
#include <cstdint>

// Before start-up: no sound device, and a window even where no display is.
void Offscreen_Prepare();
// Creates and binds it, cleared as a new window starts; 1, or 0 when the
// context has no frame buffer objects or refuses the size.
int Offscreen_Create(int width, int height);
// The bound frame buffer's pixels as 8-bit RGB, rows bottom up, each
// rowPixels pixels after the one before (at least width).
void Offscreen_ReadRgb(int width, int height, int rowPixels, uint8_t* out);
// The same as BGRA.
void Offscreen_ReadBgra(int width, int height, int rowPixels, uint8_t* out);
// RGBA, the order the frame buffer itself keeps: the cheapest read.
void Offscreen_ReadRgba(int width, int height, int rowPixels, uint8_t* out);
