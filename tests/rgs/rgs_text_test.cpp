// The text form: exact bytes from text, and text back that assembles to the
// same bytes for any parameter bits.
#include "rgs/rgs.h"
#include "rgs/rgs_opcodes.h"
#include "rgs/rgs_text.h"
#include "rgs_script_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

TEST(RgsText, AssemblesExactBytes) {
    std::vector<uint8_t> got;
    ZK_Status error;
    ASSERT_TRUE((error = RGS_Assemble("# a texture\r\n"
                                      "plasma 0 1 2 3 4 1 1 1   # sines\n"
                                      "\n"
                                      "Fill 1 #112233\n"
                                      "op 200 -0 0.5 1e3\n"
                                      "Checker 0, 8, 8, #ff0000, 0x10",
                                      &got))
                    .ok)
        << error.problem;
    ScriptBuilder expected;
    expected.Add(2, {0, 1, 2, 3, 4, 1, 1, 1})
        .Add(7, {1, (float)0x332211})
        .Add(200, {-0.0f, 0.5f, 1000})
        .Add(6, {0, 8, 8, 255, 16});
    EXPECT_EQ(got, expected.bytes);
}

// "#f00" is CSS's short form of "#ff0000", not the start of a comment.
TEST(RgsText, ShortColours) {
    std::vector<uint8_t> shortForm, longForm;
    ZK_Status error;
    ASSERT_TRUE((error = RGS_Assemble("Fill 0 #f08", &shortForm)).ok) << error.problem;
    ASSERT_TRUE((error = RGS_Assemble("Fill 0 #ff0088", &longForm)).ok) << error.problem;
    EXPECT_EQ(shortForm, longForm);
}

TEST(RgsText, ReportsTheLine) {
    std::vector<uint8_t> out;
    ZK_Status error;
    EXPECT_FALSE((error = RGS_Assemble("Fill 0 1\nBlurr 0\n", &out)).ok);
    EXPECT_EQ(error.problem, "line 2: unknown operation 'Blurr'");
    EXPECT_FALSE((error = RGS_Assemble("Fill 0 1 2 3 4 5 6 7 8\n", &out)).ok);
    EXPECT_NE(error.problem.find("line 1"), std::string::npos);
    EXPECT_FALSE((error = RGS_Assemble("\n\nFill 0 x\n", &out)).ok);
    EXPECT_NE(error.problem.find("line 3"), std::string::npos);
    EXPECT_FALSE((error = RGS_Assemble("op 256\n", &out)).ok);
    std::string many;
    for (int i = 0; i < 256; i++) many += "Invert 0\n";
    EXPECT_FALSE((error = RGS_Assemble(many, &out)).ok);
}

TEST(RgsText, AnyBitsRoundTrip) {
    std::mt19937 random(12345);
    const uint32_t special[] = {0x80000000u, 0x7F800000u, 0xFF800000u, 0x7FC00000u, 0xFFC00000u,
                                0x7F800001u, 0xFFBFFFFFu, 0x00000001u, 0x4B7FFFFFu, 0x3F000000u};
    for (int round = 0; round < 50; round++) {
        std::vector<uint8_t> script = {'R', 'G', 'S', 0};
        int n = random() % 40;
        for (int i = 0; i < n; i++) {
            script[3]++;
            script.push_back((uint8_t)(random() % 3 ? random() % 39 : random()));
            for (int k = 0; k < 8; k++) {
                uint32_t b = random() % 4 == 0 ? special[random() % 10]
                             : random() % 2    ? (uint32_t)random()
                                               : 0;
                if (random() % 5 == 0) { // small integers and colours, as scripts hold them
                    float f = (float)(random() % 0x1000000);
                    memcpy(&b, &f, 4);
                }
                for (int j = 0; j < 4; j++) script.push_back((uint8_t)(b >> (8 * j)));
            }
        }
        std::string text;
        ZK_Status error;
        ASSERT_TRUE((error = RGS_Disassemble(script.data(), (uint32_t)script.size(), &text)).ok);
        std::vector<uint8_t> back;
        ASSERT_TRUE((error = RGS_Assemble(text, &back)).ok) << error.problem << "\n" << text;
        ASSERT_EQ(back, script) << text;
    }
}

TEST(RgsText, WholeNumbersReadAsWritten) {
    std::vector<uint8_t> s =
        ScriptBuilder().Add(1, {2, 10, 100, 1, 1, 1}).Add(8, {0, -300, 0.5f, 1e10f}).bytes;
    std::string text;
    ZK_Status error;
    ASSERT_TRUE((error = RGS_Disassemble(s.data(), (uint32_t)s.size(), &text)).ok) << error.problem;
    EXPECT_EQ(text, "Cells 2 10 100 1 1 1\nAddColor 0 -300 0.5 1e+10\n");
}

