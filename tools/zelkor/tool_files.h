// Whole-file reads and writes for the zelkor commands. Messages name the file
// and the reason; a failed write removes what it left behind.
#pragma once
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

struct FileData {
    uint8_t* data = nullptr;
    uint32_t size = 0;
};

inline void FreeFileData(FileData* f) {
    free(f->data);
    f->data = nullptr;
}

// Files beyond 2 GiB are refused: the codecs take 32-bit lengths and signed results.
inline bool ReadFileData(const char* path, FileData* out, const char* tool) {
    FILE* f = fopen(path, "rb");
    if (!f) {
        fprintf(stderr, "%s: %s: %s\n", tool, path, strerror(errno));
        return false;
    }
    off_t length = -1;
    if (fseeko(f, 0, SEEK_END) == 0) length = ftello(f);
    if (length < 0 || fseeko(f, 0, SEEK_SET) != 0) {
        fprintf(stderr, "%s: %s: not a regular file\n", tool, path);
        fclose(f);
        return false;
    }
    if (length > 0x7FFFFFFF) {
        fprintf(stderr, "%s: %s: file too large\n", tool, path);
        fclose(f);
        return false;
    }
    out->size = (uint32_t)length;
    out->data = (uint8_t*)malloc(out->size ? out->size : 1);
    bool ok = out->data && fread(out->data, 1, out->size, f) == out->size;
    if (!ok) {
        fprintf(stderr, "%s: %s: %s\n", tool, path, out->data ? "read error" : "out of memory");
        FreeFileData(out);
    }
    fclose(f);
    return ok;
}

inline bool WriteFileData(const char* path, const void* data, uint32_t size, const char* tool) {
    bool toStdout = strcmp(path, "-") == 0;
    FILE* f = toStdout ? stdout : fopen(path, "wb");
    if (!f) {
        fprintf(stderr, "%s: %s: %s\n", tool, path, strerror(errno));
        return false;
    }
    bool ok = fwrite(data, 1, size, f) == size;
    ok = (toStdout ? fflush(f) : fclose(f)) == 0 && ok;
    if (!ok) {
        fprintf(stderr, "%s: %s: write error\n", tool, path);
        if (!toStdout) remove(path);
    }
    return ok;
}

// A decimal byte count that fits 32 bits, or -1.
inline long long ParseSize(const char* text) {
    if (!*text) return -1;
    long long v = 0;
    for (const char* c = text; *c; c++) {
        if (*c < '0' || *c > '9') return -1;
        v = v * 10 + (*c - '0');
        if (v > 0xFFFFFFFFll) return -1;
    }
    return v;
}
