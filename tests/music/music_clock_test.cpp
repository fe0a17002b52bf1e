// The music clock's interpolation between device buffers, fed with made-up
// callback times so every case is exact.
#include "music/music_clock.h"

#include <gtest/gtest.h>

#include <cstdlib>

static const int RATE = 44100;
static const int BUFFER = 882; // 20 ms

TEST(MusicClock, ZeroUntilTheFirstBufferThenInterpolatesUpToItsEnd) {
    MusicClock c;
    MusicClock_Reset(&c);
    EXPECT_EQ(MusicClock_Read(&c, 5000, RATE), 0.0);

    MusicClock_Advance(&c, BUFFER, 10000);
    EXPECT_DOUBLE_EQ(MusicClock_Read(&c, 10000, RATE), 0.0);
    EXPECT_NEAR(MusicClock_Read(&c, 15000, RATE), 5.0, 1e-9);
    // A late callback: the clock waits at the end of what the device took.
    EXPECT_NEAR(MusicClock_Read(&c, 29000, RATE), 19.0, 1e-9);
    EXPECT_NEAR(MusicClock_Read(&c, 36000, RATE), 20.0, 1e-9);
    EXPECT_EQ(MusicClock_Frames(&c), BUFFER);

    // The next buffer arrives 16 ms late; catching up runs at 1.5x real time.
    MusicClock_Advance(&c, BUFFER, 46000);
    EXPECT_NEAR(MusicClock_Read(&c, 46000, RATE), 20.0, 1e-9);
    EXPECT_NEAR(MusicClock_Read(&c, 50000, RATE), 24.0, 1e-9);
}

TEST(MusicClock, CatchesUpAtBoundedSpeedAfterAnEarlyBuffer) {
    MusicClock c;
    MusicClock_Reset(&c);
    MusicClock_Advance(&c, BUFFER, 0);
    EXPECT_NEAR(MusicClock_Read(&c, 10000, RATE), 10.0, 1e-9);
    // The device takes the next buffer at once (position jumps to 20 ms).
    MusicClock_Advance(&c, BUFFER, 11000);
    EXPECT_NEAR(MusicClock_Read(&c, 12000, RATE), 13.0, 1e-9);
    EXPECT_NEAR(MusicClock_Read(&c, 13000, RATE), 14.5, 1e-9);
    // Sparse reads may cover a larger step, but never beyond the device.
    EXPECT_NEAR(MusicClock_Read(&c, 30000, RATE), 39.0, 1e-9);
    EXPECT_NEAR(MusicClock_Read(&c, 60000, RATE), 40.0, 1e-9);
}

TEST(MusicClock, HoldsTheTrackLengthOnceTheStreamRanDry) {
    MusicClock c;
    MusicClock_Reset(&c);
    MusicClock_Advance(&c, BUFFER, 0);
    MusicClock_Advance(&c, 300, 20000); // the last, short buffer
    for (uint64_t t = 20000; t < 2000000; t += 7000) MusicClock_Read(&c, t, RATE);
    double end = (BUFFER + 300) * 1000.0 / RATE;
    EXPECT_DOUBLE_EQ(MusicClock_Read(&c, 5000000, RATE), end);
    EXPECT_EQ((uint32_t)MusicClock_Read(&c, 9000000, RATE),
              (uint32_t)((BUFFER + 300) * 1000 / RATE));
}

// A device whose callbacks come with up to 15 ms of scheduling delay (and
// early ones catching up): reads every millisecond never go back, never step
// by more than 2 ms, and never pass what the device has taken.
TEST(MusicClock, JitteryDeviceGivesASmoothMonotonicClock) {
    MusicClock c;
    MusicClock_Reset(&c);
    srand(7);
    uint64_t nominal = 0, nextCallback = 0;
    int64_t taken = 0;
    uint32_t last = 0;
    int worst = 0;
    for (uint64_t now = 0; now < 20000000; now += 1000) {
        while (nextCallback <= now) {
            MusicClock_Advance(&c, BUFFER, nextCallback);
            taken += BUFFER;
            nominal += 20000;
            nextCallback = nominal + (uint64_t)(rand() % 15000);
            if (nextCallback < nominal - 20000 + 1) nextCallback = nominal;
        }
        uint32_t v = (uint32_t)MusicClock_Read(&c, now, RATE);
        ASSERT_GE(v, last);
        ASSERT_LE(v, (uint32_t)(taken * 1000 / RATE));
        if ((int)(v - last) > worst) worst = (int)(v - last);
        last = v;
    }
    EXPECT_LE(worst, 2);
    // Over 20 s the clock stays within one buffer and the worst delay of real time.
    EXPECT_GT(last, 20000u - 40u);
}
