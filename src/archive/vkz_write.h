// Archive builder for tools and tests: header, then per entry its record and
// stored data. Written safely (io/write_file.h): a failed build never leaves a
// half-written archive in place of a good one.
#pragma once
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
    const char* error;    // reason of the last failure
    int writeFailed;      // ... which was the archive's own write
};

// The writer, or null with *why set (when given).
VKZ_Writer* VKZ_WriterOpen(const char* path, const char** why = nullptr);
// Packs `data` with the codec and appends it. aPLib refuses sources under two
// bytes; those are stored instead. Returns the codec id used, or -1 (error set).
int VKZ_WriterAdd(VKZ_Writer* writer, const char* name, const void* data, uint32_t size,
                  int codecId);
// Writes the entry count and moves the archive into place; 1, or 0 with *why
// set (when given). The writer is freed either way.
int VKZ_WriterFinish(VKZ_Writer* writer, const char** why = nullptr);
// Drops what was written (never the target itself) and frees the writer.
void VKZ_WriterAbort(VKZ_Writer* writer);
