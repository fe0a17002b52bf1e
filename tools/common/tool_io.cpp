#include "tool_io.h"

#include "io/read_file.h"
#include "io/write_file.h"

#include <cstdio>

int ReadInput(const char* tool, const char* path, uint64_t limit, std::vector<uint8_t>* out,
              int flags) {
    ZK_Status read = IO_ReadFile(path, limit, flags, out);
    if (read.ok) return 1;
    fprintf(stderr, "%s: %s\n", tool, ZK_StatusText(read).c_str());
    return 0;
}

int ReadTextInput(const char* tool, const char* path, uint64_t limit, std::string* out) {
    ZK_Status read = IO_ReadText(path, limit, IO_ANY_FILE, out);
    if (read.ok) return 1;
    fprintf(stderr, "%s: %s\n", tool, ZK_StatusText(read).c_str());
    return 0;
}

int WriteOutput(const char* tool, const char* path, const void* data, size_t size,
                int dashIsStdout) {
    ZK_Status written = IO_WriteFile(path, data, size, dashIsStdout ? IO_DASH_IS_STDOUT : 0);
    if (written.ok) return 1;
    fprintf(stderr, "%s: %s\n", tool, ZK_StatusText(written).c_str());
    return 0;
}
