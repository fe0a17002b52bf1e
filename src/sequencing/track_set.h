// Parameter tracks: named float values over music time, for scenes to read.
// A track is keys at rows of the music's grid, each with a value and the
// interpolation to the next key. Before the first key the first value holds,
// after the last the last; a track without keys has no value of its own.
// Names are free text ("scene3.camera.distance", "global.fade").
#pragma once
#include "core/status.h"
#include "sequencing/music_grid.h"

#include <cstdint>
#include <string>
#include <vector>

enum TrackInterp : uint8_t {
    TRACK_STEP,   // the key's value until the next key
    TRACK_LINEAR, // a straight line to the next key
    TRACK_SMOOTH, // cubic ease in and out: 3u^2 - 2u^3
    TRACK_RAMP,   // quadratic ease in: u^2
    TRACK_INTERP_COUNT
};

// What the files may hold; the parsers refuse anything larger before
// allocating for it.
enum : uint32_t {
    TRACK_MAX_TRACKS = 65536,
    TRACK_MAX_KEYS = 1 << 20, // per track
    TRACK_MAX_NAME = 255,     // bytes, none of them zero
    TRACK_MAX_BYTES = 64 << 20,
};

struct TrackKey {
    uint32_t row;
    float value; // finite
    uint8_t interp;
};

struct Track {
    std::string name;
    std::vector<TrackKey> keys; // rows strictly rising
};

struct TrackSet {
    MusicGrid grid = {128, 4};
    std::vector<Track> tracks; // names unique
};

// "step", "linear", "smooth", "ramp"; null for anything else.
const char* TrackInterpName(int interp);
// Its number, or -1.
int TrackInterpFromName(const std::string& name);

// The track's value at `row` (with its fraction), or `fallback` when it has
// no keys.
float EvaluateTrack(const Track& track, double row, float fallback);

// The rules every form of the tracks keeps, shared by the parsers and the
// editor, so nothing makes a set that a reader refuses.
// Null when `name` may name a track (1 to 255 bytes, no zero byte), else why not.
const char* TrackName_Problem(const std::string& name);
// The size of the set as "default.trk".
uint64_t TrackSet_EncodedSize(const TrackSet& set);
// Whether the set keeps every rule (the limits above, names unique, rows
// rising, values finite, interpolations known); a failure names the first it
// breaks.
ZK_Status TrackSet_Check(const TrackSet& set);
