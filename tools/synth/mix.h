// Renders a whole score: every note through its instrument, the delay and
// reverb buses, section fades, then normalises the master to the score's peak.
#pragma once
#include "score.h"

#include <cstdint>
#include <vector>

struct StereoBuffer {
    std::vector<float> left, right;
    size_t Frames() const { return left.size(); }
};

// The sample at which a step (counted from the start of the song) begins.
int64_t StepSample(const Score& score, int64_t step);
// The song's length in samples: all its bars.
int64_t SongSamples(const Score& score);

void RenderScore(const Score& score, StereoBuffer* out);

// Largest absolute sample value of either channel.
float PeakLevel(const StereoBuffer& buffer);
// 20·log10 of a linear level; -inf for 0.
double LevelDb(double level);

// Stereo ping-pong delay with a damped feedback loop, in place on the bus.
void ApplyDelay(StereoBuffer* bus, int delaySamples, float feedback);
// A small comb-and-allpass reverb: the bus is replaced by its wet signal.
void ApplyReverb(StereoBuffer* bus, float size, float damp);
