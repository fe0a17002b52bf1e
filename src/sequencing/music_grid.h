// The music's grid of rows: beats per minute and rows per beat, four beats
// to a bar. The show's is 128 bpm and 4 rows: a row is 117.1875 ms and a bar
// (16 rows) 1875 ms. Bars and beats count from 1, as musicians count them:
// music time 0 is bar 1.1.
#pragma once
#include "core/api.h"

#include <cstdint>
#include <string>

enum { MUSIC_BEATS_PER_BAR = 4 };

struct MusicGrid {
    float bpm;            // 1 to 1000
    uint32_t rowsPerBeat; // 1 to 256
};

// The row (with its fraction) at a music time in ms, and back.
ZELKOR_API double MusicGrid_RowAt(const MusicGrid& grid, double ms);
ZELKOR_API double MusicGrid_MsAt(const MusicGrid& grid, double row);
// The first whole ms on or after the start of `row` (negative rows are 0), so
// that MusicGrid_RowAt of it lies in that row; for moving by rows and bars.
ZELKOR_API uint32_t MusicGrid_RowStart(const MusicGrid& grid, int64_t row);

struct MusicPosition {
    uint32_t bar;  // from 1
    uint32_t beat; // 1 to 4
    uint32_t row;  // within the beat, from 0
};
ZELKOR_API MusicPosition MusicGrid_Position(const MusicGrid& grid, double ms);
// "bar 12.3": the bar and the beat playing at `ms`.
ZELKOR_API std::string MusicGrid_FormatBar(const MusicGrid& grid, double ms);
// "BAR.BEAT" (bar from 1, beat 1 to 4) to the first whole ms on or after that
// beat; 1, or 0 when the text is no such time or lies past 2^32 - 1 ms.
int MusicGrid_ParseBarBeat(const MusicGrid& grid, const char* text, uint32_t* ms);
