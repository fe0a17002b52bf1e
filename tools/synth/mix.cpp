#include "mix.h"

#include "voice.h"

#include <algorithm>
#include <cmath>

int64_t StepSample(const Score& score, int64_t step) {
    return (int64_t)std::llround((double)step * score.StepMs() * SAMPLE_RATE / 1000.0);
}

int64_t SongSamples(const Score& score) {
    return StepSample(score, (int64_t)score.TotalBars() * 16);
}

float PeakLevel(const StereoBuffer& buffer) {
    float peak = 0;
    for (float v : buffer.left) peak = std::max(peak, std::fabs(v));
    for (float v : buffer.right) peak = std::max(peak, std::fabs(v));
    return peak;
}

double LevelDb(double level) {
    return level > 0 ? 20.0 * std::log10(level) : -INFINITY;
}

void ApplyDelay(StereoBuffer* bus, int delaySamples, float feedback) {
    size_t frames = bus->Frames();
    if (delaySamples <= 0) return;
    std::vector<float> lineL(delaySamples, 0.0f), lineR(delaySamples, 0.0f);
    float dampL = 0, dampR = 0;
    size_t pos = 0;
    for (size_t n = 0; n < frames; n++) {
        float outL = lineL[pos], outR = lineR[pos];
        // The left line takes the input and the right line's echo; the right
        // line takes the left's, so repeats bounce from side to side.
        dampL += 0.45f * (outL - dampL);
        dampR += 0.45f * (outR - dampR);
        float in = 0.5f * (bus->left[n] + bus->right[n]);
        lineL[pos] = in + feedback * dampR;
        lineR[pos] = feedback * dampL;
        bus->left[n] = outL;
        bus->right[n] = outR;
        pos = pos + 1 == (size_t)delaySamples ? 0 : pos + 1;
    }
}

namespace {

struct Comb {
    std::vector<float> line;
    size_t pos = 0;
    float store = 0;
    float Run(float in, float feedback, float damp) {
        float out = line[pos];
        store = out * (1 - damp) + store * damp;
        line[pos] = in + store * feedback;
        if (++pos == line.size()) pos = 0;
        return out;
    }
};

struct Allpass {
    std::vector<float> line;
    size_t pos = 0;
    float Run(float in) {
        float buffered = line[pos];
        float out = buffered - in;
        line[pos] = in + buffered * 0.5f;
        if (++pos == line.size()) pos = 0;
        return out;
    }
};

} // namespace

void ApplyReverb(StereoBuffer* bus, float size, float damp) {
    static const int combTuning[8] = {1116, 1188, 1277, 1356, 1422, 1491, 1557, 1617};
    static const int allpassTuning[4] = {556, 441, 341, 225};
    const int spread = 23; // the right channel's lines are slightly longer
    Comb combs[2][8];
    Allpass allpasses[2][4];
    for (int c = 0; c < 2; c++) {
        for (int i = 0; i < 8; i++) combs[c][i].line.assign(combTuning[i] + c * spread, 0.0f);
        for (int i = 0; i < 4; i++)
            allpasses[c][i].line.assign(allpassTuning[i] + c * spread, 0.0f);
    }
    float feedback = 0.7f + 0.28f * size;
    for (size_t n = 0; n < bus->Frames(); n++) {
        float in = (bus->left[n] + bus->right[n]) * 0.015f;
        for (int c = 0; c < 2; c++) {
            float out = 0;
            for (int i = 0; i < 8; i++) out += combs[c][i].Run(in, feedback, damp);
            for (int i = 0; i < 4; i++) out = allpasses[c][i].Run(out);
            (c == 0 ? bus->left : bus->right)[n] = out;
        }
    }
}

namespace {

// Adds src from start on, times gain and the level curve of its block.
void AddInto(std::vector<float>* dest, const std::vector<float>& src, int64_t start, float gain,
             const std::vector<float>& level) {
    int64_t size = (int64_t)dest->size();
    for (size_t i = 0; i < src.size(); i++) {
        int64_t at = start + (int64_t)i;
        if (at >= size) break;
        (*dest)[at] += src[i] * gain * level[(size_t)(at / CUTOFF_BLOCK)];
    }
}

// Multipliers per block for one instrument's cutoff or level: 1 outside its
// ramps.
std::vector<float> SweepCurve(const Score& score, int instrument, int64_t total, bool level) {
    std::vector<float> curve((size_t)(total / CUTOFF_BLOCK + 2), 1.0f);
    for (const Section& s : score.sections) {
        for (Sweep sw : s.sweeps) {
            if (sw.instrument != instrument || sw.level != level) continue;
            if (level) {
                sw.from = (float)std::pow(10.0, sw.from / 20.0);
                sw.to = (float)std::pow(10.0, sw.to / 20.0);
            }
            int64_t a = StepSample(score, (int64_t)s.startBar * 16);
            int64_t b = StepSample(score, (int64_t)(s.startBar + s.bars) * 16);
            for (int64_t blk = a / CUTOFF_BLOCK;
                 blk <= b / CUTOFF_BLOCK && blk < (int64_t)curve.size(); blk++) {
                double f = (double)(blk * CUTOFF_BLOCK - a) / (double)(b - a);
                f = std::clamp(f, 0.0, 1.0);
                // Geometric ramp: cutoff moves evenly in pitch and level evenly in
                // decibels, as the ear hears them.
                curve[blk] = (float)(sw.from * std::pow(sw.to / sw.from, f));
            }
        }
    }
    return curve;
}

} // namespace

