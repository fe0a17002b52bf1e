// ParticleSystem seeding, rebirth, lifetimes and the shared swirl state.
#include "platform/draw.h"
#include "scenes/particle_system.h"

#include "scripted_rand.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

uint32_t fakeTicks = 0; // the show's elapsed time handed to Update

class ParticleTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fakeTicks = 0;
        particleShared.swirlAngle = 0.0f;
        particleShared.lastUpdateSeconds = 0.0f;
    }
};

std::vector<std::pair<Particle*, int>> respawnCalls;
void RecordingRespawn(Particle* p, int value) {
    respawnCalls.push_back({p, value});
    p->active = 1;
    p->life = 2.0f;
    p->fadeRate = 1.0f;
    for (int k = 0; k < 3; k++) p->position[k] = p->velocity[k] = p->colour[k] = 0.0f;
}

} // namespace

TEST_F(ParticleTest, InitSeedsInRandOrderAndBuildsRadianTables) {
    // vx, vy, vz, fade for particle 0, then particle 1.
    ScriptedRand r({0, 1, 2, 3, 49, 48, 47, 99});
    ParticleSystem ps;
    ASSERT_EQ(ps.Init(2, nullptr), 1);
    EXPECT_EQ(ScriptedRand::calls, 8u);
    const Particle& a = ps.particles[0];
    EXPECT_FLOAT_EQ(a.velocity[0], -260.0f);
    EXPECT_FLOAT_EQ(a.velocity[1], -240.0f);
    EXPECT_FLOAT_EQ(a.velocity[2], -230.0f);
    EXPECT_FLOAT_EQ(a.fadeRate, 0.006f);
    EXPECT_EQ(a.active, 1);
    EXPECT_EQ(a.life, 0.0f);
    EXPECT_EQ(a.position[0], 0.0f);
    EXPECT_FLOAT_EQ(a.colour[0], 0.4f);
    EXPECT_FLOAT_EQ(a.colour[1], 0.6f);
    EXPECT_FLOAT_EQ(a.colour[2], 1.0f);
    const Particle& b = ps.particles[1];
    EXPECT_FLOAT_EQ(b.velocity[0], 230.0f);
    EXPECT_FLOAT_EQ(b.velocity[1], 230.0f);
    EXPECT_FLOAT_EQ(b.velocity[2], 220.0f);
    EXPECT_FLOAT_EQ(b.fadeRate, 0.102f);
    // 90 radians per index, not degrees.
    EXPECT_FLOAT_EQ(ps.sinTable[1], (float)std::sin(90.0));
    EXPECT_FLOAT_EQ(ps.cosTable[1], (float)std::cos(90.0));
    EXPECT_FLOAT_EQ(ps.timeStep, 1.0f);
    EXPECT_FLOAT_EQ(ps.rotationSpeed, 0.4f);
    EXPECT_EQ(ps.respawn, nullptr);
}

TEST_F(ParticleTest, RespawnGetsTheCountWhenSeedingAndTheIndexWhenUpdating) {
    respawnCalls.clear();
    ParticleSystem ps;
    ASSERT_EQ(ps.InitWithRespawn(3, nullptr, RecordingRespawn), 1);
    EXPECT_FLOAT_EQ(ps.rotationSpeed, 0.05f);
    ASSERT_EQ(respawnCalls.size(), 3u);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(respawnCalls[i].first, &ps.particles[i]);
        EXPECT_EQ(respawnCalls[i].second, 3);
    }
    respawnCalls.clear();
    ps.Update(fakeTicks); // life 2 - 1: nobody is reborn yet
    EXPECT_TRUE(respawnCalls.empty());
    ps.Update(fakeTicks);
    ASSERT_EQ(respawnCalls.size(), 3u);
    for (int i = 0; i < 3; i++) EXPECT_EQ(respawnCalls[i].second, i);
}

