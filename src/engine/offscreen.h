// An offscreen frame buffer on the current GL context: colour and a 16-bit
// depth buffer like the window's, the size asked for whatever the screen,
// never shown and never swapped, so scenes that keep trails find the previous
// frame in it.
#pragma once
#include <cstdint>

// Creates and binds it, cleared as a new window starts; 1, or 0 when the
// context has no frame buffer objects or refuses the size.
int Offscreen_Create(int width, int height);
// The bound frame buffer's pixels as 8-bit RGB, rows bottom up.
void Offscreen_ReadRgb(int width, int height, uint8_t* out);
// The same as BGRA.
void Offscreen_ReadBgra(int width, int height, uint8_t* out);
