#include "master.h"

#include "mp3.h"
#include "voice.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <deque>

namespace {

const double kLookAheadMs = 5, kReleaseMs = 120;
// Margin kept below the ceiling, for the small differences between meters.
const double kMarginDb = 0.1;
// How far the file's loudness may miss the score's target.
const double kLoudnessToleranceLu = 0.2;

void Scale(StereoBuffer* pcm, double db) {
    float g = (float)std::pow(10.0, db / 20.0);
    for (float& v : pcm->left) v *= g;
    for (float& v : pcm->right) v *= g;
}

} // namespace

void LimitPeaks(StereoBuffer* pcm, double ceilingDb) {
    const size_t frames = pcm->Frames();
    const float ceiling = (float)std::pow(10.0, ceilingDb / 20.0);
    const size_t w = std::max<size_t>(1, (size_t)(kLookAheadMs * SAMPLE_RATE / 1000));
    // The gain each frame needs on its own.
    std::vector<float> need(frames);
    for (size_t n = 0; n < frames; n++) {
        float p = std::max(std::fabs(pcm->left[n]), std::fabs(pcm->right[n]));
        need[n] = p > ceiling ? ceiling / p : 1.0f;
    }
    // ahead[n]: the least gain needed in frames n .. n + w - 1 (a sliding
    // minimum), then a release that lets the gain rise again slowly.
    std::vector<float> held(frames);
    std::deque<size_t> window;
    const float release = 1.0f - (float)std::exp(-1.0 / (kReleaseMs * SAMPLE_RATE / 1000));
    float gain = 1.0f;
    for (size_t i = 0; i < frames + w - 1; i++) {
        if (i < frames) {
            while (!window.empty() && need[window.back()] >= need[i]) window.pop_back();
            window.push_back(i);
        }
        if (i + 1 < w) continue;
        size_t n = i + 1 - w;
        while (window.front() < n) window.pop_front();
        float ahead = need[window.front()];
        gain = ahead < gain ? ahead : gain + (ahead - gain) * release;
        held[n] = gain;
    }
    // Averaging over the w frames before each one smooths the attack into a
    // ramp; every value averaged already covers the frame itself, so no frame
    // ends up above the ceiling.
    double sum = 0;
    for (size_t n = 0; n < frames; n++) {
        sum += held[n];
        if (n >= w) sum -= held[n - w];
        float g = (float)(sum / (double)std::min(n + 1, w));
        pcm->left[n] *= g;
        pcm->right[n] *= g;
    }
}

bool NormaliseLoudness(StereoBuffer* pcm, double targetLufs, double ceilingDb) {
    for (int step = 0; step < 8; step++) {
        Loudness l;
        if (!MeasureLoudness(*pcm, 0, pcm->Frames(), &l)) return false;
        if (!std::isfinite(l.integrated)) return false; // silence: nothing to level
        double off = targetLufs - l.integrated;
        if (std::fabs(off) < 0.05) return true;
        Scale(pcm, off);
        LimitPeaks(pcm, ceilingDb);
    }
    return true;
}

ZK_Status MasterLevel(const Score& score, StereoBuffer* pcm) {
    if (!score.byLoudness) return ZK_Ok();
    if (!NormaliseLoudness(pcm, score.loudnessLufs, score.ceilingDb - 1.0))
        return ZK_Fail("the score is silent: there is no loudness to level");
    return ZK_Ok();
}

ZK_Status WriteMeasuredMp3(const Score& score, StereoBuffer* pcm, int kbps, const std::string& path,
                           Loudness* measured) {
    // The encoder's low-pass takes a little loudness away, so the level we aim
    // at before encoding moves by what the file measures short.
    double limiter = score.ceilingDb - 1.0, aim = score.loudnessLufs;
    for (int attempt = 0;; attempt++) {
        std::vector<uint8_t> mp3;
        StereoBuffer decoded;
        // Measured in memory and written once, after the check: the output may
        // be a FIFO or device that cannot be read back.
        ZK_Status made = EncodeMp3(*pcm, kbps, &mp3);
        if (made.ok) made = DecodeMp3Bytes(mp3, path, &decoded);
        if (!made.ok) return made;
        if (!MeasureLoudness(decoded, 0, decoded.Frames(), measured))
            return ZK_FailIn(path, "cannot measure its loudness");
        double over = measured->truePeak - (score.ceilingDb - kMarginDb);
        double missing = score.byLoudness ? score.loudnessLufs - measured->integrated : 0;
        if (over <= 0 && std::fabs(missing) < kLoudnessToleranceLu) return WriteFile(path, mp3);
        if (attempt == 5) {
            char text[160];
            snprintf(text, sizeof text, "%s; cannot reach %.1f dBTP at most%s",
                     DescribeLoudness(*measured).c_str(), score.ceilingDb,
                     score.byLoudness ? " at the loudness asked for" : "");
            return ZK_FailIn(path, text);
        }
        if (score.byLoudness) {
            if (over > 0) limiter -= over + kMarginDb;
            aim += missing;
            if (!NormaliseLoudness(pcm, aim, limiter))
                return ZK_FailIn(path, "cannot level the master");
        } else {
            Scale(pcm, -(over + kMarginDb));
        }
    }
}
