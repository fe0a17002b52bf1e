// The kit's whole-file read and safe write for the tools, reporting a failure
// on stderr as "TOOL: PATH: reason".
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// Files beyond 2 GiB are refused: the codecs take 32-bit lengths and signed results.
enum : uint64_t { TOOL_MAX_INPUT = 0x7FFFFFFF };

int ReadInput(const char* tool, const char* path, uint64_t limit, std::vector<uint8_t>* out);
int ReadTextInput(const char* tool, const char* path, uint64_t limit, std::string* out);
// "-" is standard output where `dashIsStdout` is set.
int WriteOutput(const char* tool, const char* path, const void* data, size_t size,
                int dashIsStdout = 0);
