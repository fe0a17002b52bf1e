#include "sequencing/music_grid.h"

#include <cmath>
#include <cstdio>

// Rows a minute: an integer for the usual grids, so ms * rows / 60000 is
// exact where the true row is whole (a row start rounded up to whole ms then
// never reads as the row before).
static double RowsPerMinute(const MusicGrid& grid) {
    return (double)grid.bpm * grid.rowsPerBeat;
}

double MusicGrid_RowAt(const MusicGrid& grid, double ms) {
    return ms * RowsPerMinute(grid) / 60000.0;
}

double MusicGrid_MsAt(const MusicGrid& grid, double row) {
    return row * 60000.0 / RowsPerMinute(grid);
}

uint32_t MusicGrid_RowStart(const MusicGrid& grid, int64_t row) {
    if (row <= 0) return 0;
    double ms = std::ceil(MusicGrid_MsAt(grid, (double)row));
    return ms >= 4294967295.0 ? 4294967295u : (uint32_t)ms;
}

MusicPosition MusicGrid_Position(const MusicGrid& grid, double ms) {
    double row = std::floor(MusicGrid_RowAt(grid, ms > 0 ? ms : 0));
    uint64_t r = row < 1e18 ? (uint64_t)row : 0;
    uint64_t beat = r / grid.rowsPerBeat;
    MusicPosition p;
    p.bar = (uint32_t)(beat / MUSIC_BEATS_PER_BAR + 1);
    p.beat = (uint32_t)(beat % MUSIC_BEATS_PER_BAR + 1);
    p.row = (uint32_t)(r % grid.rowsPerBeat);
    return p;
}

std::string MusicGrid_FormatBar(const MusicGrid& grid, double ms) {
    MusicPosition p = MusicGrid_Position(grid, ms);
    char text[40];
    snprintf(text, sizeof text, "bar %u.%u", p.bar, p.beat);
    return text;
}

int MusicGrid_ParseBarBeat(const MusicGrid& grid, const char* text, uint32_t* ms) {
    uint64_t bar = 0;
    int digits = 0;
    for (; *text >= '0' && *text <= '9'; text++, digits++) {
        bar = bar * 10 + (uint64_t)(*text - '0');
        if (bar > 0xFFFFFFFFull) return 0;
    }
    if (!digits || bar < 1 || *text++ != '.') return 0;
    if (*text < '1' || *text > '0' + MUSIC_BEATS_PER_BAR || text[1] != 0) return 0;
    uint64_t beat = (bar - 1) * MUSIC_BEATS_PER_BAR + (uint64_t)(*text - '1');
    double start = std::ceil(MusicGrid_MsAt(grid, (double)beat * grid.rowsPerBeat));
    if (!(start <= 4294967295.0)) return 0;
    *ms = (uint32_t)start;
    return 1;
}
