// One sounding note of an instrument: oscillators, envelopes and filter for the
// pitched kinds, a voice of its own for each drum kind.
#pragma once
#include "score.h"

#include <cstdint>
#include <vector>

constexpr int SAMPLE_RATE = 44100;

struct NoteRequest {
    std::vector<int> keys; // MIDI notes (a chord sums them); drums ignore them
    float velocity = 0.8f;
    int64_t start = 0; // absolute sample of the note-on
    int64_t gate = 0;  // samples until note-off
    uint32_t seed = 1; // noise and phase randomness, so renders repeat exactly
    // Cutoff multiplier per block of CUTOFF_BLOCK absolute samples (sweeps); may be null.
    const std::vector<float>* cutoffScale = nullptr;
};

constexpr int CUTOFF_BLOCK = 64;

// Renders the note from its start into left/right (resized to the note's
// length, gate plus release), before the instrument's gain and pan.
void RenderVoice(const Instrument& in, const NoteRequest& note, std::vector<float>* left,
                 std::vector<float>* right);

// The frequency of a MIDI key in Hz (A4 = key 69 = 440 Hz).
double KeyFrequency(double key);

// A state-variable filter (trapezoidal), usable on its own; the cutoff is
// held between 20 Hz and 0.45 times the sample rate.
struct Svf {
    float ic1 = 0, ic2 = 0;
    float a1 = 0, a2 = 0, a3 = 0, k = 2;
    void Set(float cutoffHz, float resonance);
    // mode 0 low-pass, 1 band-pass, 2 high-pass
    float Run(float x, int mode);
};

// The amplitude envelope's level at a time (ms) after note-on, for a note
// released at gateMs. Reaches 0 exactly at gateMs + release.
float EnvelopeLevel(const Instrument& in, float ms, float gateMs);
