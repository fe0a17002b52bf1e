// RGS generators on one layer, and TGA decoding throughput for 24-bit, 32-bit
// and run-length encoded files.
#include "archive/memfile.h"
#include "rgs/rgs.h"
#include "rgs/rgs_ops.h"
#include "textures/image_decode.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <vector>

#define GEN(name, call)                                                                            \
    static void BM_##name(benchmark::State& state) {                                               \
        for (auto _ : state) {                                                                     \
            call;                                                                                  \
            benchmark::DoNotOptimize(RGS_Layers[1][0]);                                            \
        }                                                                                          \
    }                                                                                              \
    BENCHMARK(BM_##name)->Unit(benchmark::kMicrosecond)

GEN(Cells100, RGS_Cells(1, 100, 1234, 1, 1, 1));
GEN(Plasma, RGS_Plasma(1, 3, 5, 10, 90, 1, 1, 1));
GEN(Noise16, RGS_Noise(1, 16, 256, 77, 1, 1, 1));
GEN(Noise1, RGS_Noise(1, 1, 256, 77, 1, 1, 1));
GEN(FractalNoise, RGS_FractalNoise(1, 64, 6, 128, 77, 1, 1, 1));
GEN(RadialGlow, RGS_RadialGlow(1, 1.0f, 1, 1, 1));
GEN(Checker, RGS_Checker(1, 32, 32, 0, 0xFFFFFF));
GEN(Fill, RGS_Fill(1, 0x123456));

// A 1024 x 1024 image: raw, or run-length encoded with runs of mixed lengths
// and raw packets, as a photo-like texture would have.
static std::vector<uint8_t> MakeTga(int depth, bool rle) {
    const int side = 1024, b = depth / 8;
    std::vector<uint8_t> f(18, 0);
    f[2] = rle ? 10 : 2;
    f[12] = 0, f[13] = side >> 8, f[14] = 0, f[15] = side >> 8, f[16] = (uint8_t)depth;
    uint32_t s = 99;
    for (int written = 0; written < side * side;) {
        s = s * 1664525u + 1013904223u;
        int n = 1 + (s >> 24) % 64;
        if (n > side * side - written) n = side * side - written;
        if (rle && (s & 1)) {
            f.push_back((uint8_t)(127 + n));
            for (int k = 0; k < b; k++) f.push_back((uint8_t)(s >> (8 * k)));
        } else {
            if (rle) n = n > 128 ? 128 : n, f.push_back((uint8_t)(n - 1));
            for (int i = 0; i < n * b; i++) f.push_back((uint8_t)(s >> (i & 15)));
        }
        written += n;
    }
    return f;
}

static void DecodeTga(benchmark::State& state, int depth, bool rle) {
    std::vector<uint8_t> file = MakeTga(depth, rle);
    for (auto _ : state) {
        MemFile* m = MemFile_Open(file.data(), (uint32_t)file.size(), 0);
        TexImage image;
        if (!DecodeTGA(m, &image)) state.SkipWithError("decode failed");
        benchmark::DoNotOptimize(image.pixels[0]);
        free(image.pixels);
        MemFile_Close(m);
    }
    state.SetBytesProcessed((int64_t)state.iterations() * (int64_t)file.size());
}
BENCHMARK_CAPTURE(DecodeTga, raw24, 24, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(DecodeTga, raw32, 32, false)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(DecodeTga, rle24, 24, true)->Unit(benchmark::kMicrosecond);
BENCHMARK_CAPTURE(DecodeTga, rle32, 32, true)->Unit(benchmark::kMicrosecond);

BENCHMARK_MAIN();
