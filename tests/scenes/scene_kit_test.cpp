// Scene clock, alpha ramp and the preparation routines in log-line order.
#include "scenes/line_scenes.h"
#include "scenes/effect_random.h"
#include "scenes/scene_kit.h"
#include "scenes/scenes.h"
#include "scenes/swirl_scenes.h"
#include "scenes/wobble_scene.h"
#include "scripted_rand.h"
#include "support/scratch.h"
#include "textures/texture.h"

#include <gtest/gtest.h>

#include <cstdlib>

TEST(SceneClock, FirstCallHasZeroDeltaAndKeepsItsStartForever) {
    SceneClock c;
    EXPECT_EQ(AdvanceSceneClock(&c, 12000.0f), 1);
    EXPECT_EQ(c.dt, 0.0f);
    EXPECT_EQ(c.start, 12000.0f);
    EXPECT_EQ(AdvanceSceneClock(&c, 12016.0f), 0);
    EXPECT_EQ(c.dt, 16.0f);
    // Scheduled again much later: the old start stays, dt spans the gap.
    EXPECT_EQ(AdvanceSceneClock(&c, 40000.0f), 0);
    EXPECT_EQ(c.dt, 40000.0f - 12016.0f);
    EXPECT_EQ(c.start, 12000.0f);
}

TEST(Fade, RisesBeforeTheThresholdAndFallsFromIt) {
    SceneClock c;
    float fade = 0.0f;
    AdvanceSceneClock(&c, 1000.0f);
    UpdateFade(&fade, &c, 1000.0f, 5000.0f);
    EXPECT_EQ(fade, 0.0f); // dt 0 on the first frame
    AdvanceSceneClock(&c, 5999.0f);
    UpdateFade(&fade, &c, 5999.0f, 5000.0f); // 4999 ms in: still rising
    EXPECT_FLOAT_EQ(fade, 4999.0f * 0.00025f);
    float before = fade;
    AdvanceSceneClock(&c, 6000.0f);
    UpdateFade(&fade, &c, 6000.0f, 5000.0f); // exactly at the threshold: falling
    EXPECT_FLOAT_EQ(fade, before - 0.00025f);
    AdvanceSceneClock(&c, 26000.0f);
    UpdateFade(&fade, &c, 26000.0f, 5000.0f);
    EXPECT_LT(fade, 0.0f); // keeps falling below 0
}

namespace {
size_t randCalls = 0;
int CountingRand() {
    randCalls++;
    return rand();
}
} // namespace

// Runs in an empty folder: every texture load fails without touching GL, so
// the routines' effect building can be watched through the random source.
TEST(PrepareScenes, RunInLogLineOrderAndBuildEachScenesEffects) {
    ScratchDir dir("prep");
    WorkingFolder inDir(dir.Path());
    ASSERT_TRUE(inDir.Entered());
    EffectRandSwap counting(CountingRand);
    spiralCounter = 0;
    // scene2 1500 x 4, scene6 1500 x 2, three texture-only routines, scene1
    // 500 x 7, scene7 1500 x 4, scene8 500 x 7, scene9, credits end 500 x 7.
    const size_t expected[10] = {6000, 3000, 0, 0, 0, 3500, 6000, 3500, 0, 3500};
    for (int i = 0; i < 10; i++) {
        randCalls = 0;
        ASSERT_NE(PrepareScenes[i].prepare, nullptr) << i;
        PrepareScenes[i].prepare();
        EXPECT_EQ(randCalls, expected[i]) << PrepareScenes[i].logLine;
    }

    EXPECT_STREQ(PrepareScenes[0].logLine, "Pre-Initializing scene 1");
    EXPECT_STREQ(PrepareScenes[9].logLine, "Pre-Initializing credits end");
    EXPECT_EQ(spiralCounter, 1500 * 57);
    ASSERT_NE(swirlScene2.particles, nullptr);
    EXPECT_EQ(swirlScene2.particles->count, 1500);
    EXPECT_EQ(swirlScene2.particles->texture, swirlScene2.textures[1]);
    EXPECT_EQ(wobbleScene.particles->respawn, SpiralRespawn);
    EXPECT_FLOAT_EQ(wobbleScene.particles->rotationSpeed, 0.05f);
    EXPECT_FLOAT_EQ(lineScene8.lines->particles[0].colour[0], 1.0f);
    EXPECT_FLOAT_EQ(lineScene1.lines->particles[0].colour[0], 0.7f);
    EXPECT_EQ(lineCreditsEnd.lines->count, 500);
    // A file several scenes use is loaded into separate records.
    EXPECT_NE(swirlScene2.textures[1], swirlScene7.textures[1]);
    EXPECT_NE(lineScene1.picture, lineCreditsEnd.picture);
    EXPECT_EQ(lineScene1.picture->tag, 0u);
}
