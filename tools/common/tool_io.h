// The kit's whole-file read and safe write for the tools, reporting a failure
// on stderr as "TOOL: PATH: reason".
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// `limit` is the largest file of the input's kind (a stream is read no further).
// `flags`: IO_REGULAR_ONLY reads only a regular file, as the show does (io/read_file.h).
int ReadInput(const char* tool, const char* path, uint64_t limit, std::vector<uint8_t>* out,
              int flags = 0);
int ReadTextInput(const char* tool, const char* path, uint64_t limit, std::string* out);
// "-" is standard output where `dashIsStdout` is set.
int WriteOutput(const char* tool, const char* path, const void* data, size_t size,
                int dashIsStdout = 0);
