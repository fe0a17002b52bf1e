// Archive codecs: aPLib depack and pack speed and ratio over a corpus of
// varied files, MD5 against OpenSSL's in the same run, and the UCL and bzip2
// decoders for comparison. Speeds are of uncompressed bytes.
//
// BM_APLibPackFile/... packs three fixed inputs, the first 1 MiB of libc.so.6
// and the first 384 KiB of libstdc++.so.6 (as Debian 12 ships them) and
// 300 KiB of zero bytes; "packed" is the packed size in bytes, the time that
// of one pack. BM_APLibDepackFile/... decodes those streams.
//
// Corpus: the repository's source texts, chunks of this program (binary), a
// generated 256x256 texture, the show's textures and scripts when they have
// been built, and any files in $ZK_BENCH_CORPUS.
#include "archive/aplib.h"
#include "archive/codec.h"
#include "archive/md5.h"
#include "support/scratch.h"

#include <benchmark/benchmark.h>
#include <openssl/evp.h>

#include <cmath>
#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <string>
#include <vector>

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

struct Sample {
    std::string name;
    Bytes data, aplib, ucl, bzip2;
};

static void AddTree(std::vector<Sample>& out, const fs::path& dir,
                    const std::vector<std::string>& extensions) {
    std::error_code ec;
    if (!fs::is_directory(dir, ec)) return;
    for (auto& entry : fs::recursive_directory_iterator(dir, ec)) {
        if (!entry.is_regular_file()) continue;
        std::string ext = entry.path().extension().string();
        bool wanted = extensions.empty();
        for (auto& e : extensions) wanted |= e == ext;
        if (wanted && entry.file_size() >= 2)
            out.push_back({entry.path().string(), ReadBytes(entry.path()), {}, {}, {}});
    }
}

static Bytes Compress(int id, const Bytes& data) {
    std::unique_ptr<VKZ_Codec> codec(VKZ_CreateCodec(id));
    Bytes out((size_t)codec->MaxCompressedSize((uint32_t)data.size()));
    out.resize((size_t)codec->Compress(data.data(), (uint32_t)data.size(), out.data()));
    return out;
}

static std::vector<Sample>& Corpus() {
    static std::vector<Sample> corpus = [] {
        std::vector<Sample> c;
        AddTree(c, fs::path(ZK_SOURCE_DIR) / "src", {".cpp", ".h"});
        AddTree(c, fs::path(ZK_SOURCE_DIR) / "assets", {".txt"});
        AddTree(c, fs::path(ZK_BINARY_DIR) / "show", {".tga", ".bmp", ".rgs"});
        if (const char* extra = getenv("ZK_BENCH_CORPUS")) AddTree(c, extra, {});
        Bytes self = ReadBytes("/proc/self/exe");
        for (size_t at = 0; at + 65536 <= self.size() && at < 8 * 65536; at += 65536)
            c.push_back(
                {"exe chunk", Bytes(self.begin() + at, self.begin() + at + 65536), {}, {}, {}});
        Bytes texture(256 * 256 * 3);
        std::mt19937 rng(1);
        for (int y = 0; y < 256; y++)
            for (int x = 0; x < 256; x++) {
                double v = 128 + 60 * sin(x * 0.07) * cos(y * 0.05) + (int)(rng() % 9) - 4;
                uint8_t* p = &texture[(y * 256 + x) * 3];
                p[0] = (uint8_t)v, p[1] = (uint8_t)(v * 0.6), p[2] = (uint8_t)(255 - v);
            }
        c.push_back({"generated texture", texture, {}, {}, {}});
        for (Sample& s : c) {
            s.aplib = Compress(VKZ_CODEC_APLIB, s.data);
            s.ucl = Compress(VKZ_CODEC_UCL, s.data);
            s.bzip2 = Compress(VKZ_CODEC_BZIP2, s.data);
        }
        return c;
    }();
    return corpus;
}

static void Totals(benchmark::State& state, Bytes Sample::*packed) {
    double raw = 0, stored = 0;
    for (const Sample& s : Corpus())
        raw += (double)s.data.size(), stored += (double)(s.*packed).size();
    state.SetBytesProcessed((int64_t)(state.iterations() * raw));
    state.counters["files"] = (double)Corpus().size();
    state.counters["ratio"] = stored / raw;
}

static void BM_APLibDepack(benchmark::State& state) {
    Corpus(); // built (and packed) before timing starts
    Bytes out;
    for (auto _ : state)
        for (const Sample& s : Corpus()) {
            out.resize(s.data.size());
            uint32_t n = aPLibDepack(s.aplib.data(), (uint32_t)s.aplib.size(), out.data(),
                                     (uint32_t)out.size());
            if (n != s.data.size()) state.SkipWithError("aPLib depack failed");
            benchmark::DoNotOptimize(out.data());
        }
    Totals(state, &Sample::aplib);
}
BENCHMARK(BM_APLibDepack)->Unit(benchmark::kMillisecond);

