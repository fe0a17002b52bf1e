// The aPLib member of the codec family.
#include "archive/aplib.h"
#include "archive/codecs.h"

#include <cstdlib>

int VKZ_CodecAPLib::Compress(const void* source, uint32_t length, void* destination) {
    void* workMem = malloc(aPLibWorkMemSize);
    if (!workMem) return -1;
    uint32_t packed = aPLibPack(source, destination, length, workMem, nullptr);
    free(workMem);
    // From 2 bytes on a 0 means the packer ran out of memory: a failure, not a refusal.
    if (packed == 0 && length >= 2) return -1;
    return packed > 0x7FFFFFFF ? -1 : (int)packed;
}

// Bounded by both lengths; a damaged stream gives -1.
int VKZ_CodecAPLib::Decompress(const void* source, uint32_t sourceLength, void* destination,
                               uint32_t destinationLength) {
    uint32_t n = aPLibDepack(source, sourceLength, destination, destinationLength);
    return n == APLIB_ERROR || n > 0x7FFFFFFF ? -1 : (int)n;
}
