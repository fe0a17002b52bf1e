#include "archive/md5.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <random>
#include <string>
#include <vector>

static std::string Hex(VKZ_MD5& md5) {
    char hex[33];
    md5.GetHexDigest(hex);
    return hex;
}

TEST(MD5, Rfc1321Suite) {
    const char* cases[][2] = {
        {"", "d41d8cd98f00b204e9800998ecf8427e"},
        {"a", "0cc175b9c0f1b6a831c399e269772661"},
        {"abc", "900150983cd24fb0d6963f7d28e17f72"},
        {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
        {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
        {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789",
         "d174ab98d277d9f5a5611c2c9f419d9f"},
        {"1234567890123456789012345678901234567890123456789012345678901234567890123456789"
         "0",
         "57edf4a22be3c955ac49da2e2107b67a"},
    };
    VKZ_MD5 md5;
    for (auto& c : cases) {
        uint8_t digest[16];
        for (int twice = 0; twice < 2; twice++) { // one object hashes buffer after buffer
            EXPECT_EQ(md5.CompressString(c[0], digest), 16);
            EXPECT_EQ(Hex(md5), c[1]) << '"' << c[0] << '"';
        }
    }
}

// Every split of a buffer across the 64-byte block and padding boundaries
// must give the reference digest.
TEST(MD5, IncrementalUpdatesMatchReference) {
    std::mt19937 rng(7);
    std::vector<uint8_t> data(1000);
    for (auto& b : data) b = (uint8_t)rng();
    for (uint32_t length : {0u, 1u, 55u, 56u, 57u, 63u, 64u, 65u, 119u, 120u, 128u, 1000u}) {
        uint8_t expected[16];
        unsigned int n = 0;
        EVP_Digest(data.data(), length, expected, &n, EVP_md5(), nullptr);
        for (uint32_t split : {0u, 1u, 13u, 63u, 64u}) {
            if (split > length) continue;
            VKZ_MD5 md5;
            md5.Init();
            md5.Update(data.data(), split);
            for (uint32_t i = split; i < length; i += 7)
                md5.Update(data.data() + i, length - i < 7 ? length - i : 7);
            md5.Final();
            uint8_t digest[16];
            md5.GetDigest(digest);
            EXPECT_EQ(memcmp(digest, expected, 16), 0) << length << " split " << split;
        }
    }
}

TEST(MD5, OutputsOnlyOnceFinished) {
    VKZ_MD5 md5;
    char hex[33];
    memset(hex, 'x', sizeof hex);
    uint8_t digest[16];
    memset(digest, 0xAA, sizeof digest);
    md5.GetHexDigest(hex);
    md5.GetDigest(digest);
    EXPECT_EQ(hex[0], 'x');
    EXPECT_EQ(hex[32], 'x');
    EXPECT_EQ(digest[0], 0xAA);

    md5.Update("abc", 3);
    md5.Final();
    md5.Update("more", 4); // ignored once finished
    md5.Final();
    EXPECT_EQ(Hex(md5), "900150983cd24fb0d6963f7d28e17f72");
}

TEST(MD5, IsACodecThatCannotDecompress) {
    VKZ_MD5 md5;
    uint8_t out[4] = {1, 2, 3, 4};
    EXPECT_EQ(md5.Decompress("abc", 3, out, 4), -1);
    EXPECT_EQ(out[0], 1);
}
