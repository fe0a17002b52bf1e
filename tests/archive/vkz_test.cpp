#include "archive/codec.h"
#include "archive/md5.h"
#include "archive/vkz.h"
#include "archive/vkz_write.h"

#include "support/scratch.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

using Bytes = std::vector<uint8_t>;

static ScratchDir scratch("vkz");

static std::string TempPath(const char* name) {
    return scratch / name;
}

static void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++) b[at + i] = (uint8_t)(v >> (8 * i));
}

// Raw archive builder: records exactly as given, for damaged layouts.
struct RawEntry {
    std::string name;
    Bytes stored;
    uint32_t size;
    uint32_t codec;
    Bytes content; // what the data digest is taken of
};
static Bytes RawArchive(const std::vector<RawEntry>& entries, uint32_t count) {
    Bytes b = {'V', 'K', 'Z', 0, 1, 0, 0, 0, 0, 0};
    Put32(b, 6, count);
    for (const RawEntry& e : entries) {
        size_t at = b.size();
        b.resize(at + 48);
        VKZ_MD5 md5;
        md5.CompressString(e.name.c_str(), &b[at]);
        md5.Compress(e.content.data(), (uint32_t)e.content.size(), &b[at + 16]);
        Put32(b, at + 32, (uint32_t)b.size());
        Put32(b, at + 36, e.size);
        Put32(b, at + 40, (uint32_t)e.stored.size());
        Put32(b, at + 44, e.codec);
        b.insert(b.end(), e.stored.begin(), e.stored.end());
    }
    return b;
}

static Bytes Text(size_t n, int seed) {
    Bytes t(n);
    for (size_t i = 0; i < n; i++) t[i] = (uint8_t)("0 1000 intro\n"[(i + seed) % 13] + i / 999);
    return t;
}

static std::string BuildArchive(const char* file, int codec, const std::vector<Bytes>& data) {
    std::string path = TempPath(file);
    VKZ_Writer* w = VKZ_WriterOpen(path.c_str());
    EXPECT_NE(w, nullptr);
    for (size_t i = 0; i < data.size(); i++) {
        std::string name = "entry" + std::to_string(i) + ".bin";
        EXPECT_GE(VKZ_WriterAdd(w, name.c_str(), data[i].data(), (uint32_t)data[i].size(), codec),
                  0);
    }
    EXPECT_TRUE(VKZ_WriterFinish(w).ok);
    return path;
}

static bool ReadsBack(VKZ_Archive* a, const char* name, const Bytes& expected) {
    std::string lookup = name;
    VKZ_EntryRecord* e = VKZ_FindEntry(a, lookup.data());
    if (!e || e->size != expected.size()) return false;
    Bytes out(e->size + 1);
    if (VKZ_ReadEntry(a, e, out.data()) != 1) return false;
    out.resize(e->size);
    return out == expected;
}

TEST(Vkz, EveryCodecRoundTrips) {
    std::vector<Bytes> data = {Text(5000, 0), Text(1, 3), {}, Text(70000, 5)};
    for (int codec : {VKZ_CODEC_APLIB, VKZ_CODEC_UCL, VKZ_CODEC_BZIP2, VKZ_CODEC_STORED}) {
        std::string path = BuildArchive("all.vkz", codec, data);
        VKZ_Archive* a = VKZ_Open(path.c_str());
        ASSERT_NE(a, nullptr) << codec;
        ASSERT_EQ(a->entryCount, 4u);
        EXPECT_EQ(a->version, 1);
        // Reads in any order.
        for (int i : {3, 0, 2, 1}) {
            std::string name = "entry" + std::to_string(i) + ".bin";
            EXPECT_TRUE(ReadsBack(a, name.c_str(), data[i])) << codec << " " << name;
        }
        // aPLib refuses the 1- and 0-byte entries; they are stored instead.
        if (codec == VKZ_CODEC_APLIB) {
            EXPECT_EQ(a->entries[1].codecId, (uint32_t)VKZ_CODEC_STORED);
            EXPECT_EQ(a->entries[2].codecId, (uint32_t)VKZ_CODEC_STORED);
        }
        VKZ_Close(a);
        remove(path.c_str());
    }
}

