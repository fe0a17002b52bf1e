#include "io/png_write.h"

#include "io/write_file.h"

#include <cerrno>
#include <cstring>
#include <png.h>
#include <vector>

// libpng's own handler would print; the caller reports the failure once.
static void Quiet(png_structp png, png_const_charp) {
    png_longjmp(png, 1);
}
static void NoWarning(png_structp, png_const_charp) {}

// Nothing here lives across the setjmp but what libpng owns.
static int Encode(FILE* f, const IO_Image& image, int level, const uint8_t* const* rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, Quiet, NoWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return 0;
    }
    png_init_io(png, f);
    if (level >= 0) png_set_compression_level(png, level);
    png_set_IHDR(png, info, (png_uint_32)image.width, (png_uint_32)image.height, 8,
                 image.channels == 4 ? PNG_COLOR_TYPE_RGBA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    for (int y = 0; y < image.height; y++) png_write_row(png, rows[y]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return 1;
}

ZK_Status IO_WritePng(const char* path, const IO_Image& image, int compressionLevel) {
    // Float pixels are rounded into a copy; byte rows are written in place.
    std::vector<uint8_t> converted;
    const uint8_t* pixels = image.bytes;
    size_t rowBytes = (size_t)image.width * image.channels;
    if (!pixels) {
        converted.resize(rowBytes * image.height);
        for (int y = 0; y < image.height; y++)
            for (int x = 0; x < image.width; x++)
                for (int c = 0; c < image.channels; c++)
                    converted[y * rowBytes + (size_t)x * image.channels + c] =
                        IO_PixelByte(image, x, y, c);
        pixels = converted.data();
    }
    std::vector<const uint8_t*> rows(image.height);
    for (int y = 0; y < image.height; y++) {
        int row = image.topRowFirst ? y : image.height - 1 - y;
        rows[y] = pixels + (size_t)row * rowBytes;
    }
    IO_Output out;
    ZK_Status status = IO_OutputOpen(&out, path, 0);
    if (!status.ok) return status;
    if (!Encode(out.stream, image, compressionLevel, rows.data())) {
        int failedWrite = ferror(out.stream);
        int errnum = errno;
        IO_OutputAbort(&out);
        return ZK_FailIn(path, failedWrite ? strerror(errnum) : "cannot encode the PNG");
    }
    return ZK_StatusIn(IO_OutputCommit(&out), path);
}
