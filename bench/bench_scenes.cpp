// Frame cost of each built scene on the machine's GL (run under xvfb-run with
// Mesa llvmpipe), at 800x600 and 640x480, with the fixed draw backend and with
// the modern one, and the time of the whole scene preparation. Each iteration
// is one scene call plus a flush and glFinish, so the rasteriser's work is
// inside the measurement; BM_Swap adds the buffer swap the main loop does on
// top.
//
//   xvfb-run -a -s "-screen 0 1024x768x24 -noreset" build/bench/bench_scenes
//   (-noreset: Xvfb resets as the last window closes, and the next context,
//   made at once, may find no display)
//   ZK_BENCH_SHOW=build/show xvfb-run ... (the show's own textures)
//   ... --benchmark_filter='BM_Scene/.*/scene./800' (fixed against modern)
#include "io/tga_write.h"
#include "platform/draw.h"
#include "platform/opengl.h"
#include "platform/window.h"
#include "rgs/rgs_text.h"
#include "scenes/cloud_scene.h"
#include "scenes/line_scenes.h"
#include "scenes/scene_names.h"
#include "scenes/swirl_scenes.h"
#include "scenes/wobble_scene.h"
#include "engine/startup.h"
#include "sequencing/scene_set.h"
#include "support/scratch.h"
#include "textures/texture.h"

#include <GL/gl.h>
#include <SDL.h>
#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

namespace {

uint32_t fakeTicks = 0; // the show's elapsed time in the frames

std::filesystem::path showDir;

// A TGA with some structure, so filtering and mipmaps see real data.
void WriteTga(const std::string& path, int w, int h, int seed) {
    std::vector<uint8_t> rgb((size_t)w * h * 3);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            uint8_t* p = &rgb[((size_t)y * w + x) * 3];
            double dx = x - w / 2.0, dy = y - h / 2.0;
            double r = std::sqrt(dx * dx + dy * dy) / (w / 2.0);
            p[0] = (uint8_t)(r < 1 ? 255 * (1 - r) : 0);
            p[1] = (uint8_t)(127 + 127 * std::cos(y * 0.07 + seed));
            p[2] = (uint8_t)(127 + 127 * std::sin(x * 0.05 + seed));
        }
    IO_Image image;
    image.width = w, image.height = h, image.bytes = rgb.data();
    WriteBytes(path, IO_EncodeTga(image, IO_TgaFormat::Rgb24));
}

// ZK_BENCH_SHOW names a real show folder to use instead of made-up textures.
ScratchDir* ownShowFolder = nullptr;

void MakeShowFolder() {
    if (const char* real = getenv("ZK_BENCH_SHOW")) {
        showDir = std::filesystem::absolute(real);
        return;
    }
    ownShowFolder = new ScratchDir("bench-scenes");
    showDir = ownShowFolder->Path();
    const char* pictures[] = {"tarnis_credits.tga", "tarnis_logo.tga", "tarnis_1.tga",
                              "tarnis_2.tga",       "tarnis_3.tga",    "tarnis_4.tga",
                              "tarnis_5.tga",       "tarnis_6.tga",    "tarnis_7.tga",
                              "tarnis_cloud.tga"};
    int seed = 0;
    for (const char* p : pictures) WriteTga(showDir / p, 512, 512, seed++);
    WriteTga(showDir / "particletex.tga", 64, 64, seed++);
    WriteTga(showDir / "tarnis_particle2.tga", 64, 64, seed++);
    WriteTga(showDir / "p1_kopf.tga", 128, 128, seed++);
    WriteTga(showDir / "p1_koerper.tga", 128, 128, seed++);
    std::vector<uint8_t> script;
    if (RGS_Assemble("Plasma 0 3 4 5 6 1 1 1\nBlur3x3 0 2\n", &script).ok) {
        WriteBytes(showDir / "wobble.rgs", script);
    }
}

// The production's scenes in its running order, each with a record of its own.
struct BenchScene {
    const SceneDef* def;
    void* record;
    int order;
};
std::vector<BenchScene> scenes;

template <class State> State& Record(const char* name) {
    for (const BenchScene& s : scenes)
        if (!strcmp(s.def->name, name)) return *(State*)s.record;
    fprintf(stderr, "bench_scenes: no scene %s\n", name);
    exit(1);
}

