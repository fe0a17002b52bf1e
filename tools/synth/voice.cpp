#include "voice.h"

#include <algorithm>
#include <cmath>

namespace {

const double TWO_PI = 6.283185307179586;

// Small deterministic generator for noise and phases.
struct Rng {
    uint32_t state;
    explicit Rng(uint32_t seed) : state(seed ? seed : 0x9E3779B9u) {}
    uint32_t Next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    float Noise() { return (float)(Next() >> 8) * (2.0f / 16777216.0f) - 1.0f; } // -1..1
    double Unit() { return (double)(Next() >> 8) / 16777216.0; }                 // 0..1
};

// Removes the step discontinuity of a naive saw or square (polynomial BLEP).
inline double PolyBlep(double t, double dt) {
    if (t < dt) {
        t /= dt;
        return t + t - t * t - 1.0;
    }
    if (t > 1.0 - dt) {
        t = (t - 1.0) / dt;
        return t * t + t + t + 1.0;
    }
    return 0.0;
}

struct Osc {
    double phase = 0; // 0..1
    float Next(Wave wave, double dt, float pulseWidth) {
        double t = phase, v = 0;
        switch (wave) {
        case Wave::Sine:
            v = std::sin(TWO_PI * t);
            break;
        case Wave::Tri:
            v = t < 0.5 ? 4 * t - 1 : 3 - 4 * t;
            break;
        case Wave::Square: {
            v = t < pulseWidth ? 1.0 : -1.0;
            v += PolyBlep(t, dt);
            double t2 = t + 1.0 - pulseWidth;
            v -= PolyBlep(t2 - std::floor(t2), dt);
            break;
        }
        default:
            v = 2 * t - 1 - PolyBlep(t, dt);
            break; // saw
        }
        phase += dt;
        phase -= std::floor(phase);
        return (float)v;
    }
};

float Clamp(float v, float lo, float hi) {
    return v < lo ? lo : v > hi ? hi : v;
}

// Equal-power pan: -1 left, 0 centre, 1 right.
void PanGains(float pan, float* l, float* r) {
    float a = (Clamp(pan, -1, 1) + 1) * 0.25f * 3.14159265f;
    *l = std::cos(a) * 1.41421356f;
    *r = std::sin(a) * 1.41421356f;
}

void RenderPitched(const Instrument& in, const NoteRequest& note, std::vector<float>* left,
                   std::vector<float>* right) {
    Rng rng(note.seed);
    const double sr = SAMPLE_RATE;
    const float gateMs = (float)(note.gate * 1000.0 / sr);
    const size_t length = (size_t)note.gate + (size_t)(in.release * sr / 1000.0) + 1;
    left->assign(length, 0.0f);
    right->assign(length, 0.0f);

    // Unison voices per key: detuned, spread across the stereo field.
    struct Unison {
        Osc osc;
        double modPhase = 0;
        double baseDt;
        float gl, gr;
    };
    std::vector<Unison> voices;
    int count = in.wave == Wave::SuperSaw ? in.voices : 1;
    for (int key : note.keys) {
        for (int i = 0; i < count; i++) {
            Unison u;
            float spread = count > 1 ? (float)i / (count - 1) - 0.5f : 0.0f;
            double f = KeyFrequency(key + in.transpose + in.detune * spread);
            u.baseDt = f / sr;
            u.osc.phase = count > 1 ? rng.Unit() : 0.0;
            PanGains(in.width * spread * 2, &u.gl, &u.gr);
            float norm = 1.0f / std::sqrt((float)count);
            u.gl *= norm;
            u.gr *= norm;
            voices.push_back(u);
        }
    }
    Wave wave = in.wave == Wave::SuperSaw ? Wave::Saw : in.wave;
    Svf filterL, filterR;
    const float driveGain = 1 + in.drive, driveNorm = 1.0f / std::tanh(driveGain);
    const double startSec = note.start / sr;

    for (size_t n = 0; n < length; n++) {
        float ms = (float)(n * 1000.0 / sr);
        if ((n & 15) == 0) {
            // Filter coefficients at control rate: base cutoff, sweep, envelope, LFO.
            float cut = in.cutoff;
            if (note.cutoffScale && !note.cutoffScale->empty()) {
                size_t block = (size_t)((note.start + (int64_t)n) / CUTOFF_BLOCK);
                block = std::min(block, note.cutoffScale->size() - 1);
                cut *= (*note.cutoffScale)[block];
            }
            cut += in.envAmount * note.velocity *
                   std::exp(-3.0f * ms / std::max(in.filterDecay, 1.0f));
            if (in.lfoRate > 0)
                cut += in.lfoDepth * (float)std::sin(TWO_PI * in.lfoRate * (startSec + n / sr));
            filterL.Set(cut, in.resonance);
            filterR.Set(cut, in.resonance);
        }
        double vib = 1.0;
        if (in.vibRate > 0 && in.vibDepth > 0)
            vib = std::pow(2.0, in.vibDepth * std::sin(TWO_PI * in.vibRate * n / sr) / 12.0);

        float l = 0, r = 0;
        if (in.wave == Wave::Noise) {
            l = r = rng.Noise();
        } else if (in.wave == Wave::Fm) {
            float index = in.fmIndex * std::exp(-3.0f * ms / std::max(in.fmDecay, 1.0f));
            for (Unison& u : voices) {
                double dt = u.baseDt * vib;
                float mod = (float)std::sin(TWO_PI * u.modPhase);
                float v = (float)std::sin(TWO_PI * u.osc.phase + index * mod);
                u.modPhase += dt * in.fmRatio;
                u.modPhase -= std::floor(u.modPhase);
                u.osc.phase += dt;
                u.osc.phase -= std::floor(u.osc.phase);
                l += v * u.gl;
                r += v * u.gr;
            }
        } else {
            for (Unison& u : voices) {
                float v = u.osc.Next(wave, u.baseDt * vib, in.pulseWidth);
                l += v * u.gl;
                r += v * u.gr;
            }
        }
        if (in.drive > 0) {
            l = std::tanh(l * driveGain) * driveNorm;
            r = std::tanh(r * driveGain) * driveNorm;
        }
        float env = EnvelopeLevel(in, ms, gateMs) * note.velocity;
        (*left)[n] = filterL.Run(l, in.filterMode) * env;
        (*right)[n] = filterR.Run(r, in.filterMode) * env;
    }
}

void RenderDrum(const Instrument& in, const NoteRequest& note, std::vector<float>* left) {
    Rng rng(note.seed);
    const double sr = SAMPLE_RATE;
    float decay = in.decay > 0 ? in.decay : 200;
    const size_t length = (size_t)(decay * sr / 1000.0) + 1;
    left->assign(length, 0.0f);
    Svf filter;
    double phase = 0;
    float hp = 0, lastNoise = 0;
    switch (in.wave) {
    case Wave::Kick: {
        float end = in.pitch > 0 ? in.pitch : 48;
        for (size_t n = 0; n < length; n++) {
            float ms = (float)(n * 1000.0 / sr);
            float f = end + end * 2.5f * std::exp(-ms / 28.0f);
            phase += f / sr;
            float body = (float)std::sin(TWO_PI * phase);
            float click = ms < 4 ? rng.Noise() * (1 - ms / 4) * 0.35f * in.tone : 0;
            float amp = std::exp(-3.0f * ms / decay) * (1 - (float)n / length);
            (*left)[n] = std::tanh((body + click) * amp * 1.6f) * 0.9f;
        }
        break;
    }
    case Wave::Snare: {
        float f = in.pitch > 0 ? in.pitch : 185;
        filter.Set(5200, 0.2f);
        for (size_t n = 0; n < length; n++) {
            float ms = (float)(n * 1000.0 / sr);
            phase += f * (1 + 0.5f * std::exp(-ms / 8.0f)) / sr;
            float body = (float)std::sin(TWO_PI * phase) * std::exp(-ms / 45.0f);
            float noise = rng.Noise();
            hp = 0.96f * (hp + noise - lastNoise); // one-pole high-pass
            lastNoise = noise;
            float hiss = filter.Run(hp, 0) * std::exp(-3.0f * ms / decay);
            float tail = 1 - (float)n / length;
            (*left)[n] = (body * (1 - in.tone) + hiss * in.tone * 1.4f) * tail;
        }
        break;
    }
    case Wave::Hat: {
        filter.Set(in.pitch > 0 ? in.pitch : 7500, 0.3f);
        for (size_t n = 0; n < length; n++) {
            float ms = (float)(n * 1000.0 / sr);
            float v = filter.Run(rng.Noise(), 2);
            (*left)[n] = v * std::exp(-3.0f * ms / decay) * (1 - (float)n / length);
        }
        break;
    }
    default: { // clap: three quick bursts, then a tail
        filter.Set(in.pitch > 0 ? in.pitch : 1300, 0.45f);
        for (size_t n = 0; n < length; n++) {
            float ms = (float)(n * 1000.0 / sr);
            float burst = ms < 30 ? std::exp(-std::fmod(ms, 10.0f) / 3.0f) : 0;
            float tail = ms >= 20 ? std::exp(-3.0f * (ms - 20) / decay) : 0;
            float v = filter.Run(rng.Noise(), 1) * 2.2f;
            (*left)[n] = v * std::max(burst, tail) * (1 - (float)n / length);
        }
        break;
    }
    }
}

} // namespace

