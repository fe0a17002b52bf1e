// UCL's NRV2E method through libucl. Decoding uses the library's bounds-checked
// variant, limited by the destination length.
#include "archive/codecs.h"

#include <ucl/ucl.h>

int VKZ_CodecUCL::Compress(const void* source, uint32_t length, void* destination) {
    if (ucl_init() != UCL_E_OK) return -1;
    ucl_uint outLength = 0;
    int r = ucl_nrv2e_99_compress((const ucl_bytep)source, length, (ucl_bytep)destination,
                                  &outLength, nullptr, 9, nullptr, nullptr);
    if (r != UCL_E_OK || outLength > 0x7FFFFFFF) return -1;
    return (int)outLength;
}

int VKZ_CodecUCL::Decompress(const void* source, uint32_t sourceLength, void* destination,
                             uint32_t destinationLength) {
    if (ucl_init() != UCL_E_OK) return -1;
    ucl_uint outLength = destinationLength;
    int r = ucl_nrv2e_decompress_safe_8((const ucl_bytep)source, sourceLength,
                                        (ucl_bytep)destination, &outLength, nullptr);
    if (r != UCL_E_OK || outLength > 0x7FFFFFFF) return -1;
    return (int)outLength;
}
