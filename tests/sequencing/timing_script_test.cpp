// Parsing and loading the timetable, from memory and from a real archive.
#include "archive/vkz.h"
#include "archive/vkz_write.h"
#include "archive/codec.h"
#include "sequencing/timing_script.h"
#include "core/globals.h"
#include "sequencing/timing_text.h"
#include "support/scratch.h"
#include "tmg_bytes.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

TEST(ParseTimingScript, EntriesAreCopiedByteForByte) {
    std::vector<uint8_t> bytes = TmgBytes({{0, 1000, "preload"}, {1000, 0, "Scene1"}});
    // Bytes after a name's terminator are kept as they are, just never compared.
    bytes[8 + 72 + 8 + 10] = 'x';
    TimingTable table = {};
    ASSERT_TRUE(ParseTimingScript(bytes.data(), (uint32_t)bytes.size(), &table).ok);
    ASSERT_EQ(table.header.count, 2u);
    EXPECT_EQ(memcmp(table.header.magic, "TMG", 4), 0);
    EXPECT_EQ(memcmp(table.entries, bytes.data() + 8, 144), 0);
    EXPECT_STREQ(table.entries[1].name, "Scene1");
    EXPECT_EQ(table.entries[0].length, 1000u);
    FreeTimingTable(&table);
    EXPECT_EQ(table.entries, nullptr);
}

TEST(ParseTimingScript, HeaderAndSizeRules) {
    TimingTable table = {};
    // Count 0 is an empty, loaded table.
    std::vector<uint8_t> empty = TmgBytes({});
    ASSERT_TRUE(ParseTimingScript(empty.data(), 8, &table).ok);
    EXPECT_EQ(table.header.count, 0u);
    ASSERT_NE(table.entries, nullptr);

    std::vector<uint8_t> two = TmgBytes({{0, 10, "a"}, {10, 10, "b"}});
    // The fourth magic byte must be zero.
    std::vector<uint8_t> bad = two;
    bad[3] = 'X';
    EXPECT_FALSE(ParseTimingScript(bad.data(), (uint32_t)bad.size(), &table).ok);
    bad = two;
    bad[0] = 't';
    EXPECT_FALSE(ParseTimingScript(bad.data(), (uint32_t)bad.size(), &table).ok);
    // One byte short of the entry area.
    EXPECT_FALSE(ParseTimingScript(two.data(), (uint32_t)two.size() - 1, &table).ok);
    // Shorter than the header itself.
    EXPECT_FALSE(ParseTimingScript(two.data(), 7, &table).ok);
    EXPECT_FALSE(ParseTimingScript(two.data(), 0, &table).ok);
    // A failed parse leaves the loaded table alone.
    EXPECT_EQ(table.header.count, 0u);

    // Trailing bytes are ignored.
    std::vector<uint8_t> longer = two;
    longer.insert(longer.end(), {1, 2, 3, 4, 5});
    ASSERT_TRUE(ParseTimingScript(longer.data(), (uint32_t)longer.size(), &table).ok);
    EXPECT_EQ(table.header.count, 2u);
    EXPECT_STREQ(table.entries[1].name, "b");
    FreeTimingTable(&table);
}

// A count whose 72-fold product wraps at 32 bits (to 32 bytes here) must not
// pass for a short table: the dispatcher would walk far past the array.
TEST(ParseTimingScript, CountsBeyondTheDataAreRejected) {
    std::vector<uint8_t> bytes = TmgBytes({});
    bytes.resize(8 + 32, 0);
    uint32_t wrapping = 0x038E38E4u; // * 72 = 0x1'0000'0020
    memcpy(&bytes[4], &wrapping, 4);
    TimingTable table = {};
    EXPECT_FALSE(ParseTimingScript(bytes.data(), (uint32_t)bytes.size(), &table).ok);
    uint32_t huge = 0xFFFFFFFFu;
    memcpy(&bytes[4], &huge, 4);
    EXPECT_FALSE(ParseTimingScript(bytes.data(), (uint32_t)bytes.size(), &table).ok);
    EXPECT_EQ(table.entries, nullptr);
}

