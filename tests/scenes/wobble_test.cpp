// The wobble tube's geometry and the spiral respawn of its particles.
#include "scenes/wobble_scene.h"

#include "scripted_rand.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(SpiralRespawn, BirthsOnTheUnitCircle57RadiansApart) {
    ScriptedRand r({45, 99, 0, 0});
    particleShared.spiralCounter = 0;
    Particle p;
    SpiralRespawn(&p, 1234);
    EXPECT_EQ(particleShared.spiralCounter, 57);
    EXPECT_EQ(p.active, 1);
    EXPECT_FLOAT_EQ(p.life, 0.5f);
    EXPECT_FLOAT_EQ(p.position[0], 0.0f); // sin 0
    EXPECT_FLOAT_EQ(p.position[1], 1.0f); // cos 0
    EXPECT_EQ(p.position[2], 0.0f);
    EXPECT_EQ(p.velocity[0], 0.0f);
    EXPECT_EQ(p.velocity[1], 0.0f);
    // vz first, then fade.
    EXPECT_FLOAT_EQ(p.velocity[2], 200.0f);
    EXPECT_FLOAT_EQ(p.fadeRate, 0.102f);
    EXPECT_FLOAT_EQ(p.colour[0], 0.4f);

    SpiralRespawn(&p, 0);
    EXPECT_EQ(particleShared.spiralCounter, 114);
    EXPECT_FLOAT_EQ(p.position[0], (float)std::sin(57.0));
    EXPECT_FLOAT_EQ(p.position[1], (float)std::cos(57.0));
    EXPECT_FLOAT_EQ(p.velocity[2], -250.0f);
    EXPECT_FLOAT_EQ(p.fadeRate, 0.003f);
}

TEST(SpiralRespawn, CounterWrapsInsteadOfOverflowing) {
    ScriptedRand r({0});
    Particle p;
    particleShared.spiralCounter = 2147483600; // 47 short of the largest value
    SpiralRespawn(&p, 0);
    EXPECT_EQ(particleShared.spiralCounter, (int32_t)(2147483600u + 57u));
    SpiralRespawn(&p, 0); // negative now, truncated towards zero: a step of 58
    EXPECT_EQ(particleShared.spiralCounter, -2147483639 + 58);
}

TEST(SpiralRespawn, SeedingASystemAdvancesTheCounterForEveryParticle) {
    ScriptedRand r({7});
    particleShared.spiralCounter = 0;
    ParticleSystem ps;
    ASSERT_EQ(ps.InitWithRespawn(1500, nullptr, SpiralRespawn), 1);
    EXPECT_EQ(particleShared.spiralCounter, 1500 * 57);
    EXPECT_EQ(ScriptedRand::calls, 3000u);
}

TEST(WobbleTube, FirstCallGivesCircles1Point5AroundTheSnakeCentres) {
    WobbleTube tube;
    ComputeWobbleTube(tube, 0.0f, 0.0f);
    for (int j = 0; j < 16; j++) {
        double cx = std::cos(0.65 * j), cy = std::sin(0.4 * j);
        for (int k = 0; k < 16; k++) {
            double dx = tube[j][k][0] - cx, dy = tube[j][k][1] - cy;
            EXPECT_NEAR(std::sqrt(dx * dx + dy * dy), 1.5, 1e-5) << j << " " << k;
        }
        EXPECT_NEAR(tube[j][0][0], 1.5 + cx, 1e-6);
        EXPECT_NEAR(tube[j][0][1], cy, 1e-6);
        EXPECT_NEAR(tube[j][4][0], cx, 1e-6); // a quarter turn
        EXPECT_NEAR(tube[j][4][1], 1.5 + cy, 1e-6);
    }
}
