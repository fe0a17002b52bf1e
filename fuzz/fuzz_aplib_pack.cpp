// aPLib packer: every input must come back unchanged, within the size bound,
// ending with the 00 marker.
//
// The optimal parse costs about the square of the input's repeated stretches,
// so under the sanitizers a few hundred bytes take milliseconds: inputs are
// kept short to run thousands a second. Long offsets are the unit tests' part.
#include "archive/aplib.h"

#include <cstdlib>
#include <cstring>

enum { MAX_INPUT = 48 };

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static uint8_t* work = (uint8_t*)malloc(aPLibWorkMemSize);
    if (size < 2 || size > MAX_INPUT) return 0;
    uint32_t bound = (uint32_t)(size + size / 8 + 256);
    uint8_t* packed = (uint8_t*)malloc(bound);
    uint8_t* back = (uint8_t*)malloc(size);
    uint32_t n = aPLibPack(data, packed, (uint32_t)size, work, nullptr);
    if (n == 0 || n > bound || packed[n - 1] != 0) abort();
    if (aPLibDepack(packed, n, back, (uint32_t)size) != size || memcmp(back, data, size) != 0)
        abort();
    free(packed);
    free(back);
    return 0;
}
