// Writing files so that a failure loses nothing. A regular file (or a new
// one) is written to a temporary file in the same folder, which replaces the
// target only after a complete, flushed and closed write; a failed write
// leaves the old file as it was. A target that exists and is not a regular
// file (a device, a FIFO), or any path under /dev or /proc (/dev/stdout), is
// written directly and never unlinked.
#pragma once
#include "core/status.h"

#include <cstddef>
#include <cstdio>
#include <string>

enum {
    IO_DASH_IS_STDOUT = 1, // the path "-" means standard output
    // Only a regular file (or a new one) is written, always through the
    // temporary file: anything else is refused ("not a regular file"), never
    // opened, so a FIFO there cannot block the writer.
    IO_REGULAR_TARGET = 2,
};

struct IO_Output {
    FILE* stream = nullptr; // write here between Open and Commit/Abort
    std::string path;       // what Commit puts in place (a link's target)
    std::string temp;       // the temporary file; empty when writing directly
};

// The temporary file a safe write to `path` goes through, when `path` is
// missing or a regular file: `target` is what the rename will replace (the
// file a symbolic link names; the link stays), and the temporary, beside it,
// has the mode of the file it replaces and is removed should SIGTERM or
// SIGHUP end the program first. A descriptor open for writing, or -1 (errno).
int IO_CreateTempFor(const char* path, std::string* target, std::string* temp);
// Forgets the temporary once it has been renamed into place, or removes it.
void IO_DropTemp(std::string* temp, int remove);

// out->stream ready, or a failure naming the file. Writes past the file-size
// limit then fail with an error instead of ending the process.
ZK_Status IO_OutputOpen(IO_Output* out, const char* path, int flags);
// Flushes and closes the stream and moves the temporary file into place; on
// a failure the temporary is removed and the target left untouched.
ZK_Status IO_OutputCommit(IO_Output* out);
// Closes the stream and removes the temporary file, if any.
void IO_OutputAbort(IO_Output* out);
// The whole of `data` into `path` as above.
ZK_Status IO_WriteFile(const char* path, const void* data, size_t size, int flags);
// The same with the reason alone, a static text, in *why (when given): for
// zelkor new, not yet on ZK_Status.
int IO_WriteFile(const char* path, const void* data, size_t size, int flags, const char** why);
