// MemFile: reads a buffer in memory like a file. Arguments follow fread/fseek
// so parsing code reads like file code. The buffer is never owned.
#pragma once
#include <cstdint>

struct MemFile {
    uint32_t size;
    uint32_t position; // never above size
    const uint8_t* data;
    intptr_t userValue; // stored, never read
};

MemFile* MemFile_Open(const void* data, uint32_t size, intptr_t userValue);
// Copies up to n bytes; returns the count copied (0 at the end).
uint32_t MemFile_Read(void* destination, uint32_t n, MemFile* file);
// Reads itemSize * itemCount bytes; the result counts bytes, not items.
uint32_t MemFile_ReadItems(void* destination, uint32_t itemSize, uint32_t itemCount, MemFile* file);
// Origin 0 start, 1 current, 2 end; others leave the position. Clamped to size.
MemFile* MemFile_Seek(MemFile* file, int32_t offset, int origin);
void MemFile_Close(MemFile* file);
