// Reading files whole. The show opens only regular files, checked without
// blocking, so a FIFO or device in place of one of its files fails like a
// missing file instead of hanging in open(); tools read whatever the user
// names, pipes and /dev/stdin included.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

enum {
    IO_ANY_FILE = 0,
    IO_REGULAR_ONLY = 1, // refuse anything that is not a regular file
};

// A descriptor open for reading, or -1 with *why set (when why is given) to a
// static text naming the reason.
int IO_OpenRead(const char* path, int flags, const char** why);
// The same as a stdio stream ("rb"), or null.
FILE* IO_FopenRead(const char* path, int flags, const char** why);
// The whole file into *out (whose data() is then never null), refused when
// longer than `limit` bytes (a stream is read no further than that); 1, or 0
// with *why set and *out empty.
int IO_ReadFile(const char* path, uint64_t limit, int flags, std::vector<uint8_t>* out,
                const char** why);
// The same into a string, for text sources.
int IO_ReadText(const char* path, uint64_t limit, int flags, std::string* out, const char** why);