void RenderScore(const Score& score, StereoBuffer* out) {
    const int64_t total = SongSamples(score);
    StereoBuffer dry, delaySend, reverbSend;
    for (StereoBuffer* b : {&dry, &delaySend, &reverbSend}) {
        b->left.assign(total, 0.0f);
        b->right.assign(total, 0.0f);
    }
    std::vector<std::vector<float>> curves, levels;
    for (size_t i = 0; i < score.instruments.size(); i++) {
        curves.push_back(SweepCurve(score, (int)i, total, false));
        levels.push_back(SweepCurve(score, (int)i, total, true));
    }

    uint32_t seed = 0x2545F491u;
    std::vector<float> l, r;
    for (const Section& s : score.sections) {
        const int64_t sectionSteps = (int64_t)s.bars * 16;
        const int64_t firstStep = (int64_t)s.startBar * 16;
        for (const PatternUse& use : s.uses) {
            const Pattern& p = score.patterns[use.pattern];
            const Instrument& in = score.instruments[p.instrument];
            float panL, panR;
            {
                float a = (std::clamp(in.pan, -1.0f, 1.0f) + 1) * 0.25f * 3.14159265f;
                panL = std::cos(a) * 1.41421356f;
                panR = std::sin(a) * 1.41421356f;
            }
            for (int64_t loop = 0; loop < sectionSteps; loop += p.steps) {
                for (const Note& note : p.notes) {
                    int64_t step = loop + note.step;
                    if (step >= sectionSteps) break;
                    // A note held past the section's end is released there.
                    int64_t endStep = std::min(step + note.length, sectionSteps);
                    NoteRequest req;
                    for (int key : note.keys) req.keys.push_back(key + use.transpose);
                    req.velocity = note.velocity;
                    req.start = StepSample(score, firstStep + step);
                    req.gate = StepSample(score, firstStep + endStep) - req.start;
                    seed = seed * 1664525u + 1013904223u;
                    req.seed = seed;
                    req.cutoffScale = &curves[p.instrument];
                    RenderVoice(in, req, &l, &r);
                    const std::vector<float>& level = levels[p.instrument];
                    AddInto(&dry.left, l, req.start, in.gain * panL, level);
                    AddInto(&dry.right, r, req.start, in.gain * panR, level);
                    if (in.delaySend > 0) {
                        float g = in.gain * in.delaySend;
                        AddInto(&delaySend.left, l, req.start, g * panL, level);
                        AddInto(&delaySend.right, r, req.start, g * panR, level);
                    }
                    if (in.reverbSend > 0) {
                        float g = in.gain * in.reverbSend;
                        AddInto(&reverbSend.left, l, req.start, g * panL, level);
                        AddInto(&reverbSend.right, r, req.start, g * panR, level);
                    }
                }
            }
        }
    }

    int delaySamples = (int)std::llround(score.delaySteps * score.StepMs() * SAMPLE_RATE / 1000.0);
    ApplyDelay(&delaySend, delaySamples, score.delayFeedback);
    // Echoes are reverberated too, so they sit in the same room.
    for (int64_t n = 0; n < total; n++) {
        reverbSend.left[n] += delaySend.left[n] * 0.3f;
        reverbSend.right[n] += delaySend.right[n] * 0.3f;
    }
    ApplyReverb(&reverbSend, score.reverbSize, score.reverbDamp);

    out->left.assign(total, 0.0f);
    out->right.assign(total, 0.0f);
    for (int64_t n = 0; n < total; n++) {
        out->left[n] = dry.left[n] + delaySend.left[n] * score.delayLevel +
                       reverbSend.left[n] * score.reverbLevel;
        out->right[n] = dry.right[n] + delaySend.right[n] * score.delayLevel +
                        reverbSend.right[n] * score.reverbLevel;
    }

    // Section fades, on the master so effect tails fade with the rest. After a
    // fade-out the master stays shut through the sections that play nothing:
    // the echoes and the reverb still ring there and would come back unfaded.
    bool shut = false;
    for (const Section& s : score.sections) {
        int64_t a = StepSample(score, (int64_t)s.startBar * 16);
        int64_t b = std::min(StepSample(score, (int64_t)(s.startBar + s.bars) * 16), total);
        if (!s.fadeIn && !s.fadeOut) {
            if (!s.uses.empty()) shut = false;
            if (!shut) continue;
        }
        for (int64_t n = a; n < b; n++) {
            float g = 0;
            if (s.fadeIn || s.fadeOut) {
                double f = (double)(n - a) / (double)(b - a);
                if (s.fadeOut) f = 1 - f;
                g = (float)(std::sin(f * 1.5707963267948966) * std::sin(f * 1.5707963267948966));
            }
            out->left[n] *= g;
            out->right[n] *= g;
        }
        if (s.fadeIn || s.fadeOut) shut = s.fadeOut;
    }

    // Normalise: the loudest sample lands exactly on the score's peak level.
    float peak = PeakLevel(*out);
    if (peak > 0) {
        float gain = (float)(std::pow(10.0, score.peakDb / 20.0) / peak);
        for (float& v : out->left) v *= gain;
        for (float& v : out->right) v *= gain;
    }
}
