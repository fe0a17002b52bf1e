// aPLib depacker on arbitrary streams. The first two bytes choose the output
// capacity; the buffer is exactly that large so any overrun is caught.
#include "archive/aplib.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    uint32_t capacity = (uint32_t)data[0] << 8 | data[1];
    uint8_t* out = (uint8_t*)malloc(capacity ? capacity : 1);
    uint32_t n = aPLibDepack(data + 2, (uint32_t)(size - 2), out, capacity);
    if (n != APLIB_ERROR && n > capacity) abort();
    free(out);
    return 0;
}
