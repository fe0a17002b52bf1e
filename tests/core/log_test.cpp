#include "core/log.h"
#include "support/scratch.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <string>
#include <unistd.h>

static int fakeH = 9, fakeM = 5, fakeS = 3, fakeMs = 40;
static void FakeTime(int* h, int* m, int* s, int* ms) {
    *h = fakeH;
    *m = fakeM;
    *s = fakeS;
    *ms = fakeMs;
}

class LogTest : public ::testing::Test {
  protected:
    void SetUp() override { ZELKOR_Log::SetLocalTimeSource(FakeTime); }
    void TearDown() override { ZELKOR_Log::SetLocalTimeSource(nullptr); }
    ScratchDir scratch{"log"};
    std::string path = scratch / "zelkor.log";
};

TEST_F(LogTest, WritesUnpaddedPrefixEmptyLineAfterStartAndEndLine) {
    ZELKOR_Log log;
    ASSERT_EQ(log.Initialize(path.c_str()), 1);
    log.Print("Opening VKZ archive");
    // Unbuffered: the line is on disk before the log is closed.
    EXPECT_EQ(ReadText(path),
              "[9:5:3.40]start logging at 9:5:3\n\n[9:5:3.40]Opening VKZ archive\n");
    log.Shutdown();
    EXPECT_EQ(ReadText(path), "[9:5:3.40]start logging at 9:5:3\n\n[9:5:3.40]Opening VKZ archive\n"
                              "[9:5:3.40]end logging at 9:5:3\n");
}

TEST_F(LogTest, FormatsArgumentsButNeverReusesTheMessageAsFormat) {
    ZELKOR_Log log;
    ASSERT_EQ(log.Initialize(path.c_str()), 1);
    log.Print("%s", "100%d %s %n");
    log.Print("scene %d of %s", 3, "nine");
    log.Shutdown();
    std::string text = ReadText(path);
    EXPECT_NE(text.find("[9:5:3.40]100%d %s %n\n"), std::string::npos);
    EXPECT_NE(text.find("[9:5:3.40]scene 3 of nine\n"), std::string::npos);
}

TEST_F(LogTest, CutsLongMessagesAt4095Characters) {
    ZELKOR_Log log;
    ASSERT_EQ(log.Initialize(path.c_str()), 1);
    std::string longText(5000, 'x');
    log.Print("%s", longText.c_str());
    log.Shutdown();
    std::string text = ReadText(path);
    std::string expected = "[9:5:3.40]" + std::string(4095, 'x') + "\n";
    EXPECT_NE(text.find(expected), std::string::npos);
    EXPECT_EQ(text.find(std::string(4096, 'x')), std::string::npos);
}

TEST_F(LogTest, ReinitializeEmptiesTheFile) {
    ZELKOR_Log log;
    ASSERT_EQ(log.Initialize(path.c_str()), 1);
    log.Print("first");
    fakeH = 21;
    ASSERT_EQ(log.Initialize(path.c_str()), 1);
    fakeH = 9;
    log.Shutdown();
    EXPECT_EQ(ReadText(path),
              "[21:5:3.40]start logging at 21:5:3\n\n[9:5:3.40]end logging at 9:5:3\n");
}

TEST_F(LogTest, FallsBackToStdoutWhenTheFileCannotOpen) {
    ZELKOR_Log log;
    testing::internal::CaptureStdout();
    EXPECT_EQ(log.Initialize("/nonexistent-dir/zelkor.log"), 0);
    log.Print("Opening VKZ archive");
    log.Shutdown();
    EXPECT_EQ(testing::internal::GetCapturedStdout(),
              "[9:5:3.40]start logging at 9:5:3\n\n[9:5:3.40]Opening VKZ archive\n"
              "[9:5:3.40]end logging at 9:5:3\n");

    ZELKOR_Log noPath;
    testing::internal::CaptureStdout();
    EXPECT_EQ(noPath.Initialize(nullptr), 0);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "[9:5:3.40]start logging at 9:5:3\n\n");
}

// A log that is a symbolic link is never followed: the file it names (any
// file of the user's) would be emptied. It fails as a log that cannot open.
TEST_F(LogTest, NeverFollowsASymbolicLink) {
    std::string target = scratch / "precious.txt";
    ASSERT_TRUE(WriteBytes(target, "keep me", 7));
    ASSERT_EQ(symlink(target.c_str(), path.c_str()), 0);
    ZELKOR_Log log;
    testing::internal::CaptureStdout();
    EXPECT_EQ(log.Initialize(path.c_str()), 0);
    log.Shutdown();
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(log.OpenError(), ELOOP);
    EXPECT_EQ(ReadText(target), "keep me");
}
