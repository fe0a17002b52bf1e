// Archive builder for tools and tests: header, then per entry its record and
// stored data. Writes to "PATH.tmp" and renames on finish, so a failed build
// never leaves a half-written archive in place of a good one.
#pragma once
#include <cstdint>
#include <cstdio>

struct VKZ_Writer {
    FILE* stream;
    char* path;
    char* tempPath;
    uint32_t entryCount;
    uint64_t position;
    uint8_t (*names)[16]; // digests added so far, to refuse duplicates
    const char* error;    // reason of the last failure
};

VKZ_Writer* VKZ_WriterOpen(const char* path);
// Packs `data` with the codec and appends it. aPLib refuses sources under two
// bytes; those are stored instead. Returns the codec id used, or -1 (error set).
int VKZ_WriterAdd(VKZ_Writer* writer, const char* name, const void* data, uint32_t size,
                  int codecId);
// Writes the entry count and moves the archive into place; 1 or 0 (error set).
// The writer is freed either way.
int VKZ_WriterFinish(VKZ_Writer* writer);
// Drops the temporary file and frees the writer.
void VKZ_WriterAbort(VKZ_Writer* writer);
