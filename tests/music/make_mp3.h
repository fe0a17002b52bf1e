// Test helper: writes a short MP3 of sine tones with libmp3lame (LAME tag
// included, so the decoder can trim the encoder's delay and padding).
#pragma once
#include <cstdint>
#include <string>
#include <vector>

// `seconds` of a tone per channel (440 Hz left, 660 Hz right), with a short
// rise so the track's first samples are not all zero. Returns the PCM that was
// encoded (interleaved), empty on failure.
std::vector<int16_t> MakeSineMp3(const std::string& path, int rate, int channels, double seconds);
