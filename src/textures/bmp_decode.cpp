// BMP: 24 bits per pixel, uncompressed, bottom-up. Rows keep the file's
// padding to 4 bytes, so the upload reads them with an alignment of 4.
#include "archive/memfile.h"
#include "textures/image_decode.h"

#include <cstdlib>

static uint32_t Le32(const uint8_t* p) {
    return p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24;
}

static int Fail(TexImage* image, const char* problem) {
    image->status = ZK_Fail(problem);
    return 0;
}

int DecodeBMP(MemFile* file, TexImage* image) {
    uint8_t fileHeader[14], info[40];
    MemFile_Seek(file, 0, 0);
    if (MemFile_Read(fileHeader, 14, file) != 14)
        return Fail(image, "file shorter than a BMP header");
    if (fileHeader[0] != 'B' || fileHeader[1] != 'M')
        return Fail(image, "not a BMP file (no \"BM\")");
    if (MemFile_Read(info, 40, file) != 40) return Fail(image, "file shorter than its BMP headers");
    MemFile_Seek(file, (int32_t)Le32(fileHeader + 10), 0);
    if ((info[14] | info[15] << 8) != 24) return Fail(image, "BMP not 24 bits per pixel");

    int32_t width = (int32_t)Le32(info + 4), height = (int32_t)Le32(info + 8);
    if (height < 0) return Fail(image, "top-down BMP (negative height) not supported");
    if (width < 0) return Fail(image, "BMP of negative width");
    if (const char* problem = TexSizeProblem(image, (uint32_t)width, (uint32_t)height))
        return Fail(image, problem);
    // Refused before anything is allocated: a header alone must not cost memory.
    uint32_t dataStart = Le32(fileHeader + 10);
    uint64_t held = file->size > dataStart ? file->size - dataStart : 0;
    if (held < (uint64_t)width * height * 3)
        return Fail(image, "BMP pixel data shorter than width x height x 3 bytes");

    // Pixel-data size: the header's, else the file's rest; a size that is no
    // multiple of 3 is replaced by the unpadded pixel count. The buffer then
    // has room for 4 bytes a pixel and must hold every padded row.
    uint64_t size = Le32(info + 20);
    if (size == 0) size = file->size - 54u;
    if (size % 3 != 0) size = (uint64_t)width * height * 3;
    uint64_t stride = ((uint64_t)width * 3 + 3) & ~(uint64_t)3;
    uint64_t need = stride * height;
    if (4 * size / 3 < need) return Fail(image, "BMP pixel data smaller than its rows");

    uint8_t* pixels = (uint8_t*)calloc(need, 1);
    if (!pixels) return Fail(image, "out of memory for the BMP pixels");
    uint64_t got = MemFile_Read(pixels, (uint32_t)need, file);
    // Blue, green, red become red, green, blue row by row, so the padding at
    // the end of each row is left alone. Rows the file did not supply are zero.
    for (uint64_t y = 0; y < (uint64_t)height && y * stride < got; y++) {
        uint8_t* row = pixels + y * stride;
        for (int32_t x = 0; x < width; x++) {
            uint8_t t = row[3 * x];
            row[3 * x] = row[3 * x + 2];
            row[3 * x + 2] = t;
        }
    }

    image->width = width;
    image->height = height;
    image->channels = 3;
    image->rowAlignment = 4;
    image->byteCount = (uint32_t)need;
    image->pixels = pixels;
    image->status = ZK_Ok();
    image->warning = nullptr;
    return 1;
}
