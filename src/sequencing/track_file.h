// "default.trk", the tracks in the archive. All integers little-endian:
//
//   offset 0   "TRK\0"
//          4   version, u32: 1
//          8   bpm, f32 (1 to 1000)
//         12   rows per beat, u32 (1 to 256)
//         16   track count, u32 (at most 65536)
//         20   the tracks, back to back:
//                name length, u32 (1 to 255); the name's bytes (no zero byte);
//                key count, u32 (at most 1048576); the keys, 12 bytes each:
//                row u32 (rising), value f32 (finite), interpolation u32 (0-3)
//
// Nothing may follow the last track and names are unique, so a file that
// reads has one text form, and that text compiles to the same bytes.
#pragma once
#include "core/status.h"
#include "sequencing/track_set.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

enum { TRACK_FILE_VERSION = 1 };

void EncodeTrackFile(const TrackSet& set, std::vector<uint8_t>* out);
// The set, or the problem ("offset N: reason"; no file named; *out then
// unchanged).
ZK_Status DecodeTrackFile(const uint8_t* data, size_t size, TrackSet* out);
