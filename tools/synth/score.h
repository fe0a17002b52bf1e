// The score: instruments, patterns of sixteen steps per bar, and sections that
// play patterns for a number of bars. Parsed from the text form in assets/.
#pragma once
#include "core/status.h"

#include <string>
#include <vector>

// What a voice is built from. Pitched kinds share the subtractive chain
// (oscillator, filter, envelopes); the drum kinds are voices of their own.
enum class Wave { Sine, Tri, Saw, Square, SuperSaw, Noise, Fm, Kick, Snare, Hat, Clap };

struct Instrument {
    std::string name;
    Wave wave = Wave::Saw;
    float gain = 0.5f, pan = 0.0f;
    float attack = 5, decay = 200, sustain = 0.7f, release = 100;             // ms, ms, level, ms
    float cutoff = 18000, resonance = 0.1f, envAmount = 0, filterDecay = 200; // Hz, 0-1, Hz, ms
    int filterMode = 0;                            // 0 low-pass, 1 band-pass, 2 high-pass
    float lfoRate = 0, lfoDepth = 0;               // cutoff LFO: Hz, Hz
    int voices = 1;                                // super-saw unison count
    float detune = 0, width = 0;                   // semitone spread, stereo spread 0-1
    float pulseWidth = 0.5f;                       // square
    float fmRatio = 2, fmIndex = 2, fmDecay = 400; // modulator ratio, peak index, its decay (ms)
    float transpose = 0;                           // semitones
    float drive = 0;                               // pre-filter saturation, 0 = clean
    float vibRate = 0, vibDepth = 0;               // Hz, semitones
    float pitch = 0, tone = 0.5f; // drums: base pitch (0 = the kind's default), tone mix
    float delaySend = 0, reverbSend = 0;
};

// One note-on: step index within its pattern, length in steps, velocity and
// the MIDI notes sounding (several for a chord; ignored by drums).
struct Note {
    int step = 0;
    int length = 1;
    float velocity = 0.8f;
    std::vector<int> keys;
};

struct Pattern {
    std::string name;
    int instrument = -1;
    int steps = 0; // always a multiple of 16
    std::vector<Note> notes;
};

// A pattern as a section plays it: looped over the section, transposed.
struct PatternUse {
    int pattern = -1;
    int transpose = 0;
};

// A ramp over one section for one instrument: of its cutoff (multipliers)
// or of its level (decibels).
struct Sweep {
    int instrument = -1;
    float from = 1, to = 1;
    bool level = false;
};

struct Section {
    std::string name;
    int bars = 0;
    int startBar = 0;
    bool fadeIn = false, fadeOut = false;
    std::vector<PatternUse> uses;
    std::vector<Sweep> sweeps;
};

// The longest score: rendering holds about 1.5 MB of samples a second.
constexpr double MAX_SCORE_MS = 30 * 60000.0;

struct Score {
    float tempo = 120; // beats per minute, four beats a bar
    float delaySteps = 3, delayFeedback = 0.35f, delayLevel = 1;
    float reverbSize = 0.8f, reverbDamp = 0.4f, reverbLevel = 1;
    float peakDb = -3; // the master's peak after normalising
    // Levelling by loudness instead: the integrated loudness (LUFS) and the
    // highest true peak (dBTP) the encoded file may reach.
    bool byLoudness = false;
    float loudnessLufs = -14, ceilingDb = -1;
    std::vector<Instrument> instruments;
    std::vector<Pattern> patterns;
    std::vector<Section> sections;

    int TotalBars() const;
    double BarMs() const { return 4 * 60000.0 / tempo; }
    double StepMs() const { return BarMs() / 16; }
};

// Parses the text form; a failure says "line N: problem".
ZK_Status ParseScore(const std::string& text, Score* score);
// MIDI key of a note name such as "C4" (60), "D#2" or "Bb3"; -1 when malformed.
int ParseKey(const std::string& token);
