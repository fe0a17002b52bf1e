// The timetable "default.tmg": named intervals on the music clock. Loaded
// once from the archive and kept until FreeSceneTables.
//
//   "TMG\0", count (u32 LE), then count entries of 72 bytes:
//   start (u32), length (u32), name (64 bytes, zero-terminated within them)
//
// Bytes after the last entry are ignored.
#pragma once
#include "core/status.h"

#include <cstdint>

#pragma pack(push, 1)
struct TimingHeader {
    char magic[4];
    uint32_t count;
};
struct TimingEntry {
    uint32_t start;
    uint32_t length;
    char name[64];
};
#pragma pack(pop)
static_assert(sizeof(TimingHeader) == 8, "header is 8 bytes on disk");
static_assert(sizeof(TimingEntry) == 72, "entry is 72 bytes on disk");

// The most entries a timetable holds: the dispatcher tests every entry every
// frame, and a show has dozens (an hour of one entry per beat is 7680).
// TIMING_MAX_BYTES bounds the file, whose bytes after the last entry are
// ignored.
enum { TIMING_MAX_ENTRIES = 65536, TIMING_MAX_BYTES = 8 << 20 };

struct TimingTable {
    TimingHeader header;
    TimingEntry* entries; // header.count of them; null when not loaded
};

extern TimingTable timingTable;

// Reads "default.tmg" from the open archive into timingTable; 1 or 0.
int LoadTimingScript();
// Parses a whole script held in memory. On success the table owns a fresh
// entry array (any earlier one is freed); on a failure, which the status
// says (no file named), the table is unchanged.
ZK_Status ParseTimingScript(const void* data, uint32_t size, TimingTable* table);
void FreeTimingTable(TimingTable* table);
// start <= t <= start + length, the sum wrapping at 32 bits.
inline int TimingEntryActive(const TimingEntry& e, uint32_t t) {
    return e.start <= t && t <= (uint32_t)(e.start + e.length);
}
