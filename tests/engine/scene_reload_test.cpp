// A scene library rebuilt while the show runs: its scene keeps its record
// and the blocks it allocated when the record is unchanged, and starts
// afresh, saying why, when the record changed.
#include "archive/codec.h"
#include "engine/engine.h"
#include "engine/runner.h"
#include "engine/scene_library.h"
#include "support/scratch.h"
#include "sequencing/tmg_bytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const int kWidth = 64, kHeight = 48;

struct Rgb {
    int r, g, b;
};

Rgb Centre() {
    std::vector<uint8_t> rgb(kWidth * kHeight * 3);
    Runner_ReadRgb(rgb.data());
    const uint8_t* p = &rgb[((kHeight / 2) * kWidth + kWidth / 2) * 3];
    return {p[0], p[1], p[2]};
}

SceneLibrary* Load(const char* build) {
    std::string path =
        std::string(ZK_BINARY_DIR "/tests/engine/libzk_counter_scene_") + build + ".so";
    ZK_Status loaded;
    SceneLibrary* library = SceneLibrary_Load(path.c_str(), &loaded);
    EXPECT_NE(library, nullptr) << ZK_StatusText(loaded);
    return library;
}

} // namespace

TEST(SceneReload, KeepsAnUnchangedRecordAndStartsAfreshWhenItChanges) {
    ScratchDir show("reload");
    ASSERT_TRUE(WriteArchive(show.Path() + "/data.vkz",
                             {{"default.tmg", TmgBytes({{0, 600000, "counter"}})}},
                             VKZ_CODEC_APLIB));
    WorkingFolder inShow(show.Path());
    SceneLibrary* first = Load("a");
    ASSERT_NE(first, nullptr);
    Engine_UseScenes(SceneLibrary_Scenes(first));
    ASSERT_EQ(Runner_Start(kWidth, kHeight), RUNNER_OK);
    uint64_t n = 0;
    for (; n < 10; n++) ASSERT_EQ(Runner_DrawFrame(n), RUNNER_OK);
    Rgb before = Centre();
    EXPECT_NEAR(before.r, 10, 1);
    EXPECT_NEAR(before.g, 10, 1);

    // New code, the same record: the count goes on, now in blue.
    SceneLibrary* second = Load("b");
    ASSERT_NE(second, nullptr);
    std::vector<std::string> restarted;
    Engine_UseScenes(SceneLibrary_Scenes(second), &restarted);
    SceneLibrary_Unload(first);
    EXPECT_TRUE(restarted.empty()) << restarted[0];
    ASSERT_EQ(Runner_DrawFrame(n++), RUNNER_OK);
    Rgb kept = Centre();
    EXPECT_NEAR(kept.r, 0, 1);
    EXPECT_NEAR(kept.b, 11, 1);
    EXPECT_NEAR(kept.g, 11, 1);

    // A record grown: it starts afresh, and the line says why.
    SceneLibrary* third = Load("c");
    ASSERT_NE(third, nullptr);
    Engine_UseScenes(SceneLibrary_Scenes(third), &restarted);
    SceneLibrary_Unload(second);
    ASSERT_EQ(restarted.size(), 1u);
    EXPECT_EQ(restarted[0], "counter starts afresh: its record Counter is now 24 bytes (was 16)");
    ASSERT_EQ(Runner_DrawFrame(n++), RUNNER_OK);
    Rgb fresh = Centre();
    EXPECT_NEAR(fresh.r, 1, 1);
    EXPECT_NEAR(fresh.g, 1, 1);
    Runner_Stop();
    Engine_UseScenes(nullptr);
    SceneLibrary_Unload(third);
}
