// Loudness as broadcasters and players measure it (EBU R 128, through
// libebur128): integrated loudness, loudness range and true peak.
#pragma once
#include "mix.h"

#include <cmath>
#include <cstddef>
#include <string>
#include <vector>

struct Loudness {
    double integrated = -HUGE_VAL; // LUFS
    double range = 0;              // LU
    double truePeak = -HUGE_VAL;   // dBTP, the higher channel
};

// Measures frames [from, to) of the buffer on their own. False when the
// library cannot start (out of memory).
bool MeasureLoudness(const StereoBuffer& pcm, size_t from, size_t to, Loudness* out);

// Short-term loudness (the last 3 s) of the whole buffer, taken every stepMs:
// entry i is the value at the time (i + 1) * stepMs. Silence gives -HUGE_VAL.
bool ShortTermCurve(const StereoBuffer& pcm, double stepMs, std::vector<double>* out);

// "I -14.0 LUFS, LRA 7.1 LU, TP -1.2 dBTP"
std::string DescribeLoudness(const Loudness& l);
