// The text form: exact bytes from text, and text back that assembles to the
// same bytes for any parameter bits.
#include "rgs/rgs_text.h"
#include "rgs_script_util.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

TEST(RgsText, AssemblesExactBytes) {
    std::vector<uint8_t> got;
    std::string error;
    ASSERT_TRUE(RGS_Assemble("# a texture\r\n"
                             "plasma 0 1 2 3 4 1 1 1   # sines\n"
                             "\n"
                             "Fill 1 #112233\n"
                             "op 200 -0 0.5 1e3\n"
                             "Checker 0, 8, 8, #ff0000, 0x10",
                             &got, &error))
        << error;
    ScriptBuilder expected;
    expected.Add(2, {0, 1, 2, 3, 4, 1, 1, 1})
        .Add(7, {1, (float)0x332211})
        .Add(200, {-0.0f, 0.5f, 1000})
        .Add(6, {0, 8, 8, 255, 16});
    EXPECT_EQ(got, expected.bytes);
}

TEST(RgsText, ReportsTheLine) {
    std::vector<uint8_t> out;
    std::string error;
    EXPECT_FALSE(RGS_Assemble("Fill 0 1\nBlurr 0\n", &out, &error));
    EXPECT_EQ(error, "line 2: unknown operation 'Blurr'");
    EXPECT_FALSE(RGS_Assemble("Fill 0 1 2 3 4 5 6 7 8\n", &out, &error));
    EXPECT_NE(error.find("line 1"), std::string::npos);
    EXPECT_FALSE(RGS_Assemble("\n\nFill 0 x\n", &out, &error));
    EXPECT_NE(error.find("line 3"), std::string::npos);
    EXPECT_FALSE(RGS_Assemble("op 256\n", &out, &error));
    std::string many;
    for (int i = 0; i < 256; i++) many += "Invert 0\n";
    EXPECT_FALSE(RGS_Assemble(many, &out, &error));
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
        std::string text, error;
        ASSERT_TRUE(RGS_Disassemble(script.data(), (uint32_t)script.size(), &text, &error));
        std::vector<uint8_t> back;
        ASSERT_TRUE(RGS_Assemble(text, &back, &error)) << error << "\n" << text;
        ASSERT_EQ(back, script) << text;
    }
}

TEST(RgsText, WholeNumbersReadAsWritten) {
    std::vector<uint8_t> s =
        ScriptBuilder().Add(1, {2, 10, 100, 1, 1, 1}).Add(8, {0, -300, 0.5f, 1e10f}).bytes;
    std::string text, error;
    ASSERT_TRUE(RGS_Disassemble(s.data(), (uint32_t)s.size(), &text, &error)) << error;
    EXPECT_EQ(text, "Cells 2 10 100 1 1 1\nAddColor 0 -300 0.5 1e+10\n");
}

TEST(RgsText, DisassemblyOfDamagedFiles) {
    std::vector<uint8_t> s = ScriptBuilder().Add(7, {0, 0xFF}).Add(18, {1}).bytes;
    std::string text, error;
    ASSERT_TRUE(RGS_Disassemble(s.data(), (uint32_t)s.size(), &text, &error));
    EXPECT_EQ(text, "Fill 0 #ff0000\nInvert 1\n");

    std::vector<uint8_t> cut(s.begin(), s.end() - 1);
    EXPECT_FALSE(RGS_Disassemble(cut.data(), (uint32_t)cut.size(), &text, &error));
    EXPECT_EQ(text, "Fill 0 #ff0000\n");
    EXPECT_NE(error.find("1 of its 2"), std::string::npos);

    s.push_back(0);
    EXPECT_FALSE(RGS_Disassemble(s.data(), (uint32_t)s.size(), &text, &error));
    EXPECT_FALSE(RGS_Disassemble((const uint8_t*)"RGX", 3, &text, &error));
    EXPECT_FALSE(RGS_Disassemble((const uint8_t*)"RGS", 3, &text, &error));
}
