#include "play_editor.h"
#include "play_font.h"

#include "engine/live.h"
#include "engine/timetable_nav.h"
#include "io/read_file.h"
#include "io/write_file.h"
#include "platform/draw.h"
#include "sequencing/track_text.h"
#include "sequencing/tracks.h"

#include <SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string filePath, fileShown;
int visible = 0;
std::string selected; // the chosen track's name
std::string typed;    // a value being typed
std::string status;   // the last thing done, on the bottom line
uint32_t playTime = 0;

constexpr int CELL_W = FONT_CELL_W, CELL_H = FONT_CELL_H;

const TrackSet& Current() {
    static const TrackSet none;
    const TrackSet* set = Tracks_Current();
    return set ? *set : none;
}

// The columns: the installed tracks and every name the show has asked for.
std::vector<std::string> Columns() {
    std::vector<std::string> names;
    for (const Track& t : Current().tracks) names.push_back(t.name);
    for (int h = 0; h < Tracks_HandleCount(); h++) names.push_back(Tracks_HandleName(h));
    std::sort(names.begin(), names.end());
    names.erase(std::unique(names.begin(), names.end()), names.end());
    return names;
}

int ColumnOf(const std::vector<std::string>& names, const std::string& name) {
    auto it = std::find(names.begin(), names.end(), name);
    return it == names.end() ? 0 : (int)(it - names.begin());
}

uint32_t RowAt(uint32_t t) {
    return (uint32_t)std::floor(MusicGrid_RowAt(Current().grid, t));
}

// Changes the installed set: a copy edited and installed in its place, so
// the scenes see the change from the next frame on.
template <class Edit> void Change(Edit edit) {
    TrackSet set = Current();
    edit(&set);
    Tracks_Install(&set);
    Live_Redraw();
}

Track* FindTrack(TrackSet* set, const std::string& name) {
    for (Track& t : set->tracks)
        if (t.name == name) return &t;
    return nullptr;
}

TrackKey* FindKey(Track* track, uint32_t row) {
    if (!track) return nullptr;
    for (TrackKey& k : track->keys)
        if (k.row == row) return &k;
    return nullptr;
}

void SetKey(uint32_t row) {
    char* end = nullptr;
    float value = strtof(typed.c_str(), &end);
    if (typed.empty() || *end || !std::isfinite(value)) {
        status = "not a number: " + typed;
        typed.clear();
        return;
    }
    typed.clear();
    Change([&](TrackSet* set) {
        Track* track = FindTrack(set, selected);
        if (!track) {
            set->tracks.push_back(Track{selected, {}});
            track = &set->tracks.back();
        }
        if (TrackKey* key = FindKey(track, row)) {
            key->value = value;
            return;
        }
        auto at = std::lower_bound(track->keys.begin(), track->keys.end(), row,
                                   [](const TrackKey& k, uint32_t r) { return k.row < r; });
        uint8_t interp = at == track->keys.begin() ? (uint8_t)TRACK_STEP : (at - 1)->interp;
        track->keys.insert(at, TrackKey{row, value, interp});
    });
    status = "key set at row " + std::to_string(row);
}

void RemoveKey(uint32_t row) {
    Change([&](TrackSet* set) {
        Track* track = FindTrack(set, selected);
        if (!track) return;
        auto& keys = track->keys;
        keys.erase(std::remove_if(keys.begin(), keys.end(),
                                  [&](const TrackKey& k) { return k.row == row; }),
                   keys.end());
    });
    status = "key removed at row " + std::to_string(row);
}

void CycleInterp(uint32_t row) {
    Change([&](TrackSet* set) {
        if (TrackKey* key = FindKey(FindTrack(set, selected), row)) {
            key->interp = (uint8_t)((key->interp + 1) % TRACK_INTERP_COUNT);
            status = std::string("interpolation ") + TrackInterpName(key->interp);
        }
    });
}

// ---- Drawing.

int scale = 1;

// Text with its lower left corner at (x, y), `cells` characters at most.
void Text(const Draw* d, int x, int y, const std::string& text, float bright, size_t cells = 999) {
    Font_Text(d, x, y, text, bright, scale, cells);
}

std::string Value(float v) {
    char text[32];
    snprintf(text, sizeof text, "%.4g", (double)v);
    return text;
}