TEST(RgsText, DisassemblyOfDamagedFiles) {
    std::vector<uint8_t> s = ScriptBuilder().Add(7, {0, 0xFF}).Add(18, {1}).bytes;
    std::string text;
    ZK_Status error;
    ASSERT_TRUE((error = RGS_Disassemble(s.data(), (uint32_t)s.size(), &text)).ok);
    EXPECT_EQ(text, "Fill 0 #ff0000\nInvert 1\n");

    std::vector<uint8_t> cut(s.begin(), s.end() - 1);
    EXPECT_FALSE((error = RGS_Disassemble(cut.data(), (uint32_t)cut.size(), &text)).ok);
    EXPECT_EQ(text, "Fill 0 #ff0000\n");
    EXPECT_NE(error.problem.find("1 of its 2"), std::string::npos);

    s.push_back(0);
    EXPECT_FALSE((error = RGS_Disassemble(s.data(), (uint32_t)s.size(), &text)).ok);
    EXPECT_FALSE((error = RGS_Disassemble((const uint8_t*)"RGX", 3, &text)).ok);
    EXPECT_FALSE((error = RGS_Disassemble((const uint8_t*)"RGS", 3, &text)).ok);
}

// The reference: every opcode the interpreter runs has an entry, and every
// entry's example is text that assembles and disassembles back to itself.
TEST(RgsText, ReferenceCoversTheInterpreter) {
    for (int op = 0; op < 256; op++) {
        bool listed = op > 0 && op < RGS_OPCODE_COUNT;
        if (!listed) {
            float zeros[8] = {};
            EXPECT_EQ(RGS_Dispatch((uint8_t)op, zeros), 0) << op;
            continue;
        }
        const RGS_OpInfo& info = RGS_OpTable[op];
        std::string line = std::string(info.name) + " " + info.example + "\n", text;
        ZK_Status error;
        std::vector<uint8_t> script;
        std::vector<std::string> warnings;
        ASSERT_TRUE((error = RGS_Assemble(line, &script, &warnings)).ok) << line << error.problem;
        EXPECT_TRUE(warnings.empty()) << line;
        ASSERT_TRUE((error = RGS_Disassemble(script.data(), (uint32_t)script.size(), &text)).ok);
        EXPECT_EQ(text, line);
        EXPECT_EQ(script[4], op);
        float params[8];
        memcpy(params, &script[5], sizeof params);
        EXPECT_EQ(RGS_Dispatch((uint8_t)op, params), 1) << line;
        EXPECT_NE(RGS_ReferenceEntry(op).find(line), std::string::npos);
    }
}

// A named command's layer outside 0-4, or a value its field cannot hold, is
// refused with its line; a bare
// opcode keeps any bytes (disassembly writes such commands that way), and
// what the show would skip is warned about.
TEST(RgsText, RefusesMissingLayersAndValuesBeyondFieldsWarnsOfSkips) {
    std::vector<uint8_t> out;
    ZK_Status error;
    std::vector<std::string> warnings;
    EXPECT_FALSE((error = RGS_Assemble("Fill 0 1\nCombineAdd 0 1 5 1 1\n", &out)).ok);
    EXPECT_EQ(error.problem, "line 2: CombineAdd: c 5 does not exist (layers are 0-4)");

    std::vector<uint8_t> s = ScriptBuilder().Add(7, {5, 255}).bytes;
    std::string text;
    ASSERT_TRUE((error = RGS_Disassemble(s.data(), (uint32_t)s.size(), &text)).ok);
    EXPECT_EQ(text, "op 7 5 #ff0000\n");
    ASSERT_TRUE((error = RGS_Assemble(text, &out, &warnings)).ok);
    EXPECT_EQ(out, s);
    EXPECT_EQ(warnings, std::vector<std::string>{
                            "line 1: Fill: layer 5 is no layer 0-4: the show skips the command"});

    // A value beyond its field would wrap in the show: refused, and written
    // back as a bare opcode.
    EXPECT_FALSE((error = RGS_Assemble("Invert 0\nBlur3x3 0 300\n", &out)).ok);
    EXPECT_EQ(error.problem,
              "line 2: Blur3x3: passes 300 does not fit its field (0-255; the show would "
              "take 44)");
    EXPECT_FALSE((error = RGS_Assemble("Fill 0 16777216\n", &out)).ok);
    s = ScriptBuilder().Add(29, {0, 300}).bytes;
    ASSERT_TRUE((error = RGS_Disassemble(s.data(), (uint32_t)s.size(), &text)).ok);
    EXPECT_EQ(text, "op 29 0 300\n");

    std::string many = "Fill 0 nan\nCells 0 1e10 1 1 1 1\nSwirl 0 128 128 inf 1\n";
    for (int i = 0; i < 198; i++) many += "Invert 0\n";
    ASSERT_TRUE((error = RGS_Assemble(many, &out, &warnings)).ok) << error.problem;
    ASSERT_EQ(warnings.size(), 4u);
    EXPECT_EQ(warnings[0], "line 1: Fill: colour nan is not a number: the show skips the command");
    EXPECT_EQ(warnings[1], "line 2: Cells: points 1e10 does not fit a 32-bit integer: the show "
                           "skips the command");
    EXPECT_EQ(warnings[2], "line 3: Swirl: radius inf is not a finite number");
    EXPECT_EQ(warnings[3], "line 201: the show runs 200 commands at most; this one and later are "
                           "not run");
}
