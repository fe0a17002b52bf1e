#include "sequencing/track_set.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

static const char* const interpNames[TRACK_INTERP_COUNT] = {"step", "linear", "smooth", "ramp"};

const char* TrackInterpName(int interp) {
    return interp >= 0 && interp < TRACK_INTERP_COUNT ? interpNames[interp] : nullptr;
}

int TrackInterpFromName(const std::string& name) {
    for (int i = 0; i < TRACK_INTERP_COUNT; i++)
        if (name == interpNames[i]) return i;
    return -1;
}

float EvaluateTrack(const Track& track, double row, float fallback) {
    const std::vector<TrackKey>& keys = track.keys;
    if (keys.empty()) return fallback;
    // The first key after `row`: the one before it is the segment's start.
    auto next = std::upper_bound(keys.begin(), keys.end(), row,
                                 [](double r, const TrackKey& k) { return r < (double)k.row; });
    if (next == keys.begin()) return keys.front().value;
    if (next == keys.end()) return keys.back().value;
    const TrackKey& a = next[-1];
    const TrackKey& b = *next;
    double u = (row - a.row) / ((double)b.row - a.row);
    double w;
    switch (a.interp) {
    case TRACK_LINEAR:
        w = u;
        break;
    case TRACK_SMOOTH:
        w = u * u * (3 - 2 * u);
        break;
    case TRACK_RAMP:
        w = u * u;
        break;
    default:
        return a.value;
    }
    return (float)(a.value + ((double)b.value - a.value) * w);
}

const char* TrackName_Problem(const std::string& name) {
    if (name.empty()) return "empty track name";
    if (name.find('\0') != std::string::npos) return "a name cannot hold a zero byte";
    if (name.size() > TRACK_MAX_NAME) return "track name longer than 255 bytes";
    return nullptr;
}

uint64_t TrackSet_EncodedSize(const TrackSet& set) {
    uint64_t size = 20;
    for (const Track& t : set.tracks) size += 8 + t.name.size() + 12 * (uint64_t)t.keys.size();
    return size;
}

ZK_Status TrackSet_Check(const TrackSet& set) {
    if (!(set.grid.bpm >= 1 && set.grid.bpm <= 1000)) return ZK_Fail("bpm must be from 1 to 1000");
    if (set.grid.rowsPerBeat < 1 || set.grid.rowsPerBeat > 256)
        return ZK_Fail("rows per beat must be from 1 to 256");
    if (set.tracks.size() > TRACK_MAX_TRACKS) return ZK_Fail("more than 65536 tracks");
    std::unordered_set<std::string> names;
    for (const Track& t : set.tracks) {
        if (const char* why = TrackName_Problem(t.name)) return ZK_Fail(why);
        if (!names.insert(t.name).second) return ZK_Fail("a second track named " + t.name);
        if (t.keys.size() > TRACK_MAX_KEYS) return ZK_Fail("more than 1048576 keys in one track");
        for (size_t i = 0; i < t.keys.size(); i++) {
            if (i > 0 && t.keys[i].row <= t.keys[i - 1].row) return ZK_Fail("rows out of order");
            if (!std::isfinite(t.keys[i].value)) return ZK_Fail("NaN or infinity is no value");
            if (t.keys[i].interp >= TRACK_INTERP_COUNT) return ZK_Fail("unknown interpolation");
        }
    }
    if (TrackSet_EncodedSize(set) > TRACK_MAX_BYTES)
        return ZK_Fail("the tracks pass 64 MiB compiled");
    return ZK_Ok();
}
