// The tracks' file parser and text form: any bytes either load or are
// refused, and whatever loads dumps to text that compiles back to exactly
// the same bytes. The same bytes are also fed to the text compiler, and
// what compiles there must survive its own round trip, and an edit of it
// written back into the text must compile to the edited set.
#include "sequencing/track_file.h"
#include "sequencing/track_text.h"
#include "sequencing/track_text_update.h"

#include <string>
#include <vector>

static void Evaluate(const TrackSet& set) {
    volatile float sink = 0;
    for (const Track& track : set.tracks)
        for (double row : {-1.0, 0.0, 0.5, 3.25, 1e6, 5e9})
            sink = sink + EvaluateTrack(track, row, 0.0f);
}

// An editor's kind of edit: a key removed, one changed, one added, a track added.
static void Edit(TrackSet* set) {
    if (!set->tracks.empty()) {
        std::vector<TrackKey>& keys = set->tracks[set->tracks.size() / 2].keys;
        if (keys.size() > 1) keys.erase(keys.begin() + (ptrdiff_t)(keys.size() / 3));
        if (!keys.empty()) keys.back().value = keys.back().value == 0.5f ? 0.25f : 0.5f;
        if (!keys.empty() && keys.back().row < UINT32_MAX)
            keys.push_back({keys.back().row + 1, 2, TRACK_LINEAR});
    }
    set->tracks.push_back({"\x01 edited", {{7, 1, TRACK_SMOOTH}}});
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TrackSet set;
    ZK_Status error;
    std::vector<uint8_t> bytes, again;
    if ((error = CompileTrackText(std::string((const char*)data, size), &set)).ok) {
        EncodeTrackFile(set, &bytes);
        TrackSet back;
        if (!(error = CompileTrackText(FormatTrackText(set), &back)).ok) __builtin_trap();
        EncodeTrackFile(back, &again);
        if (again != bytes) __builtin_trap();
        TrackSet edited = set;
        Edit(&edited);
        std::string updated;
        if (TrackSet_Check(edited).ok &&
            !UpdateTrackText(std::string((const char*)data, size), edited, &updated))
            __builtin_trap();
    }

    if (!(error = DecodeTrackFile(data, size, &set)).ok) {
        if (error.problem.compare(0, 7, "offset ") != 0) __builtin_trap();
        return 0;
    }
    Evaluate(set);
    TrackSet back;
    if (!(error = CompileTrackText(FormatTrackText(set), &back)).ok) __builtin_trap();
    EncodeTrackFile(back, &again);
    if (again != std::vector<uint8_t>(data, data + size)) __builtin_trap();
    return 0;
}
