// MP3 encoding (libmp3lame, constant bit rate) and decoding (libmpg123), and
// a 16-bit WAV writer for listening to renders.
#pragma once
#include "mix.h"

#include <cstdint>
#include <string>
#include <vector>

// Encodes at 44.1 kHz stereo, joint stereo, the given bit rate, with an info
// frame that records encoder delay and padding so decoders can trim them.
bool EncodeMp3(const StereoBuffer& pcm, int kbps, std::vector<uint8_t>* mp3, std::string* error);
// Decodes an MP3 file to float stereo at 44.1 kHz (gapless where the file says).
bool DecodeMp3(const std::string& path, StereoBuffer* pcm, std::string* error);
// The same from the bytes in memory; `path` names them in messages.
bool DecodeMp3Bytes(const std::vector<uint8_t>& mp3, const std::string& path, StereoBuffer* pcm,
                    std::string* error);
// Both write safely (io/write_file.h): a failed write keeps the old file.
bool WriteWav(const std::string& path, const StereoBuffer& pcm, std::string* error);
bool WriteFile(const std::string& path, const std::vector<uint8_t>& bytes, std::string* error);
