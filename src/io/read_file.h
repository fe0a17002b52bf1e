// Reading files whole. The show opens only regular files, checked without
// blocking, so a FIFO or device in place of one of its files fails like a
// missing file instead of hanging in open(); tools read whatever the user
// names, pipes and /dev/stdin included.
#pragma once
#include "core/status.h"

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

enum {
    IO_ANY_FILE = 0,
    IO_REGULAR_ONLY = 1, // refuse anything that is not a regular file
};

// A descriptor open for reading, or -1 with *status (when given) naming the
// file and the reason.
int IO_OpenRead(const char* path, int flags, ZK_Status* status);
// The same as a stdio stream ("rb"), or null.
FILE* IO_FopenRead(const char* path, int flags, ZK_Status* status);
// The whole file into *out (whose data() is then never null), refused when
// longer than `limit` bytes (a stream is read no further than that); on a
// failure *out is empty.
ZK_Status IO_ReadFile(const char* path, uint64_t limit, int flags, std::vector<uint8_t>* out);
// The same into a string, for text sources.
ZK_Status IO_ReadText(const char* path, uint64_t limit, int flags, std::string* out);
// The text with the reason alone, a static text, in *why (when given): for
// the shader loader, not yet on ZK_Status.
int IO_ReadText(const char* path, uint64_t limit, int flags, std::string* out, const char** why);
