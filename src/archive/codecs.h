// The packing members of the codec family. Decompress never writes past
// destinationLength and returns -1 when the data is damaged or does not fit.
#pragma once
#include "archive/codec.h"

class VKZ_CodecAPLib : public VKZ_Codec {
  public:
    int Compress(const void* source, uint32_t length, void* destination) override;
    int Decompress(const void* source, uint32_t sourceLength, void* destination,
                   uint32_t destinationLength) override;
    int GetId() override { return VKZ_CODEC_APLIB; }
};

class VKZ_CodecUCL : public VKZ_Codec {
  public:
    int Compress(const void* source, uint32_t length, void* destination) override;
    int Decompress(const void* source, uint32_t sourceLength, void* destination,
                   uint32_t destinationLength) override;
    int GetId() override { return VKZ_CODEC_UCL; }
};

class VKZ_CodecBzip2 : public VKZ_Codec {
  public:
    int Compress(const void* source, uint32_t length, void* destination) override;
    int Decompress(const void* source, uint32_t sourceLength, void* destination,
                   uint32_t destinationLength) override;
    int64_t DecompressStream(VKZ_StreamIO* io, uint32_t sourceLength,
                             uint32_t destinationLength) override;
    int GetId() override { return VKZ_CODEC_BZIP2; }
};

class VKZ_CodecStored : public VKZ_Codec {
  public:
    int Compress(const void* source, uint32_t length, void* destination) override;
    int Decompress(const void* source, uint32_t sourceLength, void* destination,
                   uint32_t destinationLength) override;
    int64_t DecompressStream(VKZ_StreamIO* io, uint32_t sourceLength,
                             uint32_t destinationLength) override;
    int GetId() override { return VKZ_CODEC_STORED; }
};