double KeyFrequency(double key) {
    return 440.0 * std::pow(2.0, (key - 69.0) / 12.0);
}

void Svf::Set(float cutoffHz, float resonance) {
    // Near half the sample rate the filter turns unstable.
    cutoffHz = Clamp(cutoffHz, 20.0f, (float)(SAMPLE_RATE * 0.45));
    float g = std::tan(3.14159265f * cutoffHz / SAMPLE_RATE);
    k = 2.0f - 2.0f * resonance;
    a1 = 1.0f / (1.0f + g * (g + k));
    a2 = g * a1;
    a3 = g * a2;
}

float Svf::Run(float v0, int mode) {
    float v3 = v0 - ic2;
    float v1 = a1 * ic1 + a2 * v3;
    float v2 = ic2 + a2 * ic1 + a3 * v3;
    ic1 = 2 * v1 - ic1;
    ic2 = 2 * v2 - ic2;
    if (mode == 1) return v1;
    if (mode == 2) return v0 - k * v1 - v2;
    return v2;
}

float EnvelopeLevel(const Instrument& in, float ms, float gateMs) {
    auto held = [&](float t) {
        if (t < in.attack) return t / in.attack;
        float since = t - in.attack;
        if (in.decay <= 0) return in.sustain;
        return in.sustain + (1 - in.sustain) * std::exp(-3.0f * since / in.decay);
    };
    if (ms < gateMs) return held(ms);
    float u = ms - gateMs;
    if (u >= in.release) return 0.0f;
    return held(gateMs) * std::exp(-3.0f * u / in.release) * (1 - u / in.release);
}

void RenderVoice(const Instrument& in, const NoteRequest& note, std::vector<float>* left,
                 std::vector<float>* right) {
    switch (in.wave) {
    case Wave::Kick:
    case Wave::Snare:
    case Wave::Hat:
    case Wave::Clap:
        RenderDrum(in, note, left);
        for (float& v : *left) v *= note.velocity;
        *right = *left;
        break;
    default:
        RenderPitched(in, note, left, right);
        break;
    }
}