// Fresh records, prepared in the start-up's order.
void PrepareScenes() {
    if (scenes.empty()) {
        scenes.resize(SHOW_SCENE_COUNT);
        for (const SceneDef* d = zelkorSceneList.first; d; d = d->next) {
            const char* logLine;
            int order, place = ShowScenePlace(d->name, &order, &logLine);
            if (place >= 0)
                scenes[place] = {d, operator new(d->size, std::align_val_t(d->align)), order};
        }
    }
    for (int order = 1; order <= SHOW_SCENE_COUNT; order++)
        for (const BenchScene& s : scenes)
            if (s.order == order) {
                s.def->make(s.record);
                if (s.def->prepare) s.def->prepare(s.record, 0);
            }
}

ZELKOR_Window* window = nullptr;
ZELKOR_OpenGL* gl = nullptr;
int currentW = 0, currentH = 0, currentRenderer = DRAW_FIXED;
double lastPrepareMs = 0;

void CloseContext() {
    if (!gl) return;
    gl->Shutdown();
    window->Shutdown();
    delete gl;
    delete window;
    gl = nullptr;
    window = nullptr;
}

// A context of the given size for the draw backend, with every scene
// prepared in it.
void UseContext(int w, int h, int renderer = DRAW_FIXED) {
    if (gl && w == currentW && h == currentH && renderer == currentRenderer) return;
    CloseContext();
    window = new ZELKOR_Window();
    gl = new ZELKOR_OpenGL();
    gl->SetRenderer(renderer);
    if (!window->Initialize(nullptr, WindowProc, w, h, 0, nullptr) ||
        !gl->Initialize(window, 32, nullptr)) {
        fprintf(stderr, "bench_scenes: no GL window (run under xvfb-run): %s\n", SDL_GetError());
        exit(1);
    }
    {
        WorkingFolder inShow(showDir);
        auto t0 = std::chrono::steady_clock::now();
        PrepareScenes();
        glFinish();
        lastPrepareMs =
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - t0)
                .count();
    }
    currentW = w, currentH = h, currentRenderer = renderer;
}

// What is drawn reaches the rasteriser (the modern backend batches until a
// flush) and is finished there.
void Finish() {
    gl->GetDraw()->Flush();
    glFinish();
}

uint32_t musicTime = 0;

void BM_Scene(benchmark::State& state) {
    UseContext((int)state.range(1), (int)state.range(2), (int)state.range(4));
    const BenchScene& scene = scenes[state.range(0)];
    state.SetLabel(scene.def->name);
    // The tube from its start, or in its last seconds in the show (wide
    // rings, much overdraw).
    if (state.range(0) == 5) Record<WobbleScene>("scene6").amplitude = (float)state.range(3);
    if (state.range(3)) state.SetLabel("scene6 late");
    // The cloud flight from its start, with all 32 layers in view (once the
    // figure has arrived they rush past and the frame is nearly empty).
    if (state.range(0) == 2) {
        Record<CloudScene>("scene3").clock.started = 0;
        Record<CloudScene>("scene3").figureDepth = -50.0f;
    }
    for (auto _ : state) {
        musicTime += 16;
        fakeTicks += 16;
        SceneFrame frame;
        frame.musicTime = musicTime;
        frame.elapsed = fakeTicks;
        frame.delta = 16;
        frame.draw = gl->GetDraw();
        frame.state = scene.record;
        scene.def->draw(frame);
        Finish();
    }
}

// The pieces of a frame on their own, to see where the time goes.
enum Piece { kClear, kBackdrop, kDarken, kParticles, kParticlesUnrotated, kLines, kTube };
const char* pieceNames[] = {"clear",          "backdrop", "darken", "particles1500",
                            "particles1500u", "lines500", "tube"};

