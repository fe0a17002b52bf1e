// Writing files so that a failure loses nothing. A regular file (or a new
// one) is written to a temporary file in the same folder, which replaces the
// target only after a complete, flushed and closed write; a failed write
// leaves the old file as it was. A target that exists and is not a regular
// file (a device, a FIFO), or any path under /dev or /proc (/dev/stdout), is
// written directly and never unlinked.
#pragma once
#include <cstddef>
#include <cstdio>
#include <string>

enum {
    IO_DASH_IS_STDOUT = 1, // the path "-" means standard output
};

struct IO_Output {
    FILE* stream = nullptr; // write here between Open and Commit/Abort
    std::string path;       // what Commit puts in place (a link's target)
    std::string temp;       // the temporary file; empty when writing directly
};

// 1 with out->stream ready, or 0 with *why set (when given). Writes past the
// file-size limit then fail with an error instead of ending the process.
int IO_OutputOpen(IO_Output* out, const char* path, int flags, const char** why);
// Flushes and closes the stream and moves the temporary file into place;
// 1, or 0 with *why set (the temporary removed, the target untouched).
int IO_OutputCommit(IO_Output* out, const char** why);
// Closes the stream and removes the temporary file, if any.
void IO_OutputAbort(IO_Output* out);
// The whole of `data` into `path` as above; 1, or 0 with *why set.
int IO_WriteFile(const char* path, const void* data, size_t size, int flags, const char** why);
