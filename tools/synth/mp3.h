// MP3 encoding (libmp3lame, constant bit rate) and decoding (libmpg123), and
// a 16-bit WAV writer for listening to renders.
#pragma once
#include "core/status.h"
#include "mix.h"

#include <cstdint>
#include <string>
#include <vector>

// Encodes at 44.1 kHz stereo, joint stereo, the given bit rate, with an info
// frame that records encoder delay and padding so decoders can trim them.
ZK_Status EncodeMp3(const StereoBuffer& pcm, int kbps, std::vector<uint8_t>* mp3);
// Decodes an MP3 file to float stereo at 44.1 kHz (gapless where the file says).
ZK_Status DecodeMp3(const std::string& path, StereoBuffer* pcm);
// The same from the bytes in memory; `path` names them in messages.
ZK_Status DecodeMp3Bytes(const std::vector<uint8_t>& mp3, const std::string& path,
                         StereoBuffer* pcm);
// Both write safely (io/write_file.h): a failed write keeps the old file.
ZK_Status WriteWav(const std::string& path, const StereoBuffer& pcm);
ZK_Status WriteFile(const std::string& path, const std::vector<uint8_t>& bytes);
