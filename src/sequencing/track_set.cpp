#include "sequencing/track_set.h"

#include <algorithm>

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
