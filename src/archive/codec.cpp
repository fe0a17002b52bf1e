// The codec base operations, the factory and the plain-copy codec.
#include "archive/codec.h"
#include "archive/codecs.h"
#include "archive/md5.h"

#include <cstdlib>
#include <cstring>
#include <new>

int VKZ_Codec::CompressString(const char* text, void* output) {
    return Compress(text, (uint32_t)strlen(text), output);
}

int VKZ_Codec::MaxCompressedSize(uint32_t length) {
    uint64_t bound = (uint64_t)length + length / 8 + 256;
    return bound > 0x7FFFFFFF ? -1 : (int)bound;
}

enum : uint32_t { PIECE = 1 << 16 };

// Reads exactly `size` bytes through io; 0 when the input ends early or fails.
static int ReadAll(VKZ_StreamIO* io, uint8_t* buffer, uint32_t size) {
    for (uint32_t got = 0; got < size;) {
        int n = io->read(io->user, buffer + got, size - got);
        if (n <= 0) return 0;
        got += (uint32_t)n;
    }
    return 1;
}

static int WritePieces(VKZ_StreamIO* io, const uint8_t* data, uint32_t size) {
    for (uint32_t at = 0; at < size; at += PIECE)
        if (!io->write(io->user, data + at, size - at < PIECE ? size - at : PIECE)) return 0;
    return 1;
}

int64_t VKZ_Codec::DecompressStream(VKZ_StreamIO* io, uint32_t sourceLength,
                                    uint32_t destinationLength) {
    uint8_t* source = (uint8_t*)malloc(sourceLength ? sourceLength : 1);
    uint8_t* out = source ? (uint8_t*)malloc(destinationLength ? destinationLength : 1) : nullptr;
    int n = -1;
    if (out && ReadAll(io, source, sourceLength))
        n = Decompress(source, sourceLength, out, destinationLength);
    free(source);
    if (n > 0 && !WritePieces(io, out, (uint32_t)n)) n = -1;
    free(out);
    return n;
}

// Length of a seekable stream, rewound to its start; -1 if it has none or it
// is too long for the 32-bit lengths the codecs take.
static long long StreamLength(FILE* stream) {
    if (fseeko(stream, 0, SEEK_END) != 0) return -1;
    off_t length = ftello(stream);
    if (length < 0 || fseeko(stream, 0, SEEK_SET) != 0) return -1;
    return length > 0x7FFFFFFF ? -1 : (long long)length;
}

int VKZ_Codec::CompressFile(FILE* input, void* output) {
    long long length = StreamLength(input);
    if (length < 0) return -1;
    uint8_t* data = (uint8_t*)malloc(length ? (size_t)length : 1);
    if (!data) return -1;
    int result = -1;
    if (fread(data, 1, (size_t)length, input) == (size_t)length)
        result = Compress(data, (uint32_t)length, output);
    free(data);
    return result;
}

int VKZ_Codec::CompressFileToFile(FILE* input, FILE* output) {
    long long length = StreamLength(input);
    if (length < 0) return -1;
    int bound = MaxCompressedSize((uint32_t)length);
    if (bound < 0) return -1;
    uint8_t* buffer = (uint8_t*)malloc((size_t)bound);
    if (!buffer) return -1;
    int result = CompressFile(input, buffer);
    if (result > 0 && fwrite(buffer, 1, (size_t)result, output) != (size_t)result) result = -1;
    free(buffer);
    return result;
}

int VKZ_CodecStored::Compress(const void* source, uint32_t length, void* destination) {
    if (length > 0x7FFFFFFF) return -1;
    if (length) memcpy(destination, source, length);
    return (int)length;
}

// Copies no more than the destination holds; data that does not fit is a
// failure rather than a silent truncation.
int VKZ_CodecStored::Decompress(const void* source, uint32_t sourceLength, void* destination,
                                uint32_t destinationLength) {
    uint32_t n = sourceLength < destinationLength ? sourceLength : destinationLength;
    if (n) memcpy(destination, source, n);
    if (sourceLength > destinationLength || sourceLength > 0x7FFFFFFF) return -1;
    return (int)sourceLength;
}

int64_t VKZ_CodecStored::DecompressStream(VKZ_StreamIO* io, uint32_t sourceLength,
                                          uint32_t destinationLength) {
    if (sourceLength > destinationLength) return -1;
    uint8_t piece[PIECE];
    for (uint32_t left = sourceLength; left;) {
        uint32_t n = left < PIECE ? left : PIECE;
        if (!ReadAll(io, piece, n) || !io->write(io->user, piece, n)) return -1;
        left -= n;
    }
    return sourceLength;
}

VKZ_Codec* VKZ_CreateCodec(int id) {
    switch (id) {
    case VKZ_CODEC_APLIB:
        return new (std::nothrow) VKZ_CodecAPLib;
    case VKZ_CODEC_UCL:
        return new (std::nothrow) VKZ_CodecUCL;
    case VKZ_CODEC_MD5:
        return new (std::nothrow) VKZ_MD5;
    case VKZ_CODEC_BZIP2:
        return new (std::nothrow) VKZ_CodecBzip2;
    case VKZ_CODEC_STORED:
        return new (std::nothrow) VKZ_CodecStored;
    default:
        return nullptr;
    }
}

static const struct {
    int id;
    const char* name;
} codecNames[] = {{VKZ_CODEC_APLIB, "aplib"},
                  {VKZ_CODEC_UCL, "ucl"},
                  {VKZ_CODEC_MD5, "md5"},
                  {VKZ_CODEC_BZIP2, "bzip2"},
                  {VKZ_CODEC_STORED, "stored"}};

int VKZ_CodecIdFromName(const char* name) {
    for (const auto& c : codecNames)
        if (strcmp(c.name, name) == 0) return c.id;
    return -1;
}

const char* VKZ_CodecName(int id) {
    for (const auto& c : codecNames)
        if (c.id == id) return c.name;
    return nullptr;
}
