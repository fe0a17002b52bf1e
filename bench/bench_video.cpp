// Frames per second of writing a video: colour conversion, encoding and muxing
// of synthetic frames (with their audio) at the default crf and preset. The
// caller only hands frames over, so this is the rate a capture can sustain
// once rendering is faster than encoding.
#include "video/video.h"

#include <benchmark/benchmark.h>

#include <sys/resource.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

enum { FRAMES = 120, FPS = 60, RATE = 44100, DISTINCT = 30 };

// Smooth colour fields under a moving checkerboard: flat shading and sharp
// moving edges, as in the show's scenes.
static std::vector<std::vector<uint8_t>> MakeFrames(int w, int h) {
    std::vector<std::vector<uint8_t>> frames(DISTINCT);
    for (int k = 0; k < DISTINCT; k++) {
        std::vector<uint8_t>& f = frames[k];
        f.resize((size_t)w * h * 3);
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++) {
                uint8_t* p = &f[((size_t)y * w + x) * 3];
                int check = ((x + 8 * k) / 32 + (y + 3 * k) / 32) & 1;
                p[0] = (uint8_t)(128 + 90 * sin((x + 5 * k) / 40.0) + (check ? 30 : -30));
                p[1] = (uint8_t)(128 + 90 * cos((y - 2 * k) / 30.0));
                p[2] = (uint8_t)(((x + y) / 8 + 4 * k) & 255);
            }
    }
    return frames;
}

// CPU seconds of every thread of the process, worker and encoder threads included.
static double ProcessSeconds() {
    struct rusage r;
    getrusage(RUSAGE_SELF, &r);
    return r.ru_utime.tv_sec + r.ru_stime.tv_sec + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

static void BM_WriteVideo(benchmark::State& state, const char* extension) {
    const int w = (int)state.range(0), h = (int)state.range(1);
    const std::vector<std::vector<uint8_t>> frames = MakeFrames(w, h);
    std::vector<int16_t> pcm(2 * RATE / FPS);
    for (size_t i = 0; i < pcm.size(); i++) pcm[i] = (int16_t)(8000 * sin(i * 0.05));
    std::string path = "/tmp/zk_bench_video_" + std::to_string(getpid()) + extension;
    const double cpuStart = ProcessSeconds();
    for (auto _ : state) {
        ZK_VideoSettings s;
        s.path = path.c_str();
        s.width = w, s.height = h, s.fps = FPS;
        s.bottomUp = 1;
        s.audio = 1;
        ZK_Status error;
        ZK_Video* video = ZK_VideoOpen(&s, &error);
        if (!video) {
            state.SkipWithError(ZK_StatusText(error).c_str());
            return;
        }
        for (int k = 0; k < FRAMES; k++) {
            ZK_VideoPushFrame(video, frames[k % DISTINCT].data(), w * 3);
            ZK_VideoPushAudio(video, pcm.data(), (int)pcm.size() / 2);
        }
        if (!(error = ZK_VideoFinish(video)).ok) {
            state.SkipWithError(ZK_StatusText(error).c_str());
            return;
        }
    }
    state.SetItemsProcessed(state.iterations() * FRAMES);
    // The machine's load moves frames per second; the CPU time a frame costs moves less.
    state.counters["cpu_ms_per_frame"] =
        1000 * (ProcessSeconds() - cpuStart) / (double)(state.iterations() * FRAMES);
    remove(path.c_str());
}

BENCHMARK_CAPTURE(BM_WriteVideo, mp4, ".mp4")
    ->Args({640, 480})
    ->Args({1280, 720})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(BM_WriteVideo, webm, ".webm")
    ->Args({640, 480})
    ->Args({1280, 720})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

BENCHMARK_MAIN();
