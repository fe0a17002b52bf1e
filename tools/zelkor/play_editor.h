// zelkor play's track editor: an overlay over the picture (Tab) with the
// tracks as columns and the rows around the playing time, and the keys that
// set, remove, nudge, copy and paste keys there, undo and redo, and save the
// file.
#pragma once
#include <cstdint>
#include <string>

struct Draw;
struct SDL_Keysym;

// The text file Ctrl+S writes (`shown` names it in messages).
void Editor_SetFile(const std::string& path, const std::string& shown);
// Play took in the file (exists 1, its text) or found it gone (0: the
// archive's tracks, or none, play). A save never replaces a file that has
// changed on disk since. Tracks from outside start the undo afresh.
void Editor_FileRead(int exists, const std::string& text);
int Editor_Visible();
void Editor_Toggle();
// A key pressed while the overlay shows, at the current music time; 1 when
// the editor took it (it may have changed the tracks), 0 for play to handle.
int Editor_HandleKey(const SDL_Keysym& key, uint32_t musicTime);
// The overlay over a width x height picture; for Live_SetOverlay.
void Editor_Draw(const Draw* draw, int width, int height, void* user);
// Writes the installed tracks into the file, keeping its comments and the
// text of what did not change; 1, or 0 with the reason on stderr. Only a
// regular file (or a new one) is written, never one that is read-only, in a
// built show's folder, or changed since play read it (the tracks then go
// beside it).
int Editor_Save();
