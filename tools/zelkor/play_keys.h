// zelkor play's keys. What the maker presses is caught as SDL queues it (so
// keys reach play even when a scene pumps the message that carries them) and
// handled between frames: pausing, seeking by time, rows, bars and entries,
// frame steps, speed, looping, and the tracks editor's keys.
#pragma once
#include <SDL.h>

#include <vector>

// Starts (1) or stops (0) catching keys and window events.
void Play_WatchKeys(int on);
// The keys pressed since the last call, in order.
std::vector<SDL_Keysym> Play_TakeKeys();
// 1 once Escape or the close box asked to leave.
int Play_Leaving();
// 1 when the window was uncovered or resized since the last call.
int Play_TakeExposed();
void Play_HandleKey(const SDL_Keysym& key);
// Loops the entry playing now (none in a gap), or stops looping.
void Play_ToggleLoop();
