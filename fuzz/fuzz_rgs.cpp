// libFuzzer: RunRGS over any bytes, on the shared layer store as the texture
// manager uses it (state carries from input to input, as from file to file).
#include "rgs/rgs.h"

#include <cstddef>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RunRGS(size ? data : nullptr, (uint32_t)size);
    return 0;
}
