#include "archive/memfile.h"

#include <cstdlib>
#include <cstring>

MemFile* MemFile_Open(const void* data, uint32_t size, intptr_t userValue) {
    MemFile* file = (MemFile*)malloc(sizeof(MemFile));
    if (!file) return nullptr;
    file->size = size;
    file->position = 0;
    file->data = (const uint8_t*)data;
    file->userValue = userValue;
    return file;
}

uint32_t MemFile_Read(void* destination, uint32_t n, MemFile* file) {
    if (n == 0) return 0;
    // Compared against what is left rather than position + n, which wraps in
    // 32 bits for huge counts and would copy past the buffer.
    uint32_t left = file->size - file->position;
    if (n >= left) n = left;
    if (n) memcpy(destination, file->data + file->position, n);
    file->position += n;
    return n;
}

uint32_t MemFile_ReadItems(void* destination, uint32_t itemSize, uint32_t itemCount,
                           MemFile* file) {
    // A product beyond 32 bits asks for more than any buffer holds: read the rest.
    uint64_t total = (uint64_t)itemSize * itemCount;
    return MemFile_Read(destination, total > 0xFFFFFFFFu ? 0xFFFFFFFFu : (uint32_t)total, file);
}

MemFile* MemFile_Seek(MemFile* file, int32_t offset, int origin) {
    switch ((uint8_t)origin) {
    case 0:
        file->position = (uint32_t)offset;
        break;
    case 1:
        file->position += (uint32_t)offset;
        break;
    case 2:
        file->position = file->size + (uint32_t)offset;
        break;
    default:
        break;
    }
    // A move before the start wraps to a huge value and lands at the end.
    if (file->position > file->size) file->position = file->size;
    return file;
}

void MemFile_Close(MemFile* file) {
    free(file);
}
