// UCL's NRV2E method through libucl. Decoding uses the library's bounds-checked
// variant, limited by the destination length.
#include "archive/codecs.h"

#include <ucl/ucl.h>

#include <cstdlib>
#include <cstring>

int VKZ_CodecUCL::Compress(const void* source, uint32_t length, void* destination) {
    if (ucl_init() != UCL_E_OK) return -1;
    ucl_uint outLength = 0;
    static const uint8_t empty = 0;
    int r = ucl_nrv2e_99_compress(length ? (const ucl_bytep)source : &empty, length,
                                  (ucl_bytep)destination, &outLength, nullptr, 9, nullptr, nullptr);
    if (r != UCL_E_OK || outLength > 0x7FFFFFFF) return -1;
    return (int)outLength;
}

int VKZ_CodecUCL::Decompress(const void* source, uint32_t sourceLength, void* destination,
                             uint32_t destinationLength) {
    if (ucl_init() != UCL_E_OK || sourceLength == 0) return -1;
    // The checked decoder still fetches one byte past the input before it
    // reports the overrun, so it reads from a padded copy.
    uint8_t* padded = (uint8_t*)malloc((size_t)sourceLength + 8);
    if (!padded) return -1;
    memcpy(padded, source, sourceLength);
    memset(padded + sourceLength, 0, 8);
    ucl_uint outLength = destinationLength;
    int r = ucl_nrv2e_decompress_safe_8(padded, sourceLength, (ucl_bytep)destination, &outLength,
                                        nullptr);
    free(padded);
    if (r != UCL_E_OK || outLength > 0x7FFFFFFF) return -1;
    return (int)outLength;
}
