// Parameter tracks: the lookups a frame makes (200 tracks of 1000 keys, one
// value each; target under 20 us a frame) and a reload of a 200-track text
// file, parsed and installed (target under 50 ms).
#include "sequencing/scene_frame.h"
#include "sequencing/track_file.h"
#include "sequencing/track_text.h"
#include "sequencing/tracks.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

enum { TRACKS = 200, KEYS = 1000 };

// Keys every 1 to 4 rows with every interpolation, so the show's length
// (161 s, about 1380 rows) falls inside each track.
static std::string MakeText() {
    std::string text = "bpm 128 rows 4\n";
    uint32_t s = 12345;
    static const char* const interp[] = {"", " linear", " smooth", " ramp"};
    for (int t = 0; t < TRACKS; t++) {
        text += "track scene" + std::to_string(t % 10) + ".param" + std::to_string(t) + "\n";
        uint32_t row = 0;
        for (int k = 0; k < KEYS; k++) {
            s = s * 1664525u + 1013904223u;
            row += 1 + (s >> 30);
            text += std::to_string(row) + " " + std::to_string((int)(s >> 20) - 2048) + "." +
                    std::to_string(s % 1000) + interp[(s >> 8) & 3] + "\n";
        }
    }
    return text;
}

static const std::string& Text() {
    static std::string text = MakeText();
    return text;
}

// A frame of the show at 60 frames a second: every track read once, as the
// scenes read them, through their frame.
static void BM_LookupsPerFrame(benchmark::State& state) {
    ZK_Status error;
    if (!(error = Tracks_InstallText(Text())).ok) state.SkipWithError(error.problem.c_str());
    std::vector<TrackHandle> handles;
    for (const Track& t : Tracks_Current()->tracks)
        handles.push_back(Tracks_Intern(t.name.c_str()));
    double ms = 0;
    SceneFrame frame;
    frame.tracks = 1;
    for (auto _ : state) {
        frame.musicTime = (uint32_t)ms;
        float sum = 0;
        for (TrackHandle h : handles) sum += frame.Param(h, 0.0f);
        benchmark::DoNotOptimize(sum);
        ms += 1000.0 / 60;
        if (ms > 161250) ms = 0;
    }
    state.counters["tracks"] = (double)handles.size();
}
BENCHMARK(BM_LookupsPerFrame)->Unit(benchmark::kMicrosecond);

static void BM_ReloadText(benchmark::State& state) {
    const std::string& text = Text();
    ZK_Status error;
    for (auto _ : state)
        if (!(error = Tracks_InstallText(text)).ok) state.SkipWithError(error.problem.c_str());
    state.SetBytesProcessed((int64_t)(state.iterations() * text.size()));
}
BENCHMARK(BM_ReloadText)->Unit(benchmark::kMillisecond);

// The same tracks from the archive entry, as the show starts.
static void BM_ReloadFile(benchmark::State& state) {
    TrackSet set;
    ZK_Status error;
    CompileTrackText(Text(), &set);
    std::vector<uint8_t> bytes;
    EncodeTrackFile(set, &bytes);
    for (auto _ : state)
        if (!(error = Tracks_InstallFile(bytes.data(), bytes.size())).ok)
            state.SkipWithError(error.problem.c_str());
    state.SetBytesProcessed((int64_t)(state.iterations() * bytes.size()));
}
BENCHMARK(BM_ReloadFile)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
