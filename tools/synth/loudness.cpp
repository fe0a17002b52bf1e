#include "loudness.h"

#include "voice.h"

#include <ebur128.h>

#include <algorithm>
#include <cstdio>

namespace {

// Feeds frames [from, to) interleaved, a block at a time; a hook runs after
// every block so callers can read the running values.
template <typename AfterBlock>
bool Feed(ebur128_state* st, const StereoBuffer& pcm, size_t from, size_t to, size_t block,
          AfterBlock after) {
    std::vector<float> frames(block * 2);
    for (size_t at = from; at < to; at += block) {
        size_t n = std::min(block, to - at);
        for (size_t i = 0; i < n; i++) {
            frames[2 * i] = pcm.left[at + i];
            frames[2 * i + 1] = pcm.right[at + i];
        }
        if (ebur128_add_frames_float(st, frames.data(), n) != EBUR128_SUCCESS) return false;
        after(at + n);
    }
    return true;
}

} // namespace

bool MeasureLoudness(const StereoBuffer& pcm, size_t from, size_t to, Loudness* out) {
    *out = Loudness();
    to = std::min(to, pcm.Frames());
    if (from >= to) return true;
    ebur128_state* st =
        ebur128_init(2, SAMPLE_RATE, EBUR128_MODE_I | EBUR128_MODE_LRA | EBUR128_MODE_TRUE_PEAK);
    if (!st) return false;
    bool ok = Feed(st, pcm, from, to, 16384, [](size_t) {});
    double peak[2] = {0, 0};
    ok = ok && ebur128_loudness_global(st, &out->integrated) == EBUR128_SUCCESS &&
         ebur128_loudness_range(st, &out->range) == EBUR128_SUCCESS &&
         ebur128_true_peak(st, 0, &peak[0]) == EBUR128_SUCCESS &&
         ebur128_true_peak(st, 1, &peak[1]) == EBUR128_SUCCESS;
    out->truePeak = LevelDb(std::max(peak[0], peak[1]));
    ebur128_destroy(&st);
    return ok;
}

bool ShortTermCurve(const StereoBuffer& pcm, double stepMs, std::vector<double>* out) {
    out->clear();
    size_t step = (size_t)(stepMs * SAMPLE_RATE / 1000.0);
    if (step == 0) return false;
    ebur128_state* st = ebur128_init(2, SAMPLE_RATE, EBUR128_MODE_S);
    if (!st) return false;
    bool ok = Feed(st, pcm, 0, pcm.Frames() - pcm.Frames() % step, step, [&](size_t) {
        double v = -HUGE_VAL;
        if (ebur128_loudness_shortterm(st, &v) != EBUR128_SUCCESS) v = -HUGE_VAL;
        out->push_back(v);
    });
    ebur128_destroy(&st);
    return ok;
}

std::string DescribeLoudness(const Loudness& l) {
    char text[96];
    snprintf(text, sizeof text, "I %.1f LUFS, LRA %.1f LU, TP %.2f dBTP", l.integrated, l.range,
             l.truePeak);
    return text;
}
