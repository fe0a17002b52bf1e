// The archive reader on arbitrary files: open, look up, read every entry.
// The reader takes a path, so each input goes to a temporary file (in TMPDIR)
// that is removed again before the next one.
#include "archive/vkz.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

static std::string TempPath() {
    const char* dir = getenv("TMPDIR");
    return std::string(dir && *dir ? dir : "/tmp") + "/fuzz_vkz_" + std::to_string(getpid()) +
           ".vkz";
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static std::string path = TempPath();
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return 0;
    fwrite(data, 1, size, f);
    fclose(f);
    VKZ_Archive* archive = VKZ_Open(path.c_str());
    remove(path.c_str()); // the open archive keeps its stream
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
