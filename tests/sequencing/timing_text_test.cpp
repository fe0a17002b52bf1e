// The timetable's text form: compile, dump, and back to the same bytes.
#include "sequencing/timing_text.h"
#include "tmg_bytes.h"

#include <gtest/gtest.h>

static std::vector<uint8_t> Compile(const std::string& text) {
    std::vector<uint8_t> out;
    ZK_Status compiled = CompileTimingText(text, &out);
    EXPECT_TRUE(compiled.ok) << compiled.problem;
    return out;
}

static std::string CompileError(const std::string& text) {
    std::vector<uint8_t> out;
    ZK_Status compiled = CompileTimingText(text, &out);
    EXPECT_FALSE(compiled.ok) << text;
    return compiled.problem;
}

static std::string Dump(const std::vector<uint8_t>& bytes) {
    TimingTable table = {};
    EXPECT_TRUE(ParseTimingScript(bytes.data(), (uint32_t)bytes.size(), &table).ok);
    uint32_t used = 8 + 72 * table.header.count;
    std::string text = FormatTimingText(table, (uint32_t)bytes.size() - used);
    FreeTimingTable(&table);
    return text;
}

TEST(TimingText, CompilesLinesCommentsAndQuotedNames) {
    std::string text = "# the show\r\n"
                       "0 1000 preload\n"
                       "\n"
                       "  1000\t0   Scene1   # an instant\n"
                       "2000 500 \"credits end\"\n"
                       "3000 7 \"q\\\"\\\\\\x01\\xfF\"\n"
                       "4294967295 4294967295 ende"; // no final newline
    std::vector<uint8_t> expect = TmgBytes({{0, 1000, "preload"},
                                            {1000, 0, "Scene1"},
                                            {2000, 500, "credits end"},
                                            {3000, 7, "q\"\\\x01\xff"},
                                            {0xFFFFFFFFu, 0xFFFFFFFFu, "ende"}});
    EXPECT_EQ(Compile(text), expect);
    EXPECT_EQ(Compile(""), TmgBytes({}));
    EXPECT_EQ(Compile("# nothing\n\n"), TmgBytes({}));
    EXPECT_EQ(Compile("5 6 \"\""), TmgBytes({{5, 6, ""}}));
    std::string name63(63, 'n');
    std::vector<uint8_t> full = Compile("1 2 " + name63);
    EXPECT_EQ(memcmp(&full[16], name63.data(), 63), 0);
    EXPECT_EQ(full[16 + 63], 0); // the field keeps its terminator
}

TEST(TimingText, ErrorsNameTheLineAndTheReason) {
    EXPECT_EQ(CompileError("0 10 a\n\n10 x b\n"), "line 3: expected a decimal number, not 'x'");
    EXPECT_EQ(CompileError("1:00 10 a"), "line 1: expected a decimal number, not '1:00'");
    EXPECT_EQ(CompileError("4294967296 1 a"),
              "line 1: '4294967296': number larger than 4294967295");
    EXPECT_EQ(CompileError("10 20 # no name"), "line 1: missing scene name");
    EXPECT_EQ(CompileError("10 20 a b"), "line 1: unexpected text 'b' after the scene name");
    EXPECT_EQ(CompileError("10 20 " + std::string(64, 'n')),
              "line 1: scene name longer than 63 bytes");
    EXPECT_EQ(CompileError("10 20 \"" + std::string(60, 'n') + "\\x01\\x02\\x03\\x04\""),
              "line 1: scene name longer than 63 bytes");
    EXPECT_EQ(CompileError("1 2 \"a\\x00\""), "line 1: a name cannot hold a zero byte");
}

TEST(TimingText, DumpCompilesBackToTheSameBytes) {
    std::vector<TmgLine> lines = {{0, 1000, "preload"},
                                  {10, 0, ""},
                                  {7, 8, "with space"},
                                  {1, 2, "#hash"},
                                  {3, 4, "back\\slash"}};
    std::string all;
    for (int c = 1; c < 256; c++) all += (char)c;
    std::vector<std::string> chunks;
    for (size_t i = 0; i < all.size(); i += 63) chunks.push_back(all.substr(i, 63));
    for (const std::string& s : chunks) lines.push_back({99, 1, s.c_str()});
    std::vector<uint8_t> bytes = TmgBytes(lines);
    std::string text = Dump(bytes);
    EXPECT_EQ(Compile(text), bytes);
    EXPECT_EQ(text.substr(0, 26), "0 1000 preload\n10 0 \"\"\n7 8");
}

TEST(TimingText, DumpMentionsWhatTheTextCannotHold) {
    std::vector<uint8_t> bytes = TmgBytes({{0, 1, "a"}, {1, 2, "b"}});
    bytes[8 + 72 + 8 + 40] = 'z'; // after the second name's terminator
    bytes.insert(bytes.end(), 3, 0xEE);
    std::string text = Dump(bytes);
    EXPECT_EQ(text, "0 1 a\n"
                    "1 2 b\n"
                    "# entry 2: bytes after the name's end are dropped\n"
                    "# 3 bytes after the last entry are dropped\n");
    EXPECT_EQ(Compile(text), TmgBytes({{0, 1, "a"}, {1, 2, "b"}}));

    // A name filling all 64 bytes is outside the format: shown, flagged, and
    // refused by the compiler rather than written back without a terminator.
    std::vector<uint8_t> full = TmgBytes({{5, 6, "x"}});
    memset(&full[16], 'z', 64);
    std::string fullText = Dump(full);
    EXPECT_EQ(fullText,
              "5 6 " + std::string(64, 'z') + "\n# entry 1: the name has no terminator\n");
    EXPECT_EQ(CompileError(fullText), "line 1: scene name longer than 63 bytes");
}
