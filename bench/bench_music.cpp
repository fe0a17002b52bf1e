// Music: CPU time spent decoding per second of music, and the music clock
// over a 20-second playback (drift from real time, worst step between reads
// about a millisecond apart). Audio goes to SDL's dummy driver unless
// SDL_AUDIODRIVER says otherwise.
#include "../tests/music/make_mp3.h"
#include "music/mp3_stream.h"
#include "music/sound.h"
#include "support/scratch.h"

#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <string>

static const double TRACK_SECONDS = 20.0;

static const std::string& Track() {
    static std::string path;
    if (path.empty()) {
        static ScratchDir dir("bench-music");
        path = dir / "track.mp3";
        if (MakeSineMp3(path, 44100, 2, TRACK_SECONDS).empty()) abort();
    }
    return path;
}

// Decoding as the audio callback does it: 20 ms device buffers.
static void BM_DecodeTrack(benchmark::State& state) {
    const std::string& path = Track();
    int16_t buffer[882 * 2];
    int64_t frames = 0;
    for (auto _ : state) {
        Mp3Stream* s = Mp3Stream_Open(path.c_str());
        int n;
        while ((n = Mp3Stream_Read(s, buffer, 882)) > 0) frames += n;
        Mp3Stream_Close(s);
        benchmark::DoNotOptimize(buffer);
    }
    double music = (double)frames / 44100.0;
    state.counters["music_s"] = music;
    // Inverted rate: CPU seconds over (music seconds / 1000), i.e. CPU
    // milliseconds spent per second of music.
    state.counters["cpu_ms_per_music_s"] = benchmark::Counter(
        music / 1000.0, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_DecodeTrack)->Unit(benchmark::kMillisecond);

static void BM_OpenStream(benchmark::State& state) {
    const std::string& path = Track();
    for (auto _ : state) {
        Mp3Stream* s = Mp3Stream_Open(path.c_str());
        benchmark::DoNotOptimize(s);
        Mp3Stream_Close(s);
    }
}
BENCHMARK(BM_OpenStream)->Unit(benchmark::kMicrosecond);

static uint64_t Micros() {
    return (uint64_t)((double)SDL_GetPerformanceCounter() * 1e6 /
                      (double)SDL_GetPerformanceFrequency());
}

// Least-squares slope of y over x, minus one, in percent.
struct Fit {
    double n = 0, sx = 0, sy = 0, sxx = 0, sxy = 0;
    void Add(double x, double y) {
        n++;
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
    }
    double DriftPct() const {
        double var = n * sxx - sx * sx;
        return var > 0 ? 100.0 * ((n * sxy - sx * sy) / var - 1.0) : 0.0;
    }
};

static long FileBytes(const char* path) {
    struct stat st;
    return path && stat(path, &st) == 0 ? (long)st.st_size : -1;
}

// Plays the whole track once, reading the clock about every millisecond.
// Drifts are slopes over the whole playback: the clock against real time,
// and with the disk driver (SDL_DISKAUDIOFILE set) the device's consumption
// against real time and the clock against the device.
static void BM_PlaybackClock(benchmark::State& state) {
    const std::string& path = Track();
    if (!getenv("SDL_AUDIODRIVER")) setenv("SDL_AUDIODRIVER", "dummy", 1);
    const char* deviceFile = getenv("SDL_DISKAUDIOFILE");
    for (auto _ : state) {
        ZELKOR_Sound sound;
        if (!sound.Initialize(nullptr) || sound.OpenStream(path.c_str()) != 0) {
            state.SkipWithError("no audio output");
            return;
        }
        long silence = FileBytes(deviceFile);
        uint64_t playAt = Micros();
        sound.PlayCurrentStream();
        const uint32_t length = (uint32_t)(TRACK_SECONDS * 1000);
        uint32_t last = 0, worstStep = 0, worstStep1ms = 0;
        uint64_t firstAt = 0, prevAt = playAt, worstGap = 0;
        Fit clockVsReal, deviceVsReal, clockVsDevice;
        int reads = 0;
        while (Micros() - playAt < (uint64_t)(TRACK_SECONDS * 3e6)) {
            uint32_t t = sound.GetTime();
            uint64_t at = Micros();
            long bytes = FileBytes(deviceFile);
            if (t > 0 && !firstAt) firstAt = at;
            if (firstAt && reads++ > 0) {
                if (t - last > worstStep) worstStep = t - last;
                if (at - prevAt <= 1500 && t - last > worstStep1ms) worstStep1ms = t - last;
                if (at - prevAt > worstGap) worstGap = at - prevAt;
            }
            if (t > 0 && t < length) {
                double real = (double)(at - playAt) / 1000.0;
                clockVsReal.Add(real, t);
                if (bytes >= 0) {
                    double device = (double)(bytes - silence) / 4 * 1000.0 / 44100.0;
                    deviceVsReal.Add(real, device);
                    clockVsDevice.Add(device, t);
                }
            }
            last = t;
            prevAt = at;
            if (t >= length) break;
            SDL_Delay(1);
        }
        state.counters["start_latency_ms"] = (double)(firstAt - playAt) / 1000.0;
        state.counters["drift_pct"] = clockVsReal.DriftPct();
        if (deviceFile) {
            state.counters["device_drift_pct"] = deviceVsReal.DriftPct();
            state.counters["drift_vs_device_pct"] = clockVsDevice.DriftPct();
        }
        state.counters["worst_step_ms"] = worstStep;
        // Over reads at most 1.5 ms apart.
        state.counters["worst_step_1ms_ms"] = worstStep1ms;
        state.counters["worst_read_gap_ms"] = (double)worstGap / 1000.0;
        state.counters["end_ms"] = last;
        sound.Shutdown();
    }
}
BENCHMARK(BM_PlaybackClock)->Iterations(1)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
