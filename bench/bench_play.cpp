// The maker's loop (zelkor play): what a seek costs before its frame can be
// drawn (the music repositioned in a 160-second track: the first jump into
// music never read yet, and jumps about once it has been), reloading a
// 1024x1024 picture into its texture object, and the idle file watch that
// play polls every frame. The GL part needs a display:
//
//   xvfb-run -a -s "-screen 0 1024x768x24" build/bench/bench_play
#include "../tests/music/make_mp3.h"
#include "io/tga_write.h"
#include "io/watch.h"
#include "music/mp3_stream.h"
#include "music/sound.h"
#include "platform/opengl.h"
#include "platform/window.h"
#include "support/scratch.h"
#include "textures/texture.h"
#include "textures/texture_reload.h"

#include <GL/gl.h>
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

ScratchDir& Scratch() {
    static ScratchDir dir("bench-play");
    return dir;
}

const std::string& Track() {
    static std::string path;
    if (path.empty()) {
        path = Scratch() / "track.mp3";
        if (MakeSineMp3(path, 44100, 2, 160.0).empty()) abort();
    }
    return path;
}

// The worst jump: from the start of a freshly opened track to near its end,
// through music the decoder has never read.
void BM_SeekIntoUnreadMusic(benchmark::State& state) {
    for (auto _ : state) {
        state.PauseTiming();
        Mp3Stream* s = Mp3Stream_Open(Track().c_str());
        state.ResumeTiming();
        Mp3Stream_Seek(s, (int64_t)150 * 44100);
        state.PauseTiming();
        Mp3Stream_Close(s);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_SeekIntoUnreadMusic)->Unit(benchmark::kMillisecond);

// Jumps back and forth through a playing track, as Left/Right and the page
// keys do: the clock reads the new time as soon as this returns.
void BM_SeekPlaying(benchmark::State& state) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    ZELKOR_Sound sound;
    if (!sound.Initialize(nullptr) || sound.OpenStream(Track().c_str()) != 0) abort();
    sound.PlayCurrentStream();
    sound.SeekTime(159000); // read the whole track once, as a show played to its end has
    const uint32_t targets[] = {150000, 2000, 90000, 40000, 120000, 10000};
    size_t i = 0;
    for (auto _ : state) {
        sound.SeekTime(targets[i++ % 6]);
        benchmark::DoNotOptimize(sound.GetTime());
    }
    sound.Shutdown();
}
BENCHMARK(BM_SeekPlaying)->Unit(benchmark::kMicrosecond);

// A 1024x1024 picture saved again: read, decoded and uploaded with its
// mipmaps into the texture object the scenes hold.
void BM_ReloadPicture1024(benchmark::State& state) {
    // One context and one record for every run of this function, as the show
    // keeps its records for good.
    static ZELKOR_Window window;
    static ZELKOR_OpenGL gl;
    static std::string path;
    if (path.empty()) {
        window.SetHidden(1);
        if (!window.Initialize(nullptr, nullptr, 320, 240, 0, nullptr) ||
            !gl.Initialize(&window, 32, nullptr)) {
            state.SkipWithError("no GL window (run under xvfb-run)");
            return;
        }
        path = Scratch() / "big.tga";
        std::vector<uint8_t> rgb((size_t)1024 * 1024 * 3);
        for (size_t i = 0; i < rgb.size(); i++) rgb[i] = (uint8_t)(i * 2654435761u >> 13);
        IO_Image image;
        image.width = image.height = 1024, image.bytes = rgb.data();
        WriteBytes(path, IO_EncodeTga(image, IO_TgaFormat::Rgb24));
        Textures_TrackLoads(1);
        (new ZELKOR_Texture())->LoadTexture(path.c_str(), 0, 1);
        Textures_TrackLoads(0);
    }
    ZK_Status why;
    for (auto _ : state) {
        if (Textures_Reload(path.c_str(), &why) != 1) state.SkipWithError(why.problem.c_str());
        glFinish();
    }
}
BENCHMARK(BM_ReloadPicture1024)->Unit(benchmark::kMillisecond);

// What an idle watch adds to every frame.
void BM_IdleWatch(benchmark::State& state) {
    IO_Watch* watch = IO_WatchOpen();
    if (!watch || IO_WatchFolder(watch, Scratch().Path().c_str()) < 0) {
        state.SkipWithError("no file watching");
        return;
    }
    std::vector<IO_Change> changes;
    for (auto _ : state) {
        IO_WatchChanges(watch, &changes);
        benchmark::DoNotOptimize(changes.data());
    }
    IO_WatchClose(watch);
}
BENCHMARK(BM_IdleWatch)->Unit(benchmark::kNanosecond);

} // namespace

BENCHMARK_MAIN();
