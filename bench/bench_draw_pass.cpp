// Cost of a full-picture pass on the modern draw backend at 800x600 on the
// machine's GL (Mesa llvmpipe under Xvfb): a plain copy of a picture-sized
// target, a glow (13 texture reads a pixel, as a post-processing pass
// takes), and a feedback step through ping-pong targets (a fading pass into
// the trail, then the trail onto the picture). Each iteration is the pass
// and glFinish, so the rasteriser's work is inside the measurement.
//
//   xvfb-run -a -s "-screen 0 1024x768x24" build/bench/bench_draw_pass
#include "platform/draw.h"
#include "platform/opengl.h"
#include "platform/window.h"

#include <GL/gl.h>
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>

namespace {

const char* const glowSource = R"(
varying vec2 vTexCoord;
uniform sampler2D picture;
uniform vec2 resolution;
uniform float strength;
void main() {
    vec2 texel = 2.0 / resolution;
    vec3 sum = texture2D(picture, vTexCoord).rgb;
    vec3 glow = vec3(0.0);
    for (int i = -3; i <= 3; i++) {
        if (i == 0) continue;
        float w = 1.0 - abs(float(i)) / 4.0;
        glow += w * texture2D(picture, vTexCoord + vec2(float(i) * texel.x, 0.0)).rgb;
        glow += w * texture2D(picture, vTexCoord + vec2(0.0, float(i) * texel.y)).rgb;
    }
    gl_FragColor = vec4(sum + strength * glow / 6.0, 1.0);
}
)";

const char* const fadeSource = R"(
varying vec2 vTexCoord;
uniform sampler2D picture;
void main() {
    gl_FragColor = vec4(texture2D(picture, vTexCoord * 0.995 + 0.0025).rgb * 0.96, 1.0);
}
)";

struct Bench {
    ZELKOR_Window window;
    ZELKOR_OpenGL gl;
    const Draw* d = nullptr;
    uint32_t scene = 0, trail = 0, glow = 0, fade = 0;
};
Bench* bench = nullptr;

// An 800x600 modern context, a picture-sized target with something drawn
// in it, the trail and the two programs.
Bench* Setup() {
    if (bench) return bench;
    bench = new Bench;
    bench->gl.SetRenderer(DRAW_MODERN);
    bench->window.SetHidden(1);
    if (!bench->window.Initialize(nullptr, ZELKOR_DefWindowProc, 800, 600, 0, nullptr) ||
        !bench->gl.Initialize(&bench->window, 32, nullptr)) {
        fprintf(stderr, "bench_draw_pass: no GL window (run under xvfb-run)\n");
        exit(1);
    }
    const Draw* d = bench->d = bench->gl.GetDraw();
    bench->scene = d->MakeTarget(0, 0, DRAW_TARGET_DEPTH);
    bench->trail = d->MakeTarget(0, 0, DRAW_TARGET_PING_PONG);
    bench->glow = d->ProgramFromSource("glow", nullptr, glowSource);
    bench->fade = d->ProgramFromSource("fade", nullptr, fadeSource);
    if (!bench->scene || !bench->trail || !bench->glow || !bench->fade) {
        fprintf(stderr, "bench_draw_pass: no target or program\n");
        exit(1);
    }
    d->DrawInto(bench->scene);
    d->Clear(DRAW_COLOR_BUFFER_BIT | DRAW_DEPTH_BUFFER_BIT);
    d->LoadIdentity();
    d->Translatef(0, 0, -10);
    d->Begin(DRAW_TRIANGLES);
    for (int i = 0; i < 24; i++) {
        d->Color4f(i % 3 == 0, i % 3 == 1, i % 3 == 2, 1);
        d->Vertex3f(0, 0, 0);
        d->Vertex3f((float)(i % 7) - 3, (float)(i % 5) - 2, 0);
        d->Vertex3f((float)(i % 4) - 1, (float)(i % 6) - 3, 0);
    }
    d->End();
    d->DrawInto(0);
    d->Flush();
    glFinish();
    return bench;
}

void Finish(const Draw* d) {
    d->Flush();
    glFinish();
}

void BM_PassCopy(benchmark::State& state) {
    Bench* b = Setup();
    for (auto _ : state) {
        b->d->Pass(0, b->scene);
        Finish(b->d);
    }
}
BENCHMARK(BM_PassCopy)->Unit(benchmark::kMillisecond);

void BM_PassGlow(benchmark::State& state) {
    Bench* b = Setup();
    const float strength = 0.8f;
    b->d->UseProgram(b->glow);
    b->d->Uniform("strength", 1, &strength);
    for (auto _ : state) {
        b->d->Pass(b->glow, b->scene);
        Finish(b->d);
    }
    b->d->UseProgram(0);
}
BENCHMARK(BM_PassGlow)->Unit(benchmark::kMillisecond);

// Two passes: the trail faded into its other texture, then onto the picture.
void BM_PassFeedback(benchmark::State& state) {
    Bench* b = Setup();
    for (auto _ : state) {
        b->d->DrawInto(b->trail);
        b->d->Pass(b->fade, b->trail);
        b->d->SwapTarget(b->trail);
        b->d->DrawInto(0);
        b->d->Pass(0, b->trail);
        Finish(b->d);
    }
}
BENCHMARK(BM_PassFeedback)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
