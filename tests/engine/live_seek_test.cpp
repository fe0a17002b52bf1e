// zelkor play's seeks given a slice of each frame, on the production's
// pictures: the fast picture is shown at once while the exact one is
// pending and the window is left alone meanwhile; a new seek gives the
// pending one up; the picture the seek ends on is the one a straight run
// drawing every frame at 60 a second had there, down to the byte, though
// the window showed another picture before.
#include "archive/codec.h"
#include "engine/engine.h"
#include "engine/live.h"
#include "engine/runner.h"
#include "platform/draw.h"
#include "sequencing/tmg_bytes.h"
#include "seek_grab.h"
#include "support/scratch.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace {

const int kWidth = 160, kHeight = 120;

SeekGrab shot = {kWidth, kHeight, 0, {}};

TEST(LiveSeek, SlicedSeekEndsOnTheStraightRunsPicture) {
    ScratchDir folder("live_seek");
    // scene1 (it clears every frame), then the first swirl.
    ASSERT_TRUE(
        WriteArchive(folder / "data.vkz",
                     {{"default.tmg", TmgBytes({{0, 3000, "scene1"}, {3000, 20000, "scene2"}})}},
                     VKZ_CODEC_APLIB));
    for (const auto& f : std::filesystem::directory_iterator(ZK_BINARY_DIR "/show"))
        if (f.path().extension() == ".tga" || f.path().extension() == ".rgs")
            std::filesystem::create_symlink(f.path(), folder / f.path().filename().string());
    WorkingFolder working(folder.Path());
    ASSERT_TRUE(working.Entered());
    Live_SetLogPath("zelkor.log");
    Live_SetSound(ENGINE_SOUND_OFF);
    ASSERT_EQ(Live_Start(kWidth, kHeight, 0, DRAW_FIXED), RUNNER_OK);
    Live_SetPaused(1);
    Live_SetOverlay(SeekGrab_Overlay, &shot);
    const uint64_t target = 480; // 8 s: 5 s into the swirl
    for (uint64_t g = 0; g <= target; g++) {
        shot.want = g == target;
        Live_Advance(GridTime(g));
        ASSERT_EQ(Live_Frame(0), RUNNER_OK);
    }
    const std::vector<uint8_t> straight = shot.pixels;

    // Away (the scenes keep their state), then two seeks, playing: the first
    // is given up half way.
    Live_SetPaused(0);
    Live_SetExactSeeks(0);
    Live_Seek(1000);
    ASSERT_EQ(Live_Frame(0), RUNNER_OK);
    Live_SetExactSeeks(1);
    Live_SetSeekSlice(1);
    shot.want = 1;
    Live_Seek(GridTime(target) - 2500);
    ASSERT_EQ(Live_Frame(0), RUNNER_OK);
    EXPECT_FALSE(shot.want) << "no fast picture";
    EXPECT_TRUE(Live_SeekPending());
    for (int i = 0; i < 20 && Live_SeekPending(); i++) {
        shot.want = 1;
        ASSERT_EQ(Live_Frame(0), RUNNER_OK);
        EXPECT_TRUE(shot.want) << "a frame of the way was shown";
    }
    EXPECT_EQ(Live_Time(), GridTime(target) - 2500) << "the music went on while pending";
    Live_Seek(GridTime(target));
    for (int frames = 0; Live_SeekPending() || frames == 0; frames++) {
        ASSERT_LT(frames, 100000);
        shot.want = 1;
        ASSERT_EQ(Live_Frame(0), RUNNER_OK);
    }
    ASSERT_FALSE(shot.want) << "the exact picture was not shown";
    size_t differ = 0;
    for (size_t i = 0; i < straight.size(); i++) differ += shot.pixels[i] != straight[i];
    EXPECT_EQ(differ, 0u) << "bytes that differ from the straight run's";
    Live_Stop();
}

} // namespace