static void BM_APLibPack(benchmark::State& state) {
    Corpus();
    for (auto _ : state)
        for (const Sample& s : Corpus())
            benchmark::DoNotOptimize(Compress(VKZ_CODEC_APLIB, s.data));
    Totals(state, &Sample::aplib);
}
BENCHMARK(BM_APLibPack)->Unit(benchmark::kMillisecond)->Iterations(1);

struct Fixed {
    Bytes data, packed;
};

static const Fixed& FixedInput(const char* path, size_t size) {
    static std::map<std::string, Fixed> inputs;
    Fixed& f = inputs[path];
    if (f.data.empty()) {
        f.data = *path ? ReadBytes(path) : Bytes(size, 0);
        if (f.data.size() >= size)
            f.data.resize(size), f.packed = Compress(VKZ_CODEC_APLIB, f.data);
    }
    return f;
}

static void BM_APLibPackFile(benchmark::State& state, const char* path, size_t size) {
    Bytes data = FixedInput(path, size).data;
    if (data.size() != size) return state.SkipWithError("input missing or short");
    Bytes packed, back(size);
    for (auto _ : state) packed = Compress(VKZ_CODEC_APLIB, data);
    if (aPLibDepack(packed.data(), (uint32_t)packed.size(), back.data(), (uint32_t)size) != size ||
        back != data)
        state.SkipWithError("does not decode back");
    state.SetBytesProcessed((int64_t)(state.iterations() * size));
    state.counters["packed"] = (double)packed.size();
}

static void BM_APLibDepackFile(benchmark::State& state, const char* path, size_t size) {
    const Fixed& f = FixedInput(path, size);
    if (f.data.size() != size) return state.SkipWithError("input missing or short");
    Bytes out(size);
    for (auto _ : state) {
        uint32_t n =
            aPLibDepack(f.packed.data(), (uint32_t)f.packed.size(), out.data(), (uint32_t)size);
        if (n != size) state.SkipWithError("aPLib depack failed");
        benchmark::DoNotOptimize(out.data());
    }
    state.SetBytesProcessed((int64_t)(state.iterations() * size));
    state.counters["packed"] = (double)f.packed.size();
}

#define FIXED_INPUTS(bm)                                                                           \
    BENCHMARK_CAPTURE(bm, libc_1MiB, "/lib/x86_64-linux-gnu/libc.so.6", 1 << 20)                   \
        ->Unit(benchmark::kMillisecond);                                                           \
    BENCHMARK_CAPTURE(bm, libstdcxx_384KiB, "/usr/lib/x86_64-linux-gnu/libstdc++.so.6", 384 << 10) \
        ->Unit(benchmark::kMillisecond);                                                           \
    BENCHMARK_CAPTURE(bm, zeros_300KiB, "", 300 << 10)->Unit(benchmark::kMillisecond)
FIXED_INPUTS(BM_APLibPackFile);
FIXED_INPUTS(BM_APLibDepackFile);

static void DecodeWith(benchmark::State& state, int id, Bytes Sample::*packed) {
    std::unique_ptr<VKZ_Codec> codec(VKZ_CreateCodec(id));
    Corpus();
    Bytes out;
    for (auto _ : state)
        for (const Sample& s : Corpus()) {
            out.resize(s.data.size());
            int n = codec->Decompress((s.*packed).data(), (uint32_t)(s.*packed).size(), out.data(),
                                      (uint32_t)out.size());
            if (n != (int)s.data.size()) state.SkipWithError("decode failed");
        }
    Totals(state, packed);
}
static void BM_UCLDecode(benchmark::State& state) {
    DecodeWith(state, VKZ_CODEC_UCL, &Sample::ucl);
}
static void BM_Bzip2Decode(benchmark::State& state) {
    DecodeWith(state, VKZ_CODEC_BZIP2, &Sample::bzip2);
}
BENCHMARK(BM_UCLDecode)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Bzip2Decode)->Unit(benchmark::kMillisecond);

static const Bytes& HashInput() {
    static Bytes data = [] {
        Bytes d(1 << 20);
        std::mt19937 rng(2);
        for (auto& b : d) b = (uint8_t)rng();
        return d;
    }();
    return data;
}

static void BM_MD5_Ours(benchmark::State& state) {
    const Bytes& data = HashInput();
    VKZ_MD5 md5;
    uint8_t digest[16];
    for (auto _ : state) {
        md5.Compress(data.data(), (uint32_t)data.size(), digest);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed((int64_t)(state.iterations() * data.size()));
}
static void BM_MD5_OpenSSL(benchmark::State& state) {
    const Bytes& data = HashInput();
    uint8_t digest[16];
    unsigned int n;
    for (auto _ : state) {
        EVP_Digest(data.data(), data.size(), digest, &n, EVP_md5(), nullptr);
        benchmark::DoNotOptimize(digest);
    }
    state.SetBytesProcessed((int64_t)(state.iterations() * data.size()));
}
BENCHMARK(BM_MD5_Ours)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MD5_OpenSSL)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_MD5_Ours)->Unit(benchmark::kMillisecond)->Name("BM_MD5_Ours/again");

BENCHMARK_MAIN();
