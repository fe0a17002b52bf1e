// VKZ_MD5: the RFC 1321 digest as a member of the codec family (id 2). Its
// "compression" is hashing; it cannot decompress.
#pragma once
#include "archive/codec.h"

class VKZ_MD5 : public VKZ_Codec {
  public:
    VKZ_MD5();
    int Compress(const void* source, uint32_t length, void* destination) override;
    int Decompress(const void* source, uint32_t sourceLength, void* destination,
                   uint32_t destinationLength) override;
    int MaxCompressedSize(uint32_t length) override;
    int GetId() override { return VKZ_CODEC_MD5; }
    // Both write only once a digest has been finished.
    virtual void GetDigest(uint8_t* out16);
    virtual void GetHexDigest(char* out33);

    void Init();
    void Update(const void* data, uint32_t length);
    void Final();

  private:
    uint32_t state[4];
    uint32_t bitCount[2]; // low, high
    uint8_t buffer[64];
    uint8_t digest[16];
    uint8_t finalized;
};
