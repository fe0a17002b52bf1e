#include "tool_io.h"

#include "io/read_file.h"
#include "io/write_file.h"

#include <cstdio>

int ReadInput(const char* tool, const char* path, uint64_t limit, std::vector<uint8_t>* out,
              int flags) {
    const char* why = nullptr;
    if (IO_ReadFile(path, limit, flags, out, &why)) return 1;
    fprintf(stderr, "%s: %s: %s\n", tool, path, why);
    return 0;
}

int ReadTextInput(const char* tool, const char* path, uint64_t limit, std::string* out) {
    const char* why = nullptr;
    if (IO_ReadText(path, limit, IO_ANY_FILE, out, &why)) return 1;
    fprintf(stderr, "%s: %s: %s\n", tool, path, why);
    return 0;
}

int WriteOutput(const char* tool, const char* path, const void* data, size_t size,
                int dashIsStdout) {
    const char* why = nullptr;
    if (IO_WriteFile(path, data, size, dashIsStdout ? IO_DASH_IS_STDOUT : 0, &why)) return 1;
    fprintf(stderr, "%s: %s: %s\n", tool, path, why);
    return 0;
}
