// aPLib: an LZ77 format whose control bits live in tag bytes interleaved with
// the data. The depacker is bounded by both buffers; the packer is an optimal
// parse over the format's exact bit costs.
#pragma once
#include <cstdint>

enum { aPLibWorkMemSize = 655360 };
#define APLIB_ERROR 0xFFFFFFFFu

// Decodes until the end marker. Returns the bytes written, or APLIB_ERROR when
// the stream is damaged: it runs out of input, would write past `capacity`,
// or refers before the start of the output. Bytes after the marker are ignored.
uint32_t aPLibDepack(const void* source, uint32_t sourceLength, void* destination,
                     uint32_t capacity);

// Packs `length` bytes using `workMem` (aPLibWorkMemSize bytes) and memory of
// its own, at most 36 MiB (aplib_pack.cpp). Matches reach back over the whole
// input, or over the last 4 MiB of a longer one. Writes at most length + length/8 + 256 bytes.
// Returns the packed length, or 0 when refused (a missing buffer or a source
// under 2 bytes) or out of memory. `progress` (may be null) gets the bytes done
// so far; returning 0 from it abandons the pack (result 0).
typedef int (*aPLibProgress)(uint32_t done, uint32_t total);
uint32_t aPLibPack(const void* source, void* destination, uint32_t length, void* workMem,
                   aPLibProgress progress);
