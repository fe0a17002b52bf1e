// The archive reader on arbitrary files: open, look up, read every entry.
#include "archive/vkz.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::string path = "/tmp/fuzz_vkz_" + std::to_string(getpid()) + ".vkz";
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return 0;
    fwrite(data, 1, size, f);
    fclose(f);
    VKZ_Archive* archive = VKZ_Open(path.c_str());
    if (archive) {
        char name[] = "Default.TMG";
        VKZ_FindEntry(archive, name);
        for (uint32_t i = 0; i < archive->entryCount; i++) {
            VKZ_EntryRecord* e = &archive->entries[i];
            if (e->size > (1u << 24)) continue; // the harness's own memory limit
            uint8_t* out = (uint8_t*)malloc(e->size ? e->size : 1);
            VKZ_ReadEntry(archive, e, out);
            free(out);
        }
        VKZ_Close(archive);
    }
    return 0;
}
