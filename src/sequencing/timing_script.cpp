#include "sequencing/timing_script.h"

#include "archive/memfile.h"
#include "archive/vkz.h"
#include "core/globals.h"

#include <cstdlib>
#include <cstring>

TimingTable timingTable;

void FreeTimingTable(TimingTable* table) {
    free(table->entries);
    memset(table, 0, sizeof(*table));
}

int ParseTimingScript(const void* data, uint32_t size, TimingTable* table) {
    MemFile* file = MemFile_Open(data, size, (intptr_t)g_shellLog);
    if (!file) return 0;
    TimingHeader header = {};
    TimingEntry* entries = nullptr;
    int ok = MemFile_Read(&header, sizeof(header), file) == sizeof(header) &&
             memcmp(header.magic, "TMG", 4) == 0;
    // The count comes from the file: the entries must fit in what is left of
    // it before anything is allocated for them, and count * 72 must not wrap.
    uint64_t bytes = (uint64_t)header.count * sizeof(TimingEntry);
    if (ok) ok = header.count <= TIMING_MAX_ENTRIES && bytes <= size - sizeof(header);
    if (ok) ok = (entries = (TimingEntry*)malloc(bytes ? (size_t)bytes : 1)) != nullptr;
    if (ok)
        ok = MemFile_ReadItems(entries, sizeof(TimingEntry), header.count, file) == (uint32_t)bytes;
    MemFile_Close(file);
    if (!ok) {
        free(entries);
        return 0;
    }
    FreeTimingTable(table);
    table->header = header;
    table->entries = entries;
    return 1;
}

int LoadTimingScript() {
    char name[] = "default.tmg"; // the lookup lower-cases it in place
    VKZ_EntryRecord* record = VKZ_FindEntry(g_archive, name);
    if (!record || record->size > TIMING_MAX_BYTES) return 0;
    void* buffer = malloc(record->size ? record->size : 1);
    if (!buffer) return 0;
    int ok = VKZ_ReadEntry(g_archive, record, buffer) == 1 &&
             ParseTimingScript(buffer, record->size, &timingTable);
    free(buffer);
    return ok;
}
