// LineSystem seeding and rebirth.
#include "platform/draw.h"
#include "scenes/line_system.h"

#include "scripted_rand.h"

#include <gtest/gtest.h>

TEST(LineSystem, InitDrawsSevenValuesPerParticleInOrder) {
    // x, y, z, vx, vy, vz, fade
    ScriptedRand r({1, 2, 8, 0, 49, 25, 37});
    LineSystem ls;
    ASSERT_EQ(ls.Init(1, 0.7f, 0.8f, 0.9f), 1);
    EXPECT_EQ(ScriptedRand::calls, 7u);
    const Particle& p = ls.particles[0];
    EXPECT_EQ(p.position[0], 1.0f);
    EXPECT_EQ(p.position[1], 2.0f);
    EXPECT_EQ(p.position[2], 3.0f); // 8 % 5
    EXPECT_EQ(p.velocity[0], -260.0f);
    EXPECT_EQ(p.velocity[1], 240.0f);
    EXPECT_EQ(p.velocity[2], 0.0f);
    EXPECT_FLOAT_EQ(p.fadeRate, 0.037f);
    EXPECT_EQ(p.life, 0.0f);
    EXPECT_EQ(p.active, 1);
    EXPECT_FLOAT_EQ(p.colour[0], 0.7f);
    EXPECT_FLOAT_EQ(p.colour[2], 0.9f);
}

TEST(LineSystem, FirstUpdateRebirthsWithSmallNegativeVelocitiesAndKeepsColour) {
    ScriptedRand r({0, 0, 0, 0, 0, 0, 0});
    LineSystem ls;
    ASSERT_EQ(ls.Init(2, 1.0f, 0.5f, 0.25f), 1);
    // fade, x, y, z, vx, vy, vz
    ScriptedRand::values = {20, 4, 3, 2, 9, 0, 5};
    ScriptedRand::calls = 0;
    ls.Update();
    EXPECT_EQ(ScriptedRand::calls, 14u); // both particles reborn
    const Particle& p = ls.particles[0];
    EXPECT_FLOAT_EQ(p.life, 0.8f);
    EXPECT_FLOAT_EQ(p.fadeRate, 0.02f);
    EXPECT_EQ(p.position[0], 4.0f);
    EXPECT_EQ(p.position[1], 3.0f);
    EXPECT_EQ(p.position[2], 2.0f);
    EXPECT_FLOAT_EQ(p.velocity[0], -0.115f);
    EXPECT_FLOAT_EQ(p.velocity[1], -0.15f);
    EXPECT_FLOAT_EQ(p.velocity[2], -0.125f);
    EXPECT_FLOAT_EQ(p.colour[1], 0.5f);
    // Then it drifts without the 0.01 factor, scaled by its table entries.
    ls.Update();
    EXPECT_FLOAT_EQ(p.position[1], 3.0f - 0.15f); // cos 0 = 1
    EXPECT_FLOAT_EQ(p.position[2], 2.0f - 0.125f);
    EXPECT_FLOAT_EQ(p.life, 0.78f);
    const Particle& q = ls.particles[1]; // reborn from the repeated last value 5
    EXPECT_FLOAT_EQ(q.velocity[0], -0.135f);
    EXPECT_FLOAT_EQ(q.position[0], (float)(0.0 + (double)ls.sinTable[1] * q.velocity[0]));
    EXPECT_NE(q.position[0], 0.0f);
}

TEST(LineSystem, ZeroFadeRateNeverRebirths) {
    ScriptedRand r({0});
    LineSystem ls;
    ASSERT_EQ(ls.Init(1, 1, 1, 1), 1);
    ls.Update(); // all values 0: fade 0 after the rebirth
    ScriptedRand::calls = 0;
    for (int i = 0; i < 2000; i++) ls.Update();
    EXPECT_EQ(ScriptedRand::calls, 0u);
    EXPECT_FLOAT_EQ(ls.particles[0].life, 0.8f);
    EXPECT_LT(ls.particles[0].position[2], -200.0f);
}

TEST(LineSystem, WithoutSuccessfulInitUpdateAndRenderDoNothing) {
    LineSystem ls;
    EXPECT_EQ(ls.Ready(), 0);
    ls.Update();
    ls.Render(Draw_Null(), 0, 0, 0);
}
