#include "archive/codec.h"

#include <gtest/gtest.h>

#include <memory>
#include <random>
#include <vector>

using Bytes = std::vector<uint8_t>;
static const int packing[] = {VKZ_CODEC_APLIB, VKZ_CODEC_UCL, VKZ_CODEC_BZIP2, VKZ_CODEC_STORED};

static std::unique_ptr<VKZ_Codec> Make(int id) {
    return std::unique_ptr<VKZ_Codec>(VKZ_CreateCodec(id));
}

static Bytes Compress(VKZ_Codec* codec, const Bytes& in) {
    Bytes out((size_t)codec->MaxCompressedSize((uint32_t)in.size()));
    int n = codec->Compress(in.data(), (uint32_t)in.size(), out.data());
    EXPECT_GE(n, 0);
    out.resize(n < 0 ? 0 : (size_t)n);
    return out;
}

TEST(Codecs, FactoryAndBounds) {
    for (int id : {0, 1, 2, 3, 255}) {
        auto codec = Make(id);
        ASSERT_NE(codec, nullptr);
        EXPECT_EQ(codec->GetId(), id);
    }
    for (int id : {-1, 4, 254, 256}) EXPECT_EQ(Make(id), nullptr);
    for (int id : packing) {
        EXPECT_EQ(Make(id)->MaxCompressedSize(0), 256);
        EXPECT_EQ(Make(id)->MaxCompressedSize(1000), 1381);
    }
    EXPECT_EQ(Make(VKZ_CODEC_MD5)->MaxCompressedSize(0), 16);
    EXPECT_EQ(Make(VKZ_CODEC_MD5)->MaxCompressedSize(1000), 16);
    EXPECT_EQ(VKZ_CodecIdFromName("bzip2"), 3);
    EXPECT_STREQ(VKZ_CodecName(255), "stored");
}

TEST(Codecs, RoundTripVariedData) {
    std::mt19937 rng(3);
    std::vector<Bytes> samples = {{}, {7}, {1, 2}, Bytes(100000, 0)};
    Bytes noise(50000), text, binary(30000);
    for (auto& b : noise) b = (uint8_t)rng();
    while (text.size() < 60000)
        for (const char* w : {"timing ", "script ", "scene ", "texture ", "\n"})
            if (rng() % 3) text.insert(text.end(), w, w + strlen(w));
    for (size_t i = 0; i < binary.size(); i++)
        binary[i] = (uint8_t)(i % 16 < 4 ? i >> 7 : rng() % 4);
    samples.insert(samples.end(), {noise, text, binary});

    for (int id : packing)
        for (const Bytes& in : samples) {
            if (id == VKZ_CODEC_APLIB && in.size() < 2) continue;
            auto codec = Make(id);
            Bytes packed = Compress(codec.get(), in);
            ASSERT_LE(packed.size(), (size_t)codec->MaxCompressedSize((uint32_t)in.size()));
            Bytes back(in.size() + 1);
            int n = codec->Decompress(packed.data(), (uint32_t)packed.size(), back.data(),
                                      (uint32_t)in.size());
            ASSERT_EQ(n, (int)in.size()) << "codec " << id << " size " << in.size();
            back.resize(in.size());
            EXPECT_TRUE(back == in) << "codec " << id << " size " << in.size();
            if (in.size() == 100000 && id != VKZ_CODEC_STORED) {
                EXPECT_LT(packed.size(), 1000u);
            }
        }
}

TEST(Codecs, APLibRefusesOneByte) {
    auto codec = Make(VKZ_CODEC_APLIB);
    uint8_t in = 5, out[300];
    EXPECT_EQ(codec->Compress(&in, 1, out), 0);
}

TEST(Codecs, StoredCopiesNoMoreThanTheDestinationHolds) {
    auto codec = Make(VKZ_CODEC_STORED);
    uint8_t src[20], dst[24];
    for (int i = 0; i < 20; i++) src[i] = (uint8_t)(i + 1);
    memset(dst, 0xEE, sizeof dst);
    EXPECT_EQ(codec->Decompress(src, 10, dst, 20), 10);
    EXPECT_EQ(dst[9], 10);
    EXPECT_EQ(dst[10], 0xEE);
    memset(dst, 0xEE, sizeof dst);
    EXPECT_EQ(codec->Decompress(src, 20, dst, 10), -1); // would not fit
    EXPECT_EQ(dst[9], 10);
    EXPECT_EQ(dst[10], 0xEE);
}

// Damage of every kind fails cleanly (-1) and never writes past the
// destination; the guard bytes after it must survive.
TEST(Codecs, DamagedStreamsFail) {
    Bytes text;
    for (int i = 0; i < 4000; i++) text.push_back((uint8_t)("archive entry "[i % 14] + i / 1000));
    for (int id : {VKZ_CODEC_APLIB, VKZ_CODEC_UCL, VKZ_CODEC_BZIP2}) {
        auto codec = Make(id);
        Bytes packed = Compress(codec.get(), text);
        Bytes out(text.size() + 64);
        auto decode = [&](const Bytes& in, uint32_t capacity) {
            std::fill(out.begin(), out.end(), 0xEE);
            int n = codec->Decompress(in.data(), (uint32_t)in.size(), out.data(), capacity);
            for (size_t i = capacity; i < out.size(); i++) EXPECT_EQ(out[i], 0xEE) << id;
            return n;
        };
        EXPECT_EQ(decode(packed, (uint32_t)text.size()), (int)text.size());
        EXPECT_EQ(decode(packed, (uint32_t)text.size() - 1), -1) << id; // too small
        Bytes cut(packed.begin(), packed.begin() + packed.size() / 2);
        EXPECT_EQ(decode(cut, (uint32_t)text.size()), -1) << id;
        EXPECT_EQ(decode(Bytes(), (uint32_t)text.size()), -1) << id;
        // Single flipped bits: a failure or a wrong result, never an overrun
        // (bzip2's block CRC catches all of these).
        for (size_t at = 0; at < packed.size(); at += 7) {
            Bytes bad = packed;
            bad[at] ^= 0x10;
            int n = decode(bad, (uint32_t)text.size());
            if (id == VKZ_CODEC_BZIP2) {
                EXPECT_EQ(n, -1) << at;
            }
        }
    }
}

TEST(Codecs, CompressFileWritesWhatCompressReturns) {
    Bytes data(5000);
    for (size_t i = 0; i < data.size(); i++) data[i] = (uint8_t)(i * i >> 5);
    for (int id : packing) {
        auto codec = Make(id);
        FILE* in = tmpfile();
        FILE* out = tmpfile();
        ASSERT_TRUE(in && out);
        fwrite(data.data(), 1, data.size(), in);
        int n = codec->CompressFileToFile(in, out);
        Bytes expected = Compress(codec.get(), data);
        ASSERT_EQ(n, (int)expected.size());
        Bytes written(expected.size() + 1);
        rewind(out);
        EXPECT_EQ(fread(written.data(), 1, written.size(), out), expected.size());
        written.resize(expected.size());
        EXPECT_TRUE(written == expected);
        fclose(in);
        fclose(out);
    }
    // A refused aPLib source writes nothing.
    FILE* in = tmpfile();
    FILE* out = tmpfile();
    fputc('x', in);
    EXPECT_EQ(Make(VKZ_CODEC_APLIB)->CompressFileToFile(in, out), 0);
    EXPECT_EQ(ftell(out), 0);
    fclose(in);
    fclose(out);
}
