// The tracks' text form (assets/tracks.txt, `zelkor trk`):
//
//   bpm 128 rows 4          # the grid, once, before the tracks
//   track scene3.camera.distance
//   0 18                    # ROW VALUE [INTERP]; INTERP: step (the default),
//   16 24 smooth            #   linear, smooth or ramp, towards the next key
//   track global.flash
//   repeat every 4 from 0 to 80   # a pattern of keys at rows 0, 4, 8 ... below 80
//   0 1 linear              # OFFSET VALUE [INTERP], offsets below the step
//   1 0
//   end
//
// '#' starts a comment. Names are written as the timetable writes them
// (quoted with escapes when they hold blanks, '#', '"' or odd bytes). A
// repeat is expanded into plain keys when compiled; a key written out at a
// row a repeat also sets takes that row.
#pragma once
#include "core/status.h"
#include "sequencing/track_set.h"

#include <cstdint>
#include <string>
#include <vector>

// What each line of a text holds, so that an editor can write the text back
// with every line it did not change kept as it was.
enum TrackLineKind : uint8_t {
    TRACK_LINE_OTHER, // blank or comment only
    TRACK_LINE_GRID,
    TRACK_LINE_TRACK,  // `track NAME`
    TRACK_LINE_KEY,    // a key written out, at `row`
    TRACK_LINE_REPEAT, // a repeat's first line, its keys and its `end`
};

struct TrackTextLine {
    TrackLineKind kind = TRACK_LINE_OTHER;
    int32_t track = -1;  // the track's index in the set (but for OTHER and GRID)
    int32_t repeat = -1; // REPEAT: the repeat's index
    uint32_t row = 0;    // KEY
};

struct TrackRepeat {
    int32_t track;
    uint32_t every, from, to;      // starts at from, from + every, ... below to
    std::vector<TrackKey> pattern; // rows are offsets from each start, below every
};

struct TrackTextMap {
    std::vector<TrackTextLine> lines; // by line number - 1
    std::vector<TrackRepeat> repeats;
};

// The set, or the problem ("line N: reason"; no file named; *out then
// unchanged). With a map, it is filled too.
ZK_Status CompileTrackText(const std::string& text, TrackSet* out, TrackTextMap* map = nullptr);
// Text that compiles back to the same set; values in the shortest form that
// reads back to the same float.
std::string FormatTrackText(const TrackSet& set);
// "ROW VALUE [INTERP]" as FormatTrackText writes a key.
std::string FormatTrackKey(const TrackKey& key);
// The keys a repeat makes, in rising rows, appended to *keys.
void ExpandTrackRepeat(const TrackRepeat& repeat, std::vector<TrackKey>* keys);