TEST(Vkz, LookupIgnoresCaseAndLowersTheCallersName) {
    Bytes timetable = Text(300, 1);
    std::string path = TempPath("case.vkz");
    VKZ_Writer* w = VKZ_WriterOpen(path.c_str());
    ASSERT_GE(VKZ_WriterAdd(w, "default.tmg", timetable.data(), 300, VKZ_CODEC_APLIB), 0);
    ASSERT_TRUE(VKZ_WriterFinish(w).ok);
    VKZ_Archive* a = VKZ_Open(path.c_str());
    ASSERT_NE(a, nullptr);
    char name[] = "Default.TMG";
    VKZ_EntryRecord* e = VKZ_FindEntry(a, name);
    EXPECT_STREQ(name, "default.tmg");
    EXPECT_EQ(e, &a->entries[0]);
    EXPECT_TRUE(ReadsBack(a, "DEFAULT.TMG", timetable));
    EXPECT_FALSE(ReadsBack(a, "default.tmg ", timetable));
    VKZ_Close(a);
    VKZ_Close(nullptr);
    char other[] = "x";
    EXPECT_EQ(VKZ_FindEntry(nullptr, other), nullptr);
    remove(path.c_str());
}

TEST(Vkz, HeaderChecks) {
    std::string path = TempPath("header.vkz");
    Bytes empty = RawArchive({}, 0);
    WriteBytes(path, empty);
    VKZ_Archive* a = VKZ_Open(path.c_str());
    ASSERT_NE(a, nullptr); // no entries is a valid archive
    char name[] = "default.tmg";
    EXPECT_EQ(VKZ_FindEntry(a, name), nullptr);
    VKZ_Close(a);

    Bytes bad = empty;
    bad[3] = '!'; // "VKZ!" is not "VKZ" and its terminator
    WriteBytes(path, bad);
    EXPECT_EQ(VKZ_Open(path.c_str()), nullptr);
    bad = empty;
    bad[4] = 2; // version 2
    WriteBytes(path, bad);
    EXPECT_EQ(VKZ_Open(path.c_str()), nullptr);
    WriteBytes(path, Bytes(empty.begin(), empty.begin() + 9)); // short header
    EXPECT_EQ(VKZ_Open(path.c_str()), nullptr);
    EXPECT_EQ(VKZ_Open(TempPath("missing.vkz").c_str()), nullptr);
    remove(path.c_str());
}

// Counts and sizes that cannot fit the file are refused before anything is
// allocated from them.
TEST(Vkz, TablesThatDoNotFitTheFileAreRefused) {
    std::string path = TempPath("fit.vkz");
    Bytes content = Text(100, 2);
    Bytes good = RawArchive({{"a", content, 100, VKZ_CODEC_STORED, content}}, 1);
    WriteBytes(path, good);
    VKZ_Archive* a = VKZ_Open(path.c_str());
    ASSERT_NE(a, nullptr);
    VKZ_Close(a);

    Bytes b = good;
    Put32(b, 6, 0xFFFFFFFF); // entry count
    WriteBytes(path, b);
    EXPECT_EQ(VKZ_Open(path.c_str()), nullptr);
    b = good;
    Put32(b, 6, 2); // a second record that is not there
    WriteBytes(path, b);
    EXPECT_EQ(VKZ_Open(path.c_str()), nullptr);
    b = good;
    Put32(b, 10 + 40, 101); // stored data running past the end
    WriteBytes(path, b);
    EXPECT_EQ(VKZ_Open(path.c_str()), nullptr);
    b = good;
    Put32(b, 10 + 36, 0xF0000000); // an absurd uncompressed size
    WriteBytes(path, b);
    EXPECT_EQ(VKZ_Open(path.c_str()), nullptr);
    WriteBytes(path, Bytes(good.begin(), good.end() - 1)); // truncated data
    EXPECT_EQ(VKZ_Open(path.c_str()), nullptr);
    remove(path.c_str());
}

TEST(Vkz, DuplicateDigestsFindTheFirstRecord) {
    std::string path = TempPath("dup.vkz");
    Bytes one = Text(50, 1), two = Text(60, 2);
    WriteBytes(path, RawArchive({{"same", one, 50, VKZ_CODEC_STORED, one},
                                 {"same", two, 60, VKZ_CODEC_STORED, two}},
                                2));
    VKZ_Archive* a = VKZ_Open(path.c_str());
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(ReadsBack(a, "same", one));
    EXPECT_TRUE(ReadsBack(a, "SAME", one));
    VKZ_Close(a);
    remove(path.c_str());

    VKZ_Writer* w = VKZ_WriterOpen(path.c_str());
    ASSERT_GE(VKZ_WriterAdd(w, "Same.txt", one.data(), 50, VKZ_CODEC_APLIB), 0);
    EXPECT_EQ(VKZ_WriterAdd(w, "same.TXT", two.data(), 60, VKZ_CODEC_APLIB), -1);
    VKZ_WriterAbort(w);
    // Neither the archive nor a temporary file beside it is left.
    for (const auto& entry : std::filesystem::directory_iterator(scratch.Path()))
        EXPECT_EQ(entry.path().filename().string().find("dup.vkz"), std::string::npos)
            << entry.path();
}