// The strip of the whole show: an entry a block, the play position a line.
void Strip(const Draw* d, int width, int y, int h) {
    uint32_t end = 0;
    for (int i = 0; i < Timetable_Count(); i++) end = std::max(end, Timetable_End(i));
    if (!Timetable_ShowEnd(&end) && end == 0) return;
    if (end == 0) end = 1;
    Font_Box(d, 0, (float)y, (float)width, (float)h, 0.0f, 0.0f, 0.0f, 0.7f);
    for (int i = 0; i < Timetable_Count(); i++) {
        float x0 = (float)width * Timetable_Start(i) / end;
        float x1 = (float)width * std::min(Timetable_End(i), end) / end;
        float shade = i % 2 ? 0.35f : 0.55f;
        Font_Box(d, x0, (float)y + 1, std::max(x1 - x0 - 1, 1.0f), (float)h - 2, shade * 0.6f,
                 shade * 0.8f, shade, 0.9f);
    }
    float at = (float)width * std::min(playTime, end) / end;
    Font_Box(d, at - 1, (float)y, 2.0f * scale, (float)h, 1.0f, 1.0f, 1.0f, 1.0f);
}

} // namespace

void Editor_SetFile(const std::string& path, const std::string& shown) {
    filePath = path;
    fileShown = shown;
}

int Editor_Visible() {
    return visible;
}

void Editor_Toggle() {
    visible = !visible;
    typed.clear();
    Live_Redraw();
}

int Editor_HandleKey(const SDL_Keysym& key, uint32_t musicTime) {
    if (!visible) return 0;
    std::vector<std::string> names = Columns();
    int column = ColumnOf(names, selected);
    if (selected.empty() && !names.empty()) selected = names[0];
    uint32_t row = RowAt(musicTime);
    SDL_Keycode k = key.sym;
    status.clear();
    int ctrl = (key.mod & KMOD_CTRL) != 0;
    int took = 1;
    if (k == SDLK_LEFT && !ctrl && !names.empty()) {
        selected = names[(size_t)(column + (int)names.size() - 1) % names.size()];
    } else if (k == SDLK_RIGHT && !ctrl && !names.empty()) {
        selected = names[(size_t)(column + 1) % names.size()];
    } else if ((k >= SDLK_0 && k <= SDLK_9) || (k >= SDLK_KP_1 && k <= SDLK_KP_0) ||
               ((k == SDLK_PERIOD || k == SDLK_KP_PERIOD) && !typed.empty()) ||
               ((k == SDLK_MINUS || k == SDLK_KP_MINUS) && typed.empty())) {
        char c = k == SDLK_PERIOD || k == SDLK_KP_PERIOD ? '.'
                 : k == SDLK_MINUS || k == SDLK_KP_MINUS ? '-'
                 : k >= SDLK_0 && k <= SDLK_9            ? (char)('0' + (k - SDLK_0))
                 : k == SDLK_KP_0                        ? '0'
                                                         : (char)('1' + (k - SDLK_KP_1));
        if (typed.size() < 24) typed += c;
    } else if (k == SDLK_BACKSPACE && !typed.empty()) {
        typed.pop_back();
    } else if ((k == SDLK_RETURN || k == SDLK_KP_ENTER) && !typed.empty() && !selected.empty()) {
        SetKey(row);
    } else if (k == SDLK_DELETE && !selected.empty()) {
        RemoveKey(row);
    } else if (k == SDLK_i && !selected.empty()) {
        CycleInterp(row);
    } else if (k == SDLK_s && ctrl) {
        Editor_Save();
    } else {
        took = 0;
    }
    if (took) Live_Redraw();
    return took;
}

int Editor_Save() {
    if (filePath.empty()) return 0;
    // The file's opening comments are the maker's; the rest is the set.
    std::string old, header;
    const char* why = nullptr;
    if (IO_ReadText(filePath.c_str(), TRACK_MAX_BYTES, IO_REGULAR_ONLY, &old, &why)) {
        size_t at = 0;
        while (at < old.size() && (old[at] == '#' || old[at] == '\n')) {
            size_t nl = old.find('\n', at);
            at = nl == std::string::npos ? old.size() : nl + 1;
        }
        header = old.substr(0, at);
    }
    std::string text = header + FormatTrackText(Current());
    if (!IO_WriteFile(filePath.c_str(), text.data(), text.size(), 0, &why)) {
        status = std::string("not saved: ") + why;
        fprintf(stderr, "zelkor play: %s: cannot save the tracks: %s\n", fileShown.c_str(), why);
        return 0;
    }
    status = "saved " + fileShown;
    fprintf(stderr, "zelkor play: saved %s\n", fileShown.c_str());
    return 1;
}