void BM_Piece(benchmark::State& state) {
    UseContext((int)state.range(1), (int)state.range(2), (int)state.range(3));
    Piece piece = (Piece)state.range(0);
    state.SetLabel(pieceNames[piece]);
    SwirlScene& swirl = Record<SwirlScene>("scene2");
    ParticleSystem* ps = &swirl.particles;
    LineSystem* ls = &Record<LineScene>("scene1").lines;
    WobbleScene& wobble = Record<WobbleScene>("scene6");
    const Draw* d = gl->GetDraw();
    for (int i = 0; i < 30; i++) ps->Update(fakeTicks), ls->Update(); // past the seeding pass
    ComputeWobbleTube(wobble.tube, 1.0f, 2.0f);
    for (auto _ : state) {
        d->LoadIdentity();
        d->Disable(DRAW_DEPTH_TEST);
        d->Enable(DRAW_BLEND);
        d->BlendFunc(DRAW_SRC_ALPHA, DRAW_ONE);
        d->Color4f(0.3f, 0.3f, 0.3f, 1.0f);
        switch (piece) {
        case kClear:
            gl->BeginFrame();
            break;
        case kBackdrop:
            swirl.textures[0]->BindTexture(d);
            DrawBackdrop(d);
            break;
        case kDarken:
            d->BlendFunc(DRAW_ZERO, DRAW_SRC_ALPHA);
            DrawBackdrop(d);
            break;
        case kParticles:
        case kParticlesUnrotated:
            d->Translatef(0, 0, -20);
            ps->Render(d, 1.0f, 2.0f, 0.0f, piece == kParticlesUnrotated);
            break;
        case kLines:
            d->Enable(DRAW_DEPTH_TEST);
            swirl.textures[0]->BindTexture(d);
            ls->Render(d, 0.0f, -2.2f, -10.0f);
            break;
        case kTube:
            DrawWobbleTube(d, wobble.tube, wobble.textures[2], 0, 0, -20, 0, 0, 0);
            break;
        }
        Finish();
    }
}

void BM_Swap(benchmark::State& state) {
    UseContext((int)state.range(0), (int)state.range(1), (int)state.range(2));
    for (auto _ : state) {
        gl->EndFrame();
        glFinish();
    }
}

void BM_PrepareAllScenes(benchmark::State& state) {
    for (auto _ : state) {
        currentW = 0; // forces a fresh context and preparation
        UseContext((int)state.range(0), (int)state.range(1));
        state.SetIterationTime(lastPrepareMs / 1000.0);
    }
}

// Each size, the fixed backend's cases, then the modern one's (so the context
// changes once): BM_Scene/fixed/scene2 against BM_Scene/modern/scene2. A
// scene's CPU column is the whole process's, the rasteriser's threads
// included: on a machine shared with other work it is the steadier figure.
void RegisterAll() {
    const int sizes[2][2] = {{800, 600}, {640, 480}};
    for (const auto& s : sizes) {
        for (int r : {DRAW_FIXED, DRAW_MODERN}) {
            std::string prefix = std::string("/") + Draw_ForRenderer(r)->name;
            for (int i = 0; i < SHOW_SCENE_COUNT; i++) {
                std::string name = "BM_Scene" + prefix + "/" + ShowSceneNames[i];
                benchmark::RegisterBenchmark(name.c_str(), BM_Scene)
                    ->Args({i, s[0], s[1], 0, r})
                    ->MeasureProcessCPUTime()
                    ->Unit(benchmark::kMillisecond);
            }
            benchmark::RegisterBenchmark(("BM_Scene" + prefix + "/scene6").c_str(), BM_Scene)
                ->Args({5, s[0], s[1], 8, r})
                ->MeasureProcessCPUTime()
                ->Unit(benchmark::kMillisecond);
            for (int piece = 0; piece <= kTube; piece++)
                benchmark::RegisterBenchmark(("BM_Piece" + prefix).c_str(), BM_Piece)
                    ->Args({piece, s[0], s[1], r})
                    ->Unit(benchmark::kMillisecond);
            benchmark::RegisterBenchmark(("BM_Swap" + prefix).c_str(), BM_Swap)
                ->Args({s[0], s[1], r})
                ->Unit(benchmark::kMillisecond);
        }
    }
    benchmark::RegisterBenchmark("BM_PrepareAllScenes", BM_PrepareAllScenes)
        ->Args({800, 600})
        ->UseManualTime()
        ->Iterations(3)
        ->Unit(benchmark::kMillisecond);
}

} // namespace

int main(int argc, char** argv) {
    SDL_SetMainReady();
    MakeShowFolder();
    RegisterAll();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    CloseContext();
    delete ownShowFolder;
    SDL_Quit();
    return 0;
}
