// zelkor play's track editor: an overlay over the picture (Tab) with the
// tracks as columns and the rows around the playing time, and the keys that
// set, remove and change keys there and save the file.
#pragma once
#include <cstdint>
#include <string>

struct Draw;
struct SDL_Keysym;

// The text file Ctrl+S writes (`shown` names it in messages).
void Editor_SetFile(const std::string& path, const std::string& shown);
int Editor_Visible();
void Editor_Toggle();
// A key pressed while the overlay shows, at the current music time; 1 when
// the editor took it (it may have changed the tracks), 0 for play to handle.
int Editor_HandleKey(const SDL_Keysym& key, uint32_t musicTime);
// The overlay over a width x height picture; for Live_SetOverlay.
void Editor_Draw(const Draw* draw, int width, int height, void* user);
// Writes the installed tracks to the file, keeping its leading comments;
// 1, or 0 with the reason on stderr.
int Editor_Save();
