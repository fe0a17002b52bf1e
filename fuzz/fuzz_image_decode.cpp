// libFuzzer: the TGA or BMP decoder (chosen at build time) over any bytes.
// Every pixel the upload would read is touched, so ASan sees short buffers.
#include "archive/memfile.h"
#include "textures/image_decode.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    MemFile* file = MemFile_Open(data, (uint32_t)size, 0);
    TexImage image;
    if (FUZZ_DECODER(file, &image)) {
        uint64_t row = (uint64_t)image.width * image.channels;
        row = (row + image.rowAlignment - 1) / image.rowAlignment * image.rowAlignment;
        if (row * image.height != image.byteCount) abort();
        // Large images are sampled; small ones read whole.
        unsigned sum = 0;
        uint32_t step = image.byteCount > (1u << 20) ? 4093 : 1;
        for (uint32_t i = 0; i < image.byteCount; i += step) sum += image.pixels[i];
        if (image.byteCount) sum += image.pixels[image.byteCount - 1];
        volatile unsigned sink = sum;
        (void)sink;
        free(image.pixels);
    }
    MemFile_Close(file);
    return 0;
}
