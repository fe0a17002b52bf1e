// bzip2 through libbz2's buffer-to-buffer calls, 900 k blocks.
#include "archive/codecs.h"

#include <bzlib.h>

int VKZ_CodecBzip2::Compress(const void* source, uint32_t length, void* destination) {
    int bound = MaxCompressedSize(length);
    if (bound < 0) return -1;
    unsigned int outLength = (unsigned int)bound;
    char empty = 0; // the library refuses a null source even when it is empty
    int r = BZ2_bzBuffToBuffCompress((char*)destination, &outLength,
                                     length ? (char*)source : &empty, length, 9, 0, 0);
    return r == BZ_OK ? (int)outLength : -1;
}

// A library error is a failure (-1), not the unchanged destination length.
int VKZ_CodecBzip2::Decompress(const void* source, uint32_t sourceLength, void* destination,
                               uint32_t destinationLength) {
    unsigned int outLength = destinationLength;
    int r = BZ2_bzBuffToBuffDecompress((char*)destination, &outLength, (char*)source, sourceLength,
                                       0, 0);
    if (r != BZ_OK || outLength > 0x7FFFFFFF) return -1;
    return (int)outLength;
}
