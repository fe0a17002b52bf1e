// libFuzzer: the TGA, BMP or PNG decoder (chosen at build time) over any bytes.
// The pixels the upload would read are touched, so ASan sees short buffers.
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
        // Small images are read whole; of large ones (mostly untouched zero
        // pages) only the two ends, which is where a short buffer would show.
        unsigned sum = 0;
        uint32_t n = image.byteCount, edge = n > (1u << 20) ? 4096 : n;
        for (uint32_t i = 0; i < edge; i++) sum += image.pixels[i] + image.pixels[n - 1 - i];
        volatile unsigned sink = sum;
        (void)sink;
        free(image.pixels);
    }
    MemFile_Close(file);
    return 0;
}
