// The track editor's state, shared by its keys (play_editor.cpp), its
// overlay (play_editor_draw.cpp) and its saving (play_editor_save.cpp).
#pragma once
#include "track_edit.h"

#include <cstdint>
#include <string>
#include <vector>

struct EditorState {
    std::string filePath, fileShown; // what Ctrl+S writes, and its name in messages
    int visible = 0;
    std::string selected; // the chosen track's name
    std::string typed;    // a value being typed
    std::string status;   // the last thing done, on the bottom line
    int marked = 0;       // B marked a row: a copy takes the rows from it to the current one
    uint32_t mark = 0;
    TrackEditor edits;
    // The file as play last read it: a save replaces only that.
    int readExists = 0;
    std::string readText;
};

EditorState& Editor_State();
// The installed tracks, or an empty set.
const TrackSet& Editor_Tracks();
// The columns: the installed tracks and every name the show has asked for.
std::vector<std::string> Editor_Columns();
// The grid's row at a music time.
uint32_t Editor_RowAt(uint32_t musicTime);
