// The codec family: every archive entry names the codec that packed it.
// VKZ_CreateCodec makes one from its id; destroy it with delete.
#pragma once
#include <cstdint>
#include <cstdio>

enum {
    VKZ_CODEC_APLIB = 0,
    VKZ_CODEC_UCL = 1,
    VKZ_CODEC_MD5 = 2,
    VKZ_CODEC_BZIP2 = 3,
    VKZ_CODEC_STORED = 255,
};

// Unpacking in pieces, for tools that must not hold a whole entry: `read`
// fills up to `size` bytes (the count, 0 at the end, -1 on an error) and
// `write` takes each piece of output (0 stops the unpacking).
struct VKZ_StreamIO {
    int (*read)(void* user, uint8_t* buffer, uint32_t size);
    int (*write)(void* user, const uint8_t* data, uint32_t size);
    void* user;
};

// Results are byte counts; -1 is a failure. The aPLib packer's 0 is a refusal
// (source under 2 bytes), never an empty success.
class VKZ_Codec {
  public:
    virtual ~VKZ_Codec() {}
    virtual int CompressString(const char* text, void* output);
    virtual int CompressFileToFile(FILE* input, FILE* output);
    virtual int CompressFile(FILE* input, void* output);
    virtual int Compress(const void* source, uint32_t length, void* destination) = 0;
    virtual int Decompress(const void* source, uint32_t sourceLength, void* destination,
                           uint32_t destinationLength) = 0;
    // Decompress, reading `sourceLength` bytes and writing pieces through
    // `io`: the bytes written, or -1 as Decompress. bzip2 and stored hold a
    // piece at a time; aPLib and UCL references reach back to any byte
    // written, so they unpack whole first.
    virtual int64_t DecompressStream(VKZ_StreamIO* io, uint32_t sourceLength,
                                     uint32_t destinationLength);
    // n + n/8 + 256; inputs too large for that to fit an int give -1.
    virtual int MaxCompressedSize(uint32_t length);
    virtual int GetId() = 0;
};

VKZ_Codec* VKZ_CreateCodec(int id);

// Name <-> id for tools: "aplib", "ucl", "md5", "bzip2", "stored". -1 if unknown.
int VKZ_CodecIdFromName(const char* name);
const char* VKZ_CodecName(int id);
