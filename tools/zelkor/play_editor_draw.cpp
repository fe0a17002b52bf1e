// The track editor's overlay: the tracks as columns around the chosen one,
// the rows around the playing time, the keys' help, and the timetable as a
// strip of the whole show.
#include "play_editor.h"
#include "play_editor_state.h"
#include "play_font.h"

#include "engine/live.h"
#include "engine/timetable_nav.h"
#include "platform/draw.h"
#include "sequencing/tracks.h"

#include <algorithm>
#include <cstdio>

namespace {

constexpr int CELL_W = FONT_CELL_W, CELL_H = FONT_CELL_H;
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
void Strip(const Draw* d, int width, int y, int h, uint32_t playTime) {
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

const TrackKey* KeyAt(const Track* t, uint32_t row) {
    if (!t) return nullptr;
    auto it = std::lower_bound(t->keys.begin(), t->keys.end(), row,
                               [](const TrackKey& k, uint32_t r) { return k.row < r; });
    return it != t->keys.end() && it->row == row ? &*it : nullptr;
}

} // namespace

void Editor_Draw(const Draw* d, int width, int height, void*) {
    EditorState& e = Editor_State();
    if (!e.visible || width < 64 || height < 64) return;
    uint32_t playTime = Live_Time();
    scale = height >= 700 ? 2 : 1;
    const int cw = CELL_W * scale, lh = (CELL_H + 3) * scale;
    const TrackSet& set = Editor_Tracks();
    const MusicGrid& grid = set.grid;
    const uint32_t rowsPerBar = grid.rowsPerBeat * MUSIC_BEATS_PER_BAR;
    std::vector<std::string> names = Editor_Columns();
    if (e.selected.empty() && !names.empty()) e.selected = names[0];
    int column = (int)(std::find(names.begin(), names.end(), e.selected) - names.begin());
    if (column == (int)names.size()) column = 0;

    d->BeginOverlay(width, height);
    const int stripH = 10 * scale, bottom = stripH + 3 * lh;
    Font_Box(d, 0, (float)bottom, (float)width, (float)(height - bottom), 0.0f, 0.0f, 0.0f, 0.55f);

    // Columns: the row's number and its bar.beat, then the tracks around the chosen one.
    const int left = 12 * cw, colW = 14 * cw;
    int fit = std::max(1, (width - left) / colW);
    int first = std::max(0, std::min(column - fit / 2, (int)names.size() - fit));
    int rows = (height - bottom - 2 * lh) / lh;
    uint32_t current = Editor_RowAt(playTime);
    int top = height - lh;
    std::vector<const Track*> shown;
    for (int c = 0; c < fit && first + c < (int)names.size(); c++) {
        const std::string& n = names[(size_t)(first + c)];
        int x = left + c * colW;
        if (first + c == column)
            Font_Box(d, (float)x - 2, 0, (float)colW - cw, (float)height, 0.3f, 0.3f, 0.6f, 0.35f);
        std::string tail = n.size() > 13 ? n.substr(n.size() - 13) : n;
        Text(d, x, top, tail, first + c == column ? 1.0f : 0.7f, 13);
        const Track* t = nullptr;
        for (const Track& tr : set.tracks)
            if (tr.name == n) t = &tr;
        shown.push_back(t);
    }
    uint32_t markLow = std::min(e.mark, current), markHigh = std::max(e.mark, current);
    for (int r = 0; r < rows; r++) {
        int64_t row = (int64_t)current - rows / 2 + r;
        int y = top - (r + 1) * lh;
        if (row < 0) continue;
        uint32_t ur = (uint32_t)row;
        if (ur == current)
            Font_Box(d, 0, (float)y - scale, (float)width, (float)lh, 0.8f, 0.6f, 0.1f, 0.45f);
        else if (ur % rowsPerBar == 0)
            Font_Box(d, 0, (float)y - scale, (float)width, (float)lh, 0.4f, 0.4f, 0.4f, 0.3f);
        if (e.marked && ur >= markLow && ur <= markHigh && column >= first && column < first + fit)
            Font_Box(d, (float)(left + (column - first) * colW) - 2, (float)y - scale,
                     (float)colW - cw, (float)lh, 0.2f, 0.8f, 0.4f, 0.35f);
        int beat = ur % grid.rowsPerBeat == 0;
        char label[32];
        snprintf(label, sizeof label, "%5u %s", ur,
                 beat ? MusicGrid_FormatBar(grid, MusicGrid_MsAt(grid, ur)).c_str() + 4 : "");
        Text(d, cw / 2, y, label, beat ? 1.0f : 0.55f);
        for (size_t c = 0; c < shown.size(); c++) {
            const Track* t = shown[c];
            const TrackKey* key = KeyAt(t, ur);
            int x = left + (int)c * colW;
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
    Font_Box(d, 0, (float)stripH, (float)width, (float)(3 * lh), 0.0f, 0.0f, 0.0f, 0.8f);
    std::string line = !e.typed.empty() ? e.selected + " = " + e.typed + "_" : e.status;
    if (line.empty()) {
        TrackHandle h = Tracks_Intern(e.selected.c_str());
        const Track* t = Tracks_Find(h);
        line = e.selected + "  " +
               (t && !t->keys.empty() ? Value(Tracks_Value(h, playTime, 0.0f))
                                      : std::string("no keys: the scene's own value"));
    }
    Text(d, cw / 2, stripH + 2 * lh + scale, line, 1.0f);
    Text(d, cw / 2, stripH + lh + scale,
         "LEFT/RIGHT TRACK  0-9 ENTER SET  DEL REMOVE  I INTERP  SHIFT/CTRL+UP/DOWN NUDGE", 0.6f);
    Text(
        d, cw / 2, stripH + scale,
        "B MARK  CTRL+C COPY  CTRL+V PASTE  CTRL+Z UNDO  CTRL+SHIFT+Z REDO  CTRL+S SAVE  TAB CLOSE",
        0.6f);
    Strip(d, width, 0, stripH, playTime);
    d->EndOverlay();
}
