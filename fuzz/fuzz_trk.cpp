// The tracks' file parser and text form: any bytes either load or are
// refused, and whatever loads dumps to text that compiles back to exactly
// the same bytes. The same bytes are also fed to the text compiler, and
// what compiles there must survive its own round trip.
#include "sequencing/track_file.h"
#include "sequencing/track_text.h"

#include <string>
#include <vector>

static void Evaluate(const TrackSet& set) {
    volatile float sink = 0;
    for (const Track& track : set.tracks)
        for (double row : {-1.0, 0.0, 0.5, 3.25, 1e6, 5e9})
            sink = sink + EvaluateTrack(track, row, 0.0f);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    TrackSet set;
    std::string error;
    std::vector<uint8_t> bytes, again;
    if (CompileTrackText(std::string((const char*)data, size), &set, &error)) {
        EncodeTrackFile(set, &bytes);
        TrackSet back;
        if (!CompileTrackText(FormatTrackText(set), &back, &error)) __builtin_trap();
        EncodeTrackFile(back, &again);
        if (again != bytes) __builtin_trap();
    }

    if (!DecodeTrackFile(data, size, &set, &error)) {
        if (error.compare(0, 7, "offset ") != 0) __builtin_trap();
        return 0;
    }
    Evaluate(set);
    TrackSet back;
    if (!CompileTrackText(FormatTrackText(set), &back, &error)) __builtin_trap();
    EncodeTrackFile(back, &again);
    if (again != std::vector<uint8_t>(data, data + size)) __builtin_trap();
    return 0;
}
