#include "textures/file_util.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>

static long SizeOfOpenFile(FILE* f) {
    if (fseek(f, 0, SEEK_END) != 0) return -1;
    long n = ftell(f);
    if (n < 0 || n > INT_MAX) return -1;
    return n;
}

int GetFileSize(const char* path) {
    FILE* f = fopen(path, "rb");
    if (!f) return -1;
    long n = SizeOfOpenFile(f);
    fclose(f);
    return (int)n;
}

int FileExists(const char* path) {
    FILE* f = fopen(path, "rb");
    if (!f) return 0;
    fclose(f);
    return 1;
}

uint8_t* ReadWholeFile(const char* path, uint32_t* size) {
    if (!FileExists(path)) return nullptr;
    FILE* f = fopen(path, "rb");
    if (!f) return nullptr;
    // The size is taken from the open handle itself, so a file that changes
    // between two opens cannot make the read overrun the buffer.
    long n = SizeOfOpenFile(f);
    uint8_t* buffer = n >= 0 ? (uint8_t*)malloc(n ? (size_t)n : 1) : nullptr;
    if (!buffer || fseek(f, 0, SEEK_SET) != 0 || fread(buffer, 1, (size_t)n, f) != (size_t)n) {
        free(buffer);
        fclose(f);
        return nullptr;
    }
    fclose(f);
    if (size) *size = (uint32_t)n;
    return buffer;
}

const char* GetExtension(const char* path) {
    return path ? strrchr(path, '.') : nullptr;
}
