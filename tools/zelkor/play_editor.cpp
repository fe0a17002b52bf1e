// The track editor's state and keys; its overlay is in play_editor_draw.cpp,
// its saving in play_editor_save.cpp.
#include "play_editor.h"
#include "play_editor_state.h"

#include "engine/live.h"
#include "sequencing/tracks.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

EditorState& Editor_State() {
    static EditorState state;
    return state;
}

const TrackSet& Editor_Tracks() {
    static const TrackSet none;
    const TrackSet* set = Tracks_Current();
    return set ? *set : none;
}

std::vector<std::string> Editor_Columns() {
    std::vector<std::string> names;
    for (const Track& t : Editor_Tracks().tracks) names.push_back(t.name);
    for (int h = 0; h < Tracks_HandleCount(); h++) names.push_back(Tracks_HandleName(h));
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

uint32_t Editor_RowAt(uint32_t t) {
    return (uint32_t)std::floor(MusicGrid_RowAt(Editor_Tracks().grid, t));
}

namespace {

// An edit of a copy of the installed set, installed in its place when it
// changed, so the scenes see it from the next frame on.
template <class Edit> void Change(Edit edit) {
    TrackSet set = Editor_Tracks();
    if (!edit(&set)) return;
    Tracks_Install(&set);
    Live_Redraw();
}

int ColumnOf(const std::vector<std::string>& names, const std::string& name) {
    auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() ? 0 : (int)(it - names.begin());
}

// A character of a value being typed, or 0.
char Typed(SDL_Keycode k, const std::string& typed) {
    if (k >= SDLK_0 && k <= SDLK_9) return (char)('0' + (k - SDLK_0));
    if (k == SDLK_KP_0) return '0';
    if (k >= SDLK_KP_1 && k <= SDLK_KP_9) return (char)('1' + (k - SDLK_KP_1));
    if ((k == SDLK_PERIOD || k == SDLK_KP_PERIOD) && !typed.empty()) return '.';
    if ((k == SDLK_MINUS || k == SDLK_KP_MINUS) && typed.empty()) return '-';
    return 0;
}

void SetKey(EditorState& e, uint32_t row) {
    char* end = nullptr;
    float value = strtof(e.typed.c_str(), &end);
    if (e.typed.empty() || *end || !std::isfinite(value)) {
        e.status = "not a number: " + e.typed;
        e.typed.clear();
        return;
    }
    e.typed.clear();
    Change([&](TrackSet* set) {
        return TrackEdit_SetKey(&e.edits, set, e.selected, row, value, &e.status);
    });
}

} // namespace

void Editor_SetFile(const std::string& path, const std::string& shown) {
    Editor_State().filePath = path;
    Editor_State().fileShown = shown;
}

void Editor_FileRead(int exists, const std::string& text) {
    EditorState& e = Editor_State();
    // The editor's own save read back changes nothing: its steps still hold.
    if (exists && e.readExists && text == e.readText) return;
    e.readExists = exists;
    e.readText = exists ? text : std::string();
    TrackEdit_Forget(&e.edits);
}

int Editor_Visible() {
    return Editor_State().visible;
}

void Editor_Toggle() {
    EditorState& e = Editor_State();
    e.visible = !e.visible;
    e.typed.clear();
    Live_Redraw();
}

int Editor_HandleKey(const SDL_Keysym& key, uint32_t musicTime) {
    EditorState& e = Editor_State();
    if (!e.visible) return 0;
    std::vector<std::string> names = Editor_Columns();
    int column = ColumnOf(names, e.selected);
    if (e.selected.empty() && !names.empty()) e.selected = names[0];
    uint32_t row = Editor_RowAt(musicTime);
    SDL_Keycode k = key.sym;
    e.status.clear();
    int ctrl = (key.mod & KMOD_CTRL) != 0, shift = (key.mod & KMOD_SHIFT) != 0;
    int track = !e.selected.empty(), took = 1;
    char c = ctrl ? 0 : Typed(k, e.typed);
    if (k == SDLK_LEFT && !ctrl && !names.empty()) {
        e.selected = names[(size_t)(column + (int)names.size() - 1) % names.size()];
    } else if (k == SDLK_RIGHT && !ctrl && !names.empty()) {
        e.selected = names[(size_t)(column + 1) % names.size()];
    } else if (c) {
        if (e.typed.size() < 24) e.typed += c;
    } else if (k == SDLK_BACKSPACE && !e.typed.empty()) {
        e.typed.pop_back();
    } else if ((k == SDLK_RETURN || k == SDLK_KP_ENTER) && !e.typed.empty() && track) {
        SetKey(e, row);
    } else if (k == SDLK_DELETE && track) {
        Change([&](TrackSet* s) {
            return TrackEdit_RemoveKey(&e.edits, s, e.selected, row, &e.status);
        });
    } else if (k == SDLK_i && !ctrl && track) {
        Change([&](TrackSet* s) {
            return TrackEdit_CycleInterp(&e.edits, s, e.selected, row, &e.status);
        });
    } else if ((k == SDLK_UP || k == SDLK_DOWN) && (shift || ctrl) && track) {
        // Shift: the value's second digit; Ctrl: its first.
        int steps = k == SDLK_UP ? 1 : -1;
        Change([&](TrackSet* s) {
            return TrackEdit_Nudge(&e.edits, s, e.selected, row, steps, ctrl, &e.status);
        });
    } else if (k == SDLK_b && !ctrl) {
        e.marked = !e.marked;
        e.mark = row;
        e.status = e.marked ? "marked row " + std::to_string(row) : "mark cleared";
    } else if (k == SDLK_c && ctrl && track) {
        TrackEdit_Copy(&e.edits, Editor_Tracks(), e.selected, e.marked ? e.mark : row, row,
                       &e.status);
        e.marked = 0;
    } else if (k == SDLK_v && ctrl && track) {
        Change(
            [&](TrackSet* s) { return TrackEdit_Paste(&e.edits, s, e.selected, row, &e.status); });
    } else if ((k == SDLK_z && ctrl && shift) || (k == SDLK_y && ctrl)) {
        Change([&](TrackSet* s) { return TrackEdit_Redo(&e.edits, s, &e.status); });
    } else if (k == SDLK_z && ctrl) {
        Change([&](TrackSet* s) { return TrackEdit_Undo(&e.edits, s, &e.status); });
    } else if (k == SDLK_s && ctrl) {
        Editor_Save();
    } else {
        took = 0;
    }
    if (took) Live_Redraw();
    return took;
}
