// Mp3Stream: an MP3 file decoded on demand by libmpg123, always delivered as
// 44.1 kHz signed 16-bit stereo (other rates are resampled by the decoder,
// mono is doubled), with the encoder's delay and padding removed.
#pragma once
#include <cstdint>

enum { MP3_OUTPUT_RATE = 44100, MP3_OUTPUT_CHANNELS = 2 };

struct Mp3Stream;

// Opens the file and decodes its first frame; null when it is missing or no
// MPEG audio can be found in it. Does not read the rest of the file.
Mp3Stream* Mp3Stream_Open(const char* path);
// Decodes up to `frames` stereo frames into `out`; fewer only at the end of
// the track (or at a decoding error, which ends it).
int Mp3Stream_Read(Mp3Stream* stream, int16_t* out, int frames);
// Positions the stream at output frame `frame`, sample-exactly (the decoder
// walks the frames before it); past the track's end it reads as ended.
// 1, or 0 when the decoder could not get there.
int Mp3Stream_Seek(Mp3Stream* stream, int64_t frame);
void Mp3Stream_Close(Mp3Stream* stream);
