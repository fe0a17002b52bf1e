// Archive builder for tools and tests: header, then per entry its record and
// stored data. Written safely (io/write_file.h): a failed build never leaves a
// half-written archive in place of a good one.
#pragma once
#include "core/status.h"
#include "io/write_file.h"

#include <cstdint>
#include <cstdio>

struct VKZ_Writer {
    IO_Output output;
    // Where records go: the output, or memory when the output cannot seek
    // (a FIFO), since the entry count is written into the header last.
    FILE* stream;
    char* memory;
    size_t memorySize;
    uint32_t entryCount;
    uint64_t position;
    uint8_t (*names)[16]; // digests added so far, to refuse duplicates
};

// The writer, or null with *status (when given) saying why.
VKZ_Writer* VKZ_WriterOpen(const char* path, ZK_Status* status = nullptr);
// Packs `data` with the codec and appends it. aPLib refuses sources under two
// bytes; those are stored instead. Returns the codec id used, or -1 with
// *status (when given) saying why: naming the archive when its own write
// failed, else nothing (the entry was refused).
int VKZ_WriterAdd(VKZ_Writer* writer, const char* name, const void* data, uint32_t size,
                  int codecId, ZK_Status* status = nullptr);
// Writes the entry count and moves the archive into place. The writer is
// freed either way.
ZK_Status VKZ_WriterFinish(VKZ_Writer* writer);
// Drops what was written (never the target itself) and frees the writer.
void VKZ_WriterAbort(VKZ_Writer* writer);
