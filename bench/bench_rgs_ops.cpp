// Every RGS operation of opcodes 8-38 on one 256x256 layer of noise, some also
// where the order of reads and writes matters (the scratch layer 4 in place, a
// source also written). The generators (1-7) are in bench_textures.
#include "rgs/rgs.h"
#include "rgs/rgs_ops.h"

#include <benchmark/benchmark.h>

static void Noise() {
    uint32_t s = 12345;
    for (int l = 0; l < RGS_LAYER_COUNT; l++)
        for (int i = 0; i < LAYER_SIZE; i++) {
            s = s * 1664525u + 1013904223u;
            RGS_Layers[l][i] = (uint8_t)(s >> 24);
        }
}

// Runs op on layer 1 (reading layers 2 and 3 where it combines) over and over;
// the content drifts between runs but no operation's cost depends on it much.
template <class F> static void Run(benchmark::State& state, F op) {
    Noise();
    for (auto _ : state) {
        op();
        benchmark::DoNotOptimize(RGS_Layers[1][0]);
    }
}

#define OP(name, call)                                                                             \
    static void BM_##name(benchmark::State& s) {                                                   \
        Run(s, [] { call; });                                                                      \
    }                                                                                              \
    BENCHMARK(BM_##name)->Unit(benchmark::kMicrosecond)

OP(AddColor, RGS_AddColor(1, 10.5f, -3.0f, 100.0f));
OP(ScaleColor, RGS_ScaleColor(1, 1.01f, 0.99f, 1.5f));
OP(SineColor, RGS_SineColor(1, 1.0f, 2.5f, 0.3f));
OP(Colorize, RGS_Colorize(1, 200.0f, 0.6f));
OP(ShuffleChannels, RGS_ShuffleChannels(1));
OP(HalfTile, RGS_HalfTile(1));
OP(TransposeShift, RGS_TransposeShift(1, 3, 7));
OP(DisplaceByBrightness, RGS_DisplaceByBrightness(1, 2, 3, 0.1f, -0.07f));
OP(DisplaceByBrightness_inPlace, RGS_DisplaceByBrightness(1, 1, 3, 0.1f, -0.07f));
OP(Swirl, RGS_Swirl(1, 128, 128, 200.0f, 1.5f));
OP(SineWarp, RGS_SineWarp(1, 0.05f, 0.08f, 6.0f, 4.5f));
OP(Invert, RGS_Invert(1));
OP(BitRotate, RGS_BitRotate(1, 3, 5));
OP(GradientDisplace, RGS_GradientDisplace(1));
OP(Equalize, RGS_Equalize(1));
OP(Stretch, RGS_Stretch(1));
OP(EdgeBoost, RGS_EdgeBoost(1, 1, 1, 2));
OP(EdgeDetect, RGS_EdgeDetect(1));
OP(Sharpen, RGS_Sharpen(1));
OP(Scatter, RGS_Scatter(1, 3, 99));
OP(Threshold, RGS_Threshold(1));
OP(BlurTranspose_r8, RGS_BlurTranspose(1, 8));
OP(BlurTranspose_r8_layer4, RGS_BlurTranspose(4, 8));
OP(Blur3x3_1pass, RGS_Blur3x3(1, 1));
OP(CopyChannels, RGS_CopyChannels(1, 2, 1, 0, 1));
OP(SwapChannels, RGS_SwapChannels(1, 2, 1, 1, 0));
OP(CombineOr, RGS_CombineOr(1, 2, 3, 0.7f, 1.2f));
OP(CombineXor, RGS_CombineXor(1, 2, 3, 0.7f, 1.2f));
OP(CombineAnd, RGS_CombineAnd(1, 2, 3, 0.7f, 1.2f));
OP(CombineAdd, RGS_CombineAdd(1, 2, 3, 0.7f, 1.2f));
OP(CombineMultiply, RGS_CombineMultiply(1, 2, 3, 0.7f, 1.2f));
OP(CombineMin, RGS_CombineMin(1, 2, 3, 0.7f, 1.2f));
OP(CombineMax, RGS_CombineMax(1, 2, 3, 0.7f, 1.2f));

// The blur at radii from 1 to the largest, on a layer and on layer 4 in place.
static void BM_BlurTranspose(benchmark::State& state) {
    Run(state, [&] { RGS_BlurTranspose((int)state.range(1), (int32_t)state.range(0)); });
}
BENCHMARK(BM_BlurTranspose)
    ->ArgsProduct({{1, 8, 32, 127, 128, 300, 65535}, {1, 4}})
    ->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