TEST(Vkz, ForeignDataOffsetIsReadFromThere) {
    // The second record points at the first one's data, which holds the same
    // content; its own data is different and is skipped when the table is read.
    std::string path = TempPath("foreign.vkz");
    Bytes content = Text(80, 4), junk(80, 0x55);
    Bytes b = RawArchive({{"first", content, 80, VKZ_CODEC_STORED, content},
                          {"second", junk, 80, VKZ_CODEC_STORED, content}},
                         2);
    Put32(b, 10 + 48 + 80 + 32, 10 + 48);
    WriteBytes(path, b);
    VKZ_Archive* a = VKZ_Open(path.c_str());
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(ReadsBack(a, "second", content));
    // An offset beyond the file is a failed read, not a read out of bounds.
    a->entries[1].dataOffset = 0xFFFFFF00;
    EXPECT_FALSE(ReadsBack(a, "second", content));
    VKZ_Close(a);
    remove(path.c_str());
}

// One corrupted byte of stored data fails the read. A packed stream can
// change into another encoding of the same bytes (say a different back
// offset to an equal byte); such a read is fine as long as it is right.
TEST(Vkz, DamagedEntriesFailToRead) {
    Bytes content = Text(3000, 6);
    for (int codec : {VKZ_CODEC_APLIB, VKZ_CODEC_UCL, VKZ_CODEC_BZIP2, VKZ_CODEC_STORED}) {
        std::string path = BuildArchive("damaged.vkz", codec, {content});
        Bytes good = ReadBytes(path);
        size_t step = (good.size() - 58) / 80 + 1, tried = 0, failed = 0;
        for (size_t at = 10 + 48; at < good.size(); at += step) {
            Bytes bad = good;
            bad[at] ^= 0x24;
            WriteBytes(path, bad);
            VKZ_Archive* a = VKZ_Open(path.c_str());
            ASSERT_NE(a, nullptr);
            Bytes out(content.size());
            int ok = VKZ_ReadEntry(a, &a->entries[0], out.data());
            if (ok) {
                EXPECT_TRUE(out == content) << codec << " at " << at;
            }
            tried++;
            failed += !ok;
            VKZ_Close(a);
        }
        if (codec == VKZ_CODEC_STORED || codec == VKZ_CODEC_BZIP2) {
            EXPECT_EQ(failed, tried);
        } else {
            EXPECT_GE(failed * 10, tried * 9) << codec;
        }
        remove(path.c_str());
    }
}

// Codec ids without a decoder never read successfully, even when the record's
// content digest is the all-zero "nothing decoded" value.
TEST(Vkz, UnknownCodecsAndTheDigestNeverRead) {
    std::string path = TempPath("codec.vkz");
    Bytes content = Text(16, 7);
    for (uint32_t codec : {2u, 7u, 254u}) {
        Bytes b = RawArchive({{"x", content, 16, codec, content}}, 1);
        memset(&b[10 + 16], 0, 16);
        WriteBytes(path, b);
        VKZ_Archive* a = VKZ_Open(path.c_str());
        ASSERT_NE(a, nullptr);
        Bytes out(16, 0xEE);
        EXPECT_EQ(VKZ_ReadEntry(a, &a->entries[0], out.data()), 0);
        EXPECT_EQ(out[0], 0xEE); // untouched
        VKZ_Close(a);
    }
    // A stored entry whose data is shorter than its size fails as well.
    Bytes b = RawArchive({{"x", content, 20, VKZ_CODEC_STORED, content}}, 1);
    WriteBytes(path, b);
    VKZ_Archive* a = VKZ_Open(path.c_str());
    ASSERT_NE(a, nullptr);
    Bytes out(20);
    EXPECT_EQ(VKZ_ReadEntry(a, &a->entries[0], out.data()), 0);
    VKZ_Close(a);
    remove(path.c_str());
}
