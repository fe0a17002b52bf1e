// The registry and the dispatcher on a real archive, with the music clock
// following a made-up tick source.
#include "archive/codec.h"
#include "archive/vkz.h"
#include "sequencing/scene_registry.h"
#include "sequencing/timing_script.h"
#include "core/globals.h"
#include "support/scratch.h"
#include "tmg_bytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

static uint32_t now = 0;
static uint32_t stepPerRead = 0; // advance the clock on every read
static uint32_t Clock(void*) {
    uint32_t t = now;
    now += stepPerRead;
    return t;
}

static std::vector<std::string> calls;
#define SCENE(fn, label)                                                                           \
    static void fn(const SceneFrame& f) {                                                          \
        calls.push_back(std::string(label) + "@" + std::to_string(f.musicTime));                   \
    }
SCENE(SceneA, "a")
SCENE(SceneA2, "a2")
SCENE(SceneB, "b")
SCENE(SceneC, "c")

class DispatcherTest : public ::testing::Test {
  protected:
    void SetUp() override {
        now = 0;
        stepPerRead = 0;
        calls.clear();
        SceneFrameSource source;
        source.musicTime = Clock;
        SetSceneFrameSource(&source);
    }
    void TearDown() override {
        FreeSceneTables();
        SetSceneFrameSource(nullptr);
        VKZ_Close(g_archive);
        g_archive = nullptr;
    }
    void UseScript(const std::vector<TmgLine>& lines) {
        std::string path = dir + "/data.vkz";
        ASSERT_TRUE(WriteArchive(path, {{"default.tmg", TmgBytes(lines)}}, VKZ_CODEC_APLIB));
        g_archive = VKZ_Open(path.c_str());
        ASSERT_NE(g_archive, nullptr);
    }
    std::vector<std::string> DispatchAt(uint32_t t) {
        now = t;
        calls.clear();
        EXPECT_EQ(SceneDispatcher(), 1);
        return calls;
    }
    ScratchDir scratch{"dispatch"};
    std::string dir = scratch.Path();
};

typedef std::vector<std::string> Calls;

TEST_F(DispatcherTest, NamesMatchWithoutCaseAndEveryRecordOfANameRuns) {
    UseScript({{0, 100, "SCENE1"}, {50, 100, "Scene1"}, {0, 1000, "nobody"}});
    RegisterScene("scene1", SceneA);
    RegisterScene("other", SceneB);
    RegisterScene("scene1", SceneA2);
    EXPECT_EQ(DispatchAt(10), (Calls{"a@10", "a2@10"}));
    // Two active entries of the same name: both records run for each.
    EXPECT_EQ(DispatchAt(60), (Calls{"a@60", "a2@60", "a@60", "a2@60"}));
    EXPECT_EQ(DispatchAt(150), (Calls{"a@150", "a2@150"}));
    // Only "nobody" is active: nothing runs, and that is no error.
    EXPECT_EQ(DispatchAt(151), Calls{});
}

TEST_F(DispatcherTest, OverlappingEntriesRunInFileOrder) {
    UseScript({{100, 200, "c"}, {0, 1000, "b"}, {150, 10, "a"}});
    RegisterScene("a", SceneA);
    RegisterScene("b", SceneB);
    RegisterScene("c", SceneC);
    EXPECT_EQ(DispatchAt(50), Calls{"b@50"});
    EXPECT_EQ(DispatchAt(155), (Calls{"c@155", "b@155", "a@155"}));
    EXPECT_EQ(DispatchAt(300), (Calls{"c@300", "b@300"}));
}

TEST_F(DispatcherTest, GapsAndTheInstantEntryAfterTheFirstLoad) {
    UseScript({{1000, 0, "a"}, {2000, 500, "b"}});
    RegisterScene("a", SceneA);
    RegisterScene("b", SceneB);
    // The first dispatch loads the table; nothing is active yet: still 1.
    EXPECT_EQ(DispatchAt(0), Calls{});
    EXPECT_EQ(DispatchAt(999), Calls{});
    EXPECT_EQ(DispatchAt(1000), Calls{"a@1000"});
    EXPECT_EQ(DispatchAt(1001), Calls{}); // in a gap
    EXPECT_EQ(DispatchAt(2500), Calls{"b@2500"});
    EXPECT_EQ(DispatchAt(90000), Calls{}); // past the last entry
}

// A frame that comes after the whole "ende" entry still ends the show; other
// scenes keep their windows.
TEST_F(DispatcherTest, EndeActsEvenWhenItsWindowWasSkipped) {
    UseScript({{0, 100, "a"}, {100, 10, "Ende"}});
    RegisterScene("a", SceneA);
    RegisterScene("ende", SceneB);
    EXPECT_EQ(DispatchAt(50), Calls{"a@50"});
    EXPECT_EQ(DispatchAt(99), Calls{"a@99"});
    EXPECT_EQ(DispatchAt(5000), Calls{"b@5000"});
}

TEST_F(DispatcherTest, TheClockIsReadAfreshForEveryTestAndCall) {
    UseScript({{0, 1000, "a"}, {0, 1000, "b"}});
    RegisterScene("a", SceneA);
    RegisterScene("a", SceneA2);
    RegisterScene("b", SceneB);
    DispatchAt(0); // load
    stepPerRead = 1;
    // Reads: test 1 (100), a (101), a2 (102), test 2 (103), b (104).
    EXPECT_EQ(DispatchAt(100), (Calls{"a@101", "a2@102", "b@104"}));
}

TEST(SceneRegistry, LongNamesAreCutAndComparisonStopsAt64Bytes) {
    EXPECT_EQ(RegisterScene(std::string(80, 'q').c_str(), SceneA), 1);
    FreeSceneTables();
    char entry[64];
    memset(entry, 'x', sizeof(entry)); // no terminator within the field
    char record[64] = {};
    memset(record, 'X', 63);
    EXPECT_FALSE(SceneNameMatches(record, entry));
    EXPECT_TRUE(SceneNameMatches("Credits_End", "cREDITS_eND"));
    EXPECT_FALSE(SceneNameMatches("scene1", "scene10"));
    EXPECT_FALSE(SceneNameMatches("scene@", "scene`")); // not letters: no case folding
}
