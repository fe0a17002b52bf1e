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

ZK_Status ParseTimingScript(const void* data, uint32_t size, TimingTable* table) {
    MemFile* file = MemFile_Open(data, size, (intptr_t)g_shellLog);
    if (!file) return ZK_Fail("out of memory");
    TimingHeader header = {};
    TimingEntry* entries = nullptr;
    ZK_Status status;
    if (MemFile_Read(&header, sizeof(header), file) != sizeof(header))
        status = ZK_Fail("shorter than the 8-byte header");
    else if (memcmp(header.magic, "TMG", 4) != 0)
        status = ZK_Fail("not a timing script (magic is not \"TMG\\0\")");
    // The count comes from the file: the entries must fit in what is left of
    // it before anything is allocated for them, and count * 72 must not wrap.
    uint64_t bytes = (uint64_t)header.count * sizeof(TimingEntry);
    if (status.ok && header.count > TIMING_MAX_ENTRIES)
        status = ZK_Failf("", "%u entries, more than the 65536 a timetable holds", header.count);
    else if (status.ok && bytes > size - sizeof(header))
        status = ZK_Failf("", "%u entries need %llu bytes, only %zu follow the header",
                          header.count, (unsigned long long)bytes, size - sizeof(header));
    if (status.ok && !(entries = (TimingEntry*)malloc(bytes ? (size_t)bytes : 1)))
        status = ZK_Fail("out of memory for its entries");
    if (status.ok &&
        MemFile_ReadItems(entries, sizeof(TimingEntry), header.count, file) != (uint32_t)bytes)
        status = ZK_Fail("cannot read its entries");
    MemFile_Close(file);
    if (!status.ok) {
        free(entries);
        return status;
    }
    FreeTimingTable(table);
    table->header = header;
    table->entries = entries;
    return status;
}

int LoadTimingScript() {
    char name[] = "default.tmg"; // the lookup lower-cases it in place
    VKZ_EntryRecord* record = VKZ_FindEntry(g_archive, name);
    if (!record || record->size > TIMING_MAX_BYTES) return 0;
    void* buffer = malloc(record->size ? record->size : 1);
    if (!buffer) return 0;
    int ok = VKZ_ReadEntry(g_archive, record, buffer) == 1 &&
             ParseTimingScript(buffer, record->size, &timingTable).ok;
    free(buffer);
    return ok;
}