// The dispatcher walks every entry every frame: a table holds at most the
// stated number, and text of more does not compile.
TEST(ParseTimingScript, AtMostTheStatedNumberOfEntries) {
    std::vector<uint8_t> bytes = TmgBytes({});
    bytes.resize(8 + 72 * (TIMING_MAX_ENTRIES + 1), 0);
    uint32_t count = TIMING_MAX_ENTRIES + 1;
    memcpy(&bytes[4], &count, 4);
    TimingTable table = {};
    EXPECT_FALSE(ParseTimingScript(bytes.data(), (uint32_t)bytes.size(), &table).ok);
    count--;
    memcpy(&bytes[4], &count, 4);
    EXPECT_TRUE(ParseTimingScript(bytes.data(), (uint32_t)bytes.size(), &table).ok);
    FreeTimingTable(&table);
    std::string text;
    for (int i = 0; i <= TIMING_MAX_ENTRIES; i++) text += std::to_string(i) + " 1 scene1\n";
    ZK_Status compiled = CompileTimingText(text, &bytes);
    EXPECT_FALSE(compiled.ok);
    EXPECT_EQ(compiled.problem, "line 65537: more than the 65536 entries a timetable holds");
}

TEST(TimingEntryActive, BothEndsIncludedAndTheSumWraps) {
    TimingEntry instant = {1000, 0, "x"};
    EXPECT_FALSE(TimingEntryActive(instant, 999));
    EXPECT_TRUE(TimingEntryActive(instant, 1000));
    EXPECT_FALSE(TimingEntryActive(instant, 1001));
    TimingEntry span = {0, 500, "x"};
    EXPECT_TRUE(TimingEntryActive(span, 0));
    EXPECT_TRUE(TimingEntryActive(span, 500));
    EXPECT_FALSE(TimingEntryActive(span, 501));
    // start + length wraps to 2999, below start: never active.
    TimingEntry wrapped = {3000, 0xFFFFFFFFu, "x"};
    EXPECT_FALSE(TimingEntryActive(wrapped, 3000));
    EXPECT_FALSE(TimingEntryActive(wrapped, 0xFFFFFFFFu));
    TimingEntry toTheEnd = {3000, 0xFFFFFFFFu - 3000, "x"};
    EXPECT_TRUE(TimingEntryActive(toTheEnd, 0xFFFFFFFFu));
}

class LoadTimingScriptTest : public ::testing::Test {
  protected:
    void TearDown() override {
        VKZ_Close(g_archive);
        g_archive = nullptr;
        FreeTimingTable(&timingTable);
    }
    ScratchDir scratch{"load"};
    std::string dir = scratch.Path();
};

TEST_F(LoadTimingScriptTest, ReadsTheEntryThroughItsCodec) {
    std::vector<uint8_t> script = TmgBytes({{0, 100, "preload"}, {100, 50, "ende"}});
    std::string path = dir + "/data.vkz";
    // The lookup lower-cases names, so the entry's capitals do not matter.
    ASSERT_TRUE(
        WriteArchive(path, {{"readme.txt", {'h', 'i'}}, {"Default.TMG", script}}, VKZ_CODEC_APLIB));
    g_archive = VKZ_Open(path.c_str());
    ASSERT_NE(g_archive, nullptr);
    ASSERT_EQ(LoadTimingScript(), 1);
    ASSERT_EQ(timingTable.header.count, 2u);
    EXPECT_STREQ(timingTable.entries[1].name, "ende");
    EXPECT_EQ(timingTable.entries[1].start, 100u);
}

TEST_F(LoadTimingScriptTest, MissingEntryBadDigestOrBadScriptFails) {
    EXPECT_EQ(LoadTimingScript(), 0); // no archive at all
    std::string path = dir + "/data.vkz";
    auto load = [&](const std::vector<std::pair<std::string, std::vector<uint8_t>>>& files,
                    int flipFromEnd) {
        VKZ_Close(g_archive);
        EXPECT_TRUE(WriteArchive(path, files, VKZ_CODEC_STORED));
        if (flipFromEnd) {
            FILE* f = fopen(path.c_str(), "r+b");
            fseek(f, -flipFromEnd, SEEK_END);
            int c = fgetc(f);
            fseek(f, -flipFromEnd, SEEK_END);
            fputc(c ^ 0x40, f);
            fclose(f);
        }
        g_archive = VKZ_Open(path.c_str());
        EXPECT_NE(g_archive, nullptr);
        return LoadTimingScript();
    };
    std::vector<uint8_t> script = TmgBytes({{0, 100, "ende"}});
    EXPECT_EQ(load({{"other.tmg", script}}, 0), 0);
    EXPECT_EQ(load({{"default.tmg", script}}, 5), 0); // digest check fails
    script.pop_back();
    EXPECT_EQ(load({{"default.tmg", script}}, 0), 0); // one byte short
    EXPECT_EQ(timingTable.entries, nullptr);
}
