// The wire knot's corner paths, without GL.
#include "scenes/ribbon_scenes.h"

#include <gtest/gtest.h>

#include <cmath>

TEST(RibbonQuad, CornersStayInsideTheKnotsBoxForAnyPhase) {
    // Elapsed times from 0 to about 50 days of the frame timer.
    for (double ms = 0; ms < 4.3e9; ms = ms * 1.37 + 17.0) {
        float T = (float)(ms * 0.002);
        for (int i = 0; i < 50; i++) {
            float q[4][3];
            RibbonQuad(i, T, q);
            for (const float* v : q) {
                EXPECT_LE(std::fabs(v[0]), 1.0f);
                EXPECT_LE(std::fabs(v[1]), 1.0f);
                EXPECT_GE(v[2], -6.0f);
                EXPECT_LE(v[2], -4.0f);
            }
        }
    }
    // The quads differ from each other and move with the timer.
    float a[4][3], b[4][3], c[4][3];
    RibbonQuad(0, 1.0f, a);
    RibbonQuad(1, 1.0f, b);
    RibbonQuad(0, 1.5f, c);
    EXPECT_NE(a[0][0], b[0][0]);
    EXPECT_NE(a[0][0], c[0][0]);
    EXPECT_FLOAT_EQ(a[0][0], (float)-std::sin(1.0));
    EXPECT_FLOAT_EQ(a[0][2], (float)(-5.0 - std::cos((double)(float)2.1) * std::sin(1.0)));
}