TEST_F(ParticleTest, FirstUpdateMovesBySeedingVelocityThenRebirthsAtOrigin) {
    ScriptedRand r({10, 20, 30, 40});
    ParticleSystem ps;
    ASSERT_EQ(ps.Init(1, nullptr), 1);
    // Rebirth draws fade, vx, vy, vz in that order.
    ScriptedRand::values = {5, 59, 0, 31};
    ScriptedRand::calls = 0;
    ps.Update(fakeTicks);
    EXPECT_EQ(ScriptedRand::calls, 4u);
    const Particle& p = ps.particles[0];
    EXPECT_FLOAT_EQ(p.life, 1.5f);
    EXPECT_FLOAT_EQ(p.fadeRate, 0.008f);
    EXPECT_FLOAT_EQ(p.velocity[0], 27.0f);
    EXPECT_FLOAT_EQ(p.velocity[1], -30.0f);
    EXPECT_FLOAT_EQ(p.velocity[2], 1.0f);
    for (int k = 0; k < 3; k++) EXPECT_EQ(p.position[k], 0.0f);

    // The next update moves by the new velocity scaled by 0.01 and the tables.
    ps.Update(fakeTicks);
    EXPECT_FLOAT_EQ(p.position[0], (float)(ps.sinTable[0] * 27.0 * 0.01));
    EXPECT_FLOAT_EQ(p.position[1], (float)(ps.cosTable[0] * -30.0 * 0.01));
    EXPECT_FLOAT_EQ(p.position[2], 0.01f);
    EXPECT_FLOAT_EQ(p.life, 1.5f - 0.008f);
}

TEST_F(ParticleTest, DefaultEmittedLifetimesSpan15To500Updates) {
    auto lifetime = [](int fadeValue) {
        ScriptedRand r({0, 0, 0, 0, fadeValue, 30, 30, 30});
        ParticleSystem ps;
        ps.Init(1, nullptr);
        ps.Update(fakeTicks); // the seeding pass rebirths with the given fade
        int updates = 0;
        ScriptedRand::calls = 0;
        while (ScriptedRand::calls == 0 && updates < 10000) {
            ps.Update(fakeTicks);
            updates++;
        }
        return updates;
    };
    EXPECT_EQ(lifetime(99), 15); // fade 0.102
    int longest = lifetime(0);   // fade 0.003
    EXPECT_GE(longest, 499);
    EXPECT_LE(longest, 501);
}

TEST_F(ParticleTest, SharedUpdateClockGivesTheSecondSystemNoTimeStep) {
    ParticleSystem a, b;
    ASSERT_EQ(a.Init(4, nullptr), 1);
    ASSERT_EQ(b.Init(4, nullptr), 1);
    fakeTicks = 2500;
    a.Update(fakeTicks);
    b.Update(fakeTicks);
    EXPECT_FLOAT_EQ(a.timeStep, 2.5f);
    EXPECT_FLOAT_EQ(b.timeStep, 0.0f);
    EXPECT_FLOAT_EQ(particleShared.lastUpdateSeconds, 2.5f);
    fakeTicks = 2750;
    b.Update(fakeTicks);
    EXPECT_FLOAT_EQ(b.timeStep, 0.25f);
}

TEST_F(ParticleTest, EmptySystemStillAdvancesTheSwirl) {
    ParticleSystem ps;
    ASSERT_EQ(ps.Init(0, nullptr), 1);
    fakeTicks = 1000;
    ps.Update(fakeTicks);
    ps.Render(Draw_Null(), 0, 0, 0, 1); // draws nothing, so no GL context is needed
    EXPECT_FLOAT_EQ(particleShared.swirlAngle, 1.0f * 0.4f);
    ps.rotationSpeed = -0.4f;
    ps.Render(Draw_Null(), 0, 0, 0, 1);
    EXPECT_NEAR(particleShared.swirlAngle, 0.0f, 1e-7);
}

TEST_F(ParticleTest, SystemWithoutSuccessfulInitIsSkipped) {
    ParticleSystem ps; // never initialised: no particles, no tables
    EXPECT_EQ(ps.Ready(), 0);
    fakeTicks = 5000;
    ps.Update(fakeTicks);
    ps.Render(Draw_Null(), 0, 0, 0, 0);
    EXPECT_EQ(particleShared.lastUpdateSeconds, 0.0f);
    EXPECT_EQ(particleShared.swirlAngle, 0.0f);
}
