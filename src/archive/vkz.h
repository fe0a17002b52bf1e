// The data archive "data.vkz": entries found by the MD5 of their lower-cased
// name, unpacked through their codec and checked against their content digest.
#pragma once
#include "core/status.h"
#include <cstdint>
#include <cstdio>

#pragma pack(push, 1)
struct VKZ_EntryRecord {
    uint8_t nameDigest[16];
    uint8_t dataDigest[16];
    uint32_t dataOffset;
    uint32_t size;
    uint32_t storedSize;
    uint32_t codecId;
};
#pragma pack(pop)

// No entry may claim more than this uncompressed; such an archive is damaged.
// A show's entries (a timetable, tracks, data) are kilobytes to megabytes, and
// the tools hold an entry whole when they pack it.
#define VKZ_MAX_ENTRY_SIZE 0x10000000u
// The most a packed entry can take: the codecs' bound for the largest entry.
#define VKZ_MAX_STORED_SIZE (VKZ_MAX_ENTRY_SIZE + VKZ_MAX_ENTRY_SIZE / 8 + 256)
static_assert(sizeof(VKZ_EntryRecord) == 48, "entry record is 48 bytes on disk");

struct VKZ_Archive {
    FILE* stream;
    char magic[4];
    uint16_t version;
    uint32_t entryCount;
    VKZ_EntryRecord* entries;
};

// None when the file is missing, is not a version 1 archive, or its table or
// entry data do not fit the file.
VKZ_Archive* VKZ_Open(const char* path);
void VKZ_Close(VKZ_Archive* archive);
// Lower-cases `name` in place, as the lookup always has.
VKZ_EntryRecord* VKZ_FindEntry(VKZ_Archive* archive, char* name);
// 1 when the entry unpacked to exactly its `size` bytes into `destination`
// (at least that large) and matched its content digest; 0 otherwise, with
// *status (when given) saying why.
int VKZ_ReadEntry(VKZ_Archive* archive, VKZ_EntryRecord* entry, void* destination,
                  ZK_Status* status = nullptr);
// The same for tools, without a destination: the entry goes to `write` in
// pieces of at most 64 KiB (0 stops it) and its digest is checked at the end,
// so an entry of any size costs little memory (aPLib and UCL entries are still
// unpacked whole: their references reach back to any byte).
ZK_Status VKZ_StreamEntry(VKZ_Archive* archive, VKZ_EntryRecord* entry,
                          int (*write)(void* user, const uint8_t* data, uint32_t size), void* user);
