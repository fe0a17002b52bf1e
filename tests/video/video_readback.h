// Test helper: reads a video file back with libavformat and libavcodec the way
// a player does (edit lists, codec delay and skipped samples applied), and
// compares what comes out with what went in.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct VideoReadback {
    int width = 0, height = 0;
    int timeBaseNum = 0, timeBaseDen = 0;     // of the video stream
    int rateNum = 0, rateDen = 0;             // its average frame rate
    std::vector<std::vector<uint8_t>> frames; // top-down RGB24, in presentation order
    double firstFrameTime = 0;                // seconds
    int audioStreamRate = 0, audioChannels = 0, audioFrameSize = 0;
    double firstSampleTime = 0; // seconds, of the first sample the decoder hands out
    std::vector<float> audio;   // interleaved, converted to the rate asked for
};

// Decodes every frame of the first video stream and, if there is one, the first
// audio stream (to `audioRate`, 0: the stream's own). 1, or 0 with `error` set.
int ReadVideoFile(const std::string& path, int audioRate, VideoReadback* out, std::string* error);

// Peak signal-to-noise ratio of two byte images in dB (1000 when equal).
double Psnr(const uint8_t* a, const uint8_t* b, size_t size);

// The lag (in sample frames, `b` against `a`, on channel 0 of interleaved
// audio) within +-maxLag where the normalised cross-correlation peaks; the peak
// goes to `peak`. A positive lag means `b` runs late.
int BestLag(const std::vector<float>& a, const std::vector<float>& b, int channels, int maxLag,
            double* peak);
