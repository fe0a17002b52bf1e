// Scene clock, alpha ramp and the production's preparation routines.
#include "scenes/effect_random.h"
#include "scenes/line_scenes.h"
#include "scenes/scene_kit.h"
#include "scenes/scene_names.h"
#include "scenes/swirl_scenes.h"
#include "scenes/wobble_scene.h"
#include "scripted_rand.h"
#include "sequencing/scene_set.h"
#include "sequencing/scene_state.h"
#include "support/scratch.h"
#include "textures/texture.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

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

// Each production scene's record, claimed and prepared as the engine does.
struct Prepared {
    const SceneDef* def;
    SceneSlot* slot;
    size_t randCalls;
};

template <class State> State& RecordOf(const std::vector<Prepared>& all, const char* name) {
    for (const Prepared& p : all)
        if (!strcmp(p.def->name, name)) return *(State*)SceneState_Record(p.slot);
    ADD_FAILURE() << name;
    static State none;
    return none;
}
} // namespace

// Runs in an empty folder: every texture load fails without touching GL, so
// the routines' effect building can be watched through the random source.
TEST(PrepareScenes, BuildEachScenesEffectsWithTexturesOfItsOwn) {
    ScratchDir dir("prep");
    WorkingFolder inDir(dir.Path());
    ASSERT_TRUE(inDir.Entered());
    EffectRandSwap counting(CountingRand);
    particleShared.spiralCounter = 0;
    std::vector<Prepared> all;
    SceneState_BeginClaims();
    for (const SceneDef* d = zelkorSceneList.first; d; d = d->next) {
        int kept;
        std::string why;
        SceneSlot* slot = SceneState_Claim(d, 0, &kept, &why);
        ASSERT_NE(slot, nullptr);
        EXPECT_EQ(kept, 0);
        randCalls = 0;
        SceneState_SetOwner(slot);
        d->prepare(SceneState_Record(slot), 0);
        SceneState_SetOwner(nullptr);
        all.push_back({d, slot, randCalls});
    }
    SceneState_EndClaims();
    ASSERT_EQ(all.size(), (size_t)SHOW_SCENE_COUNT);

    // scene2 1500 x 4, scene6 1500 x 2, the lines 500 x 7 each.
    const std::pair<const char*, size_t> expected[] = {
        {"scene1", 3500}, {"scene2", 6000}, {"scene3", 0},    {"scene4", 0}, {"scene5", 0},
        {"scene6", 3000}, {"scene7", 6000}, {"scene8", 3500}, {"scene9", 0}, {"creditsend", 3500}};
    for (auto [name, calls] : expected) {
        int found = 0;
        for (const Prepared& p : all) {
            if (strcmp(p.def->name, name)) continue;
            found = 1;
            EXPECT_EQ(p.randCalls, calls) << name;
        }
        EXPECT_TRUE(found) << name;
    }
    EXPECT_EQ(particleShared.spiralCounter, 1500 * 57);
    SwirlScene& swirl2 = RecordOf<SwirlScene>(all, "scene2");
    EXPECT_EQ(swirl2.particles.count, 1500);
    EXPECT_EQ(swirl2.particles.texture, swirl2.textures[1]);
    WobbleScene& wobble = RecordOf<WobbleScene>(all, "scene6");
    EXPECT_EQ(wobble.particles.respawn, SpiralRespawn);
    EXPECT_FLOAT_EQ(wobble.particles.rotationSpeed, 0.05f);
    EXPECT_FLOAT_EQ(RecordOf<LineScene>(all, "scene8").lines.particles[0].colour[0], 1.0f);
    LineScene& line1 = RecordOf<LineScene>(all, "scene1");
    EXPECT_FLOAT_EQ(line1.lines.particles[0].colour[0], 0.7f);
    EXPECT_EQ(RecordOf<LineScene>(all, "creditsend").lines.count, 500);
    // A file several scenes use is loaded into separate records; a scene
    // asking again (a reload) gets its own back, nothing loaded twice.
    EXPECT_NE(swirl2.textures[1], RecordOf<SwirlScene>(all, "scene7").textures[1]);
    EXPECT_NE(line1.picture, RecordOf<LineScene>(all, "creditsend").picture);
    EXPECT_EQ(line1.picture->tag, 0u);
    for (const Prepared& p : all)
        if (!strcmp(p.def->name, "scene1")) SceneState_SetOwner(p.slot);
    EXPECT_EQ(SceneTexture("tarnis_credits.tga"), line1.picture);
    SceneState_SetOwner(nullptr);
    SceneState_Clear();
}
