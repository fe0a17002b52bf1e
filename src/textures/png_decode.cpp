// PNG through libpng: any colour type and depth, made 8-bit RGB or RGBA
// (palettes and greys expanded, a transparent colour made alpha). The rows
// are turned over, bottom row first, so a PNG shows the right way up as the
// show draws a TGA's first row at the bottom.
#include "archive/memfile.h"
#include "textures/image_decode.h"

#include <cstdlib>
#include <cstring>
#include <string>

#ifdef ZK_NO_LIBPNG

// The web build has no libpng; its pictures are TGA, BMP or scripts.
int DecodePNG(MemFile*, TexImage* image) {
    image->status =
        ZK_Fail("PNG pictures are not read in the web build (no libpng there): make it a .tga");
    return 0;
}

#else

#include <png.h>

namespace {

// What lives across libpng's longjmp: nothing on the stack that changes.
struct PngRead {
    MemFile* file;
    int ended = 0;    // the read ran past the file's end
    int rowsRead = 0; // every pixel is in
    uint8_t* pixels = nullptr;
    char message[160] = {}; // libpng's complaint
};

void ReadBytes(png_structp png, png_bytep out, size_t n) {
    PngRead* r = (PngRead*)png_get_io_ptr(png);
    if (n > UINT32_MAX || MemFile_Read(out, (uint32_t)n, r->file) != n) {
        r->ended = 1;
        png_error(png, "file ends early");
    }
}

void Failed(png_structp png, png_const_charp message) {
    PngRead* r = (PngRead*)png_get_error_ptr(png);
    snprintf(r->message, sizeof r->message, "%s", message);
    png_longjmp(png, 1);
}

void NoWarning(png_structp, png_const_charp) {}

int Fail(TexImage* image, const char* text, const char* detail = nullptr) {
    image->status = ZK_Fail(detail ? std::string(text) + ": " + detail : text);
    return 0;
}

int Refuse(TexImage* image, const char* text, const char* detail = nullptr) {
    Fail(image, text, detail);
    return -1;
}

// The size from the header, checked before libpng reads any of it, so a
// picture too large gets the words a TGA gets.
int SizeRefused(MemFile* file, TexImage* image) {
    uint8_t h[16]; // the first chunk's length and type, then width and height
    if (MemFile_Read(h, 16, file) != 16) return 0; // libpng says what is missing
    if (memcmp(h + 4, "IHDR", 4) != 0) return 0;
    uint32_t width = (uint32_t)h[8] << 24 | h[9] << 16 | h[10] << 8 | h[11];
    uint32_t height = (uint32_t)h[12] << 24 | h[13] << 16 | h[14] << 8 | h[15];
    image->width = (int32_t)(width & 0x7FFFFFFF);
    image->height = (int32_t)(height & 0x7FFFFFFF);
    const char* size = TexSizeProblem(image, width, height);
    MemFile_Seek(file, 8, 0);
    if (size) Fail(image, size);
    return size != nullptr;
}

// Reads the rows into r->pixels (made here once the header is known); 1 when
// every row was read, 0 when the file ended among them, -1 on any other
// failure (image->status failed).
int Read(png_structp png, png_infop info, PngRead* r, TexImage* image) {
    if (setjmp(png_jmpbuf(png))) {
        if (r->rowsRead) return 1; // only what follows the pixels is missing or damaged
        if (!r->pixels)
            return r->ended ? Refuse(image, "file shorter than its PNG header")
                            : Refuse(image, "damaged PNG header", r->message);
        return r->ended ? 0 : Refuse(image, "damaged PNG data", r->message);
    }
    png_read_info(png, info);
    png_uint_32 width = png_get_image_width(png, info), height = png_get_image_height(png, info);
    image->width = (int32_t)width;
    image->height = (int32_t)height;
    if (const char* size = TexSizeProblem(image, width, height)) return Refuse(image, size);
    png_set_expand(png);
    png_set_strip_16(png);
    png_set_gray_to_rgb(png);
    int passes = png_set_interlace_handling(png);
    png_read_update_info(png, info);
    int channels = png_get_channels(png, info);
    if ((channels != 3 && channels != 4) || png_get_rowbytes(png, info) != width * channels)
        return Refuse(image, "PNG of a kind not read (not 8-bit RGB or RGBA once expanded)");
    image->channels = channels;
    image->rowAlignment = 1;
    image->byteCount = width * height * channels;
    r->pixels = (uint8_t*)calloc(image->byteCount, 1);
    if (!r->pixels) return Refuse(image, "out of memory for the PNG pixels");
    size_t rowBytes = (size_t)width * channels;
    for (int pass = 0; pass < passes; pass++)
        for (png_uint_32 y = 0; y < height; y++)
            png_read_row(png, r->pixels + (size_t)(height - 1 - y) * rowBytes, nullptr);
    r->rowsRead = 1;
    png_read_end(png, nullptr);
    return 1;
}

} // namespace

int DecodePNG(MemFile* file, TexImage* image) {
    uint8_t signature[8];
    MemFile_Seek(file, 0, 0);
    if (MemFile_Read(signature, 8, file) != 8 || png_sig_cmp(signature, 0, 8))
        return Fail(image, "not a PNG file (no PNG signature)");
    if (SizeRefused(file, image)) return 0;
    PngRead r;
    r.file = file;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &r, Failed, NoWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return Fail(image, "out of memory for the PNG reader");
    }
    png_set_read_fn(png, &r, ReadBytes);
    png_set_sig_bytes(png, 8);
    int read = Read(png, info, &r, image);
    png_destroy_read_struct(&png, &info, nullptr);
    if (read < 0) {
        free(r.pixels);
        return 0;
    }
    image->pixels = r.pixels;
    // A warning only, as for a TGA cut short: the rows not read stay zero.
    image->status = ZK_Ok();
    image->warning = read ? nullptr : "file ends before its last pixel (the rest is zero)";
    return 1;
}

#endif
