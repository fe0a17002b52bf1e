// TGA: uncompressed 16, 24 and 32 bits per pixel, run-length encoded 24 and 32.
// Rows stay in file order (the origin bits are ignored) and packed tightly.
#include "archive/memfile.h"
#include "textures/image_decode.h"

#include <cstdlib>
#include <cstring>

static int Fail(TexImage* image, const char* problem) {
    image->status = ZK_Fail(problem);
    return 0;
}

// Run-length packets; a packet running past the last pixel is cut, and the
// pixels of a file that ends early stay zero. 0 when the file ended early.
static int DecodeRunLength(MemFile* file, uint8_t* out, uint64_t total, int b) {
    uint64_t written = 0;
    int whole = 1;
    while (written < total) {
        uint8_t header;
        if (MemFile_Read(&header, 1, file) != 1) return 0;
        uint64_t n = header < 128 ? header + 1u : header - 127u;
        if (n > total - written) n = total - written;
        uint8_t* o = out + written * b;
        if (header < 128) {
            // Raw pixels are read in one go and swapped in place.
            if (MemFile_Read(o, (uint32_t)(n * b), file) != n * b) whole = 0;
            for (uint64_t i = 0; i < n; i++, o += b) {
                uint8_t t = o[0];
                o[0] = o[2];
                o[2] = t;
            }
        } else {
            uint8_t p[4] = {0, 0, 0, 0};
            if (MemFile_Read(p, (uint32_t)b, file) != (uint32_t)b) whole = 0;
            for (uint64_t i = 0; i < n; i++, o += b) {
                o[0] = p[2];
                o[1] = p[1];
                o[2] = p[0];
                if (b == 4) o[3] = p[3];
            }
        }
        written += n;
    }
    return whole;
}

static void DecodeRows(MemFile* file, uint8_t* out, uint32_t width, uint32_t height, int b) {
    uint32_t rowBytes = width * b;
    for (uint32_t y = 0; y < height; y++) {
        uint8_t* row = out + (uint64_t)y * rowBytes;
        uint32_t got = MemFile_Read(row, rowBytes, file);
        if (got == 0) return; // the rest stays zero
        for (uint32_t x = 0; x < width; x++) {
            uint8_t t = row[x * b];
            row[x * b] = row[x * b + 2];
            row[x * b + 2] = t;
        }
        if (got < rowBytes) return;
    }
}

static void DecodeHighColour(MemFile* file, uint8_t* out, uint64_t total) {
    for (uint64_t i = 0; i < total; i++) {
        uint8_t v[2];
        if (MemFile_Read(v, 2, file) != 2) return;
        unsigned value = v[0] | v[1] << 8;
        out[3 * i] = ((value >> 10) & 31) << 3;
        out[3 * i + 1] = ((value >> 5) & 31) << 3;
        out[3 * i + 2] = (value & 31) << 3;
    }
}

int DecodeTGA(MemFile* file, TexImage* image) {
    uint8_t h[18];
    MemFile_Seek(file, 0, 0);
    if (MemFile_Read(h, 18, file) != 18) return Fail(image, "file shorter than a TGA header");
    uint8_t idLength = h[0], type = h[2], depth = h[16];
    uint32_t width = h[12] | h[13] << 8, height = h[14] | h[15] << 8;
    image->width = (int32_t)width;
    image->height = (int32_t)height;
    MemFile_Seek(file, 18 + idLength, 0); // the image ID is skipped, a colour map never

    int b = depth / 8, out = b;
    if (type == 10) {
        if (depth != 24 && depth != 32)
            return Fail(image, "run-length encoded TGA must have 24 or 32 bits per pixel");
    } else if (depth == 16) {
        out = 3;
    } else if (depth != 24 && depth != 32) {
        return Fail(image, "TGA pixel depth not 16, 24 or 32 bits");
    }
    if (const char* problem = TexSizeProblem(image, width, height)) return Fail(image, problem);

    // What the file holds bounds what it can make us allocate: uncompressed
    // pixels must all be there; packets of at least 2 bytes (header and one
    // pixel) expand to at most 128 pixels each.
    uint64_t total = (uint64_t)width * height;
    uint64_t dataStart = 18u + idLength;
    uint64_t held = file->size > dataStart ? file->size - dataStart : 0;
    if (type == 10 && total > (held + 1) / 2 * 128)
        return Fail(image,
                    "run-length TGA data too short for its size (at most 128 pixels per 2 bytes)");
    if (type != 10 && held < total * b)
        return Fail(image, "TGA pixel data shorter than width x height x bytes per pixel");

    uint8_t* pixels = (uint8_t*)calloc(total, out);
    if (!pixels) return Fail(image, "out of memory for the TGA pixels");
    int whole = 1;
    if (type == 10)
        whole = DecodeRunLength(file, pixels, total, b);
    else if (depth == 16)
        DecodeHighColour(file, pixels, total);
    else
        DecodeRows(file, pixels, width, height, b);

    image->channels = out == 4 ? 4 : 3;
    image->rowAlignment = 1;
    image->byteCount = (uint32_t)(total * out);
    image->pixels = pixels;
    // A warning only: the show takes such a file with its missing pixels zero.
    image->status = ZK_Ok();
    image->warning = whole ? nullptr : "file ends before its last pixel (the rest is zero)";
    return 1;
}
