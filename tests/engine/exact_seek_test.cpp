// zelkor play's exact seek against a straight run: for every production
// scene and the scenes of `zelkor new`'s templates, the picture a seek back
// to a time shows is the one a run drawing every frame at 60 a second had
// there. Each show is played once straight through, its pictures kept at
// one time in each scene; then seeks go back to each. The particles
// template feeds a render target back into itself: its seek, 15 frames past
// the mark at 5 s, is made twice, the second from the mark (with the
// target's pixels) that the first one's drawing kept on the way.
#include "archive/codec.h"
#include "engine/engine.h"
#include "engine/live.h"
#include "engine/runner.h"
#include "engine/scene_library.h"
#include "platform/draw.h"
#include "sequencing/tmg_bytes.h"
#include "seek_grab.h"
#include "support/scratch.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

namespace {

const int kWidth = 160, kHeight = 120;
const uint32_t kSlot = 3000; // each scene's entry, ms

struct Case {
    const char* show; // "production", or a template's name
    const char* scene;
};

SeekGrab shot = {kWidth, kHeight, 0, {}};

// The show playing: its folder, its library, and the straight run's picture
// at each scene's time (the grid frame 7/8 into its entry).
struct Playing {
    std::string show;
    ScratchDir* folder = nullptr;
    SceneLibrary* library = nullptr;
    std::map<std::string, uint64_t> frameOf;
    std::map<std::string, std::vector<uint8_t>> straight;
};
Playing playing;

void Stop() {
    if (playing.show.empty()) return;
    Live_Stop();
    Engine_UseScenes(nullptr);
    SceneLibrary_Unload(playing.library);
    delete playing.folder;
    playing = Playing();
}

// Starts `show` with its scenes in slots of `slot` ms and runs it straight
// through, every frame drawn.
void Play(const std::string& show, const std::vector<std::string>& scenes, uint32_t slot = kSlot) {
    if (playing.show == show) return;
    Stop();
    playing.show = show;
    playing.folder = new ScratchDir("seek");
    const std::string dir = playing.folder->Path();
    std::vector<TmgLine> lines;
    for (size_t i = 0; i < scenes.size(); i++)
        lines.push_back({(uint32_t)(i * slot), slot - 1, scenes[i].c_str()});
    ASSERT_TRUE(
        WriteArchive(dir + "/data.vkz", {{"default.tmg", TmgBytes(lines)}}, VKZ_CODEC_APLIB));
    // The production's pictures; the template's backdrop is one of them.
    for (const auto& f : std::filesystem::directory_iterator(ZK_BINARY_DIR "/show"))
        if (f.path().extension() == ".tga" || f.path().extension() == ".rgs")
            std::filesystem::create_symlink(f.path(), dir + "/" + f.path().filename().string());
    std::filesystem::create_symlink(ZK_BINARY_DIR "/show/tarnis_1.tga", dir + "/backdrop.tga");
    ASSERT_EQ(chdir(dir.c_str()), 0);
    if (show != "production") {
        ZK_Status loaded;
        std::string library = ZK_BINARY_DIR "/tests/engine/libzk_" + show + "_scenes.so";
        playing.library = SceneLibrary_Load(library.c_str(), &loaded);
        ASSERT_NE(playing.library, nullptr) << ZK_StatusText(loaded);
        Engine_UseScenes(SceneLibrary_Scenes(playing.library));
    }
    // The particles' shaders, which want the modern renderer.
    int renderer = DRAW_FIXED;
    if (show == "particles") {
        std::filesystem::create_symlink(ZK_SOURCE_DIR "/tools/zelkor/templates/particles/shaders",
                                        dir + "/shaders");
        renderer = DRAW_MODERN;
    }
    Live_SetLogPath("zelkor.log");
    ASSERT_EQ(Live_Start(kWidth, kHeight, 0, renderer), RUNNER_OK);
    Live_SetPaused(1);
    Live_SetOverlay(SeekGrab_Overlay, &shot);
    uint64_t last = 0;
    for (size_t i = 0; i < scenes.size(); i++) {
        uint64_t g = ((uint64_t)i * slot + slot * 7 / 8) * 60 / 1000;
        playing.frameOf[scenes[i]] = g;
        last = g;
    }
    for (uint64_t g = 0; g <= last; g++) {
        for (const auto& [scene, frame] : playing.frameOf) shot.want |= frame == g;
        Live_Advance(GridTime(g));
        ASSERT_EQ(Live_Frame(0), RUNNER_OK);
        for (const auto& [scene, frame] : playing.frameOf)
            if (frame == g) playing.straight[scene] = shot.pixels;
    }
}

class ExactSeek : public ::testing::TestWithParam<Case> {
  protected:
    static void TearDownTestSuite() { Stop(); }
};

TEST_P(ExactSeek, ShowsWhatAStraightRunDrewThere) {
    const Case& c = GetParam();
    const std::string show = c.show;
    if (show == "basic")
        Play(show, {"glow"});
    else if (show == "particles")
        Play(show, {"sparks"}, 6000);
    else
        Play(show, {"scene1", "scene2", "scene3", "scene4", "scene5", "scene6", "scene7", "scene8",
                    "scene9", "creditsend"});
    ASSERT_FALSE(HasFatalFailure());
    for (int seek = 0; seek < (show == "particles" ? 2 : 1); seek++) {
        shot.want = 1;
        Live_Seek(GridTime(playing.frameOf[c.scene]));
        ASSERT_EQ(Live_Frame(0), RUNNER_OK);
        ASSERT_FALSE(shot.want) << "no frame was shown";
        const std::vector<uint8_t>& want = playing.straight[c.scene];
        ASSERT_EQ(shot.pixels.size(), want.size());
        size_t differ = 0;
        for (size_t i = 0; i < want.size(); i++) differ += shot.pixels[i] != want[i];
        EXPECT_EQ(differ, 0u) << c.scene << ", seek " << seek + 1 << ": bytes that differ";
    }
}

std::string Name(const ::testing::TestParamInfo<Case>& info) {
    return std::string(info.param.show) + "_" + info.param.scene;
}

INSTANTIATE_TEST_SUITE_P(
    Scenes, ExactSeek,
    ::testing::Values(Case{"production", "scene1"}, Case{"production", "scene2"},
                      Case{"production", "scene3"}, Case{"production", "scene4"},
                      Case{"production", "scene5"}, Case{"production", "scene6"},
                      Case{"production", "scene7"}, Case{"production", "scene8"},
                      Case{"production", "scene9"}, Case{"production", "creditsend"},
                      Case{"basic", "glow"}, Case{"particles", "sparks"}),
    Name);

} // namespace