void Editor_Draw(const Draw* d, int width, int height, void*) {
    if (!visible || width < 64 || height < 64) return;
    playTime = Live_Time();
    scale = height >= 700 ? 2 : 1;
    const int cw = CELL_W * scale, lh = (CELL_H + 3) * scale;
    const MusicGrid& grid = Current().grid;
    const uint32_t rowsPerBar = grid.rowsPerBeat * MUSIC_BEATS_PER_BAR;
    std::vector<std::string> names = Columns();
    if (selected.empty() && !names.empty()) selected = names[0];
    int column = ColumnOf(names, selected);

    d->BeginOverlay(width, height);
    const int stripH = 10 * scale, bottom = stripH + 2 * lh;
    Font_Box(d, 0, (float)bottom, (float)width, (float)(height - bottom), 0.0f, 0.0f, 0.0f, 0.55f);

    // Columns: the row's number and its bar.beat, then the tracks around the chosen one.
    const int left = 12 * cw, colW = 14 * cw;
    int fit = std::max(1, (width - left) / colW);
    int first = std::max(0, std::min(column - fit / 2, (int)names.size() - fit));
    int rows = (height - bottom - 2 * lh) / lh;
    uint32_t current = RowAt(playTime);
    int top = height - lh;
    for (int c = 0; c < fit && first + c < (int)names.size(); c++) {
        const std::string& n = names[(size_t)(first + c)];
        int x = left + c * colW;
        if (first + c == column)
            Font_Box(d, (float)x - 2, 0, (float)colW - cw, (float)height, 0.3f, 0.3f, 0.6f, 0.35f);
        std::string tail = n.size() > 13 ? n.substr(n.size() - 13) : n;
        Text(d, x, top, tail, first + c == column ? 1.0f : 0.7f, 13);
    }
    for (int r = 0; r < rows; r++) {
        int64_t row = (int64_t)current - rows / 2 + r;
        int y = top - (r + 1) * lh;
        if (row < 0) continue;
        uint32_t ur = (uint32_t)row;
        if (ur == current)
            Font_Box(d, 0, (float)y - scale, (float)width, (float)lh, 0.8f, 0.6f, 0.1f, 0.45f);
        else if (ur % rowsPerBar == 0)
            Font_Box(d, 0, (float)y - scale, (float)width, (float)lh, 0.4f, 0.4f, 0.4f, 0.3f);
        int beat = ur % grid.rowsPerBeat == 0;
        char label[32];
        snprintf(label, sizeof label, "%5u %s", ur,
                 beat ? MusicGrid_FormatBar(grid, MusicGrid_MsAt(grid, ur)).c_str() + 4 : "");
        Text(d, cw / 2, y, label, beat ? 1.0f : 0.55f);
        for (int c = 0; c < fit && first + c < (int)names.size(); c++) {
            const Track* t = nullptr;
            for (const Track& tr : Current().tracks)
                if (tr.name == names[(size_t)(first + c)]) t = &tr;
            const TrackKey* key = nullptr;
            if (t)
                for (const TrackKey& k : t->keys)
                    if (k.row == ur) key = &k;
            int x = left + c * colW;
            if (key) {
                static const char* marks[] = {"", " /", " ~", " ^"};
                Text(d, x, y, Value(key->value) + marks[key->interp % 4], 1.0f, 13);
            } else if (t && !t->keys.empty() && ur > t->keys.front().row &&
                       ur < t->keys.back().row) {
                Text(d, x, y, "|", 0.4f);
            } else {
                Text(d, x, y, ".", 0.3f);
            }
        }
    }

    // The bottom lines: the typed value or the last thing done, then the help.
    Font_Box(d, 0, (float)stripH, (float)width, (float)(2 * lh), 0.0f, 0.0f, 0.0f, 0.8f);
    std::string line = !typed.empty() ? selected + " = " + typed + "_" : status;
    if (line.empty()) {
        TrackHandle h = Tracks_Intern(selected.c_str());
        const Track* t = Tracks_Find(h);
        line = selected + "  " +
               (t && !t->keys.empty() ? Value(Tracks_Value(h, playTime, 0.0f))
                                      : std::string("no keys: the scene's own value"));
    }
    Text(d, cw / 2, stripH + lh + scale, line, 1.0f);
    Text(d, cw / 2, stripH + scale,
         "LEFT/RIGHT TRACK  0-9 ENTER SET  DEL REMOVE  I INTERP  CTRL+S SAVE  TAB CLOSE", 0.6f);
    Strip(d, width, 0, stripH);
    d->EndOverlay();
}
