// Whole-file helpers of the texture manager: texture files are plain files
// read in one go and decoded from memory.
#pragma once
#include <cstdint>

// Size in bytes, or -1 when the file cannot be opened (or is over 2 GiB).
int GetFileSize(const char* path);
// 1 when the file can be opened for binary reading.
int FileExists(const char* path);
// The whole file in a new malloc'd buffer (the caller frees it), or null.
// *size gets the byte count when size is given.
uint8_t* ReadWholeFile(const char* path, uint32_t* size = nullptr);
// The last "." of the path, or null.
const char* GetExtension(const char* path);
