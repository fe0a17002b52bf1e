#include "platform/timer.h"

#include <SDL.h>
#include <gtest/gtest.h>

namespace {
struct FakeTicks {
    uint32_t now = 0;
    uint32_t step = 0; // added on every read, so a busy-wait advances time
    int reads = 0;
};
uint32_t ReadFake(void* user) {
    FakeTicks* t = static_cast<FakeTicks*>(user);
    t->reads++;
    uint32_t v = t->now;
    t->now += t->step;
    return v;
}
} // namespace

TEST(Timer, MinFrameTimeIsIntegerDivision) {
    ZELKOR_Timer timer;
    EXPECT_EQ(timer.Initialize(60, nullptr), 1);
    EXPECT_EQ(timer.GetMinFrameTime(), 16u);
    timer.Initialize(1000, nullptr);
    EXPECT_EQ(timer.GetMinFrameTime(), 1u);
    timer.Initialize(30, nullptr);
    EXPECT_EQ(timer.GetMinFrameTime(), 33u);
}

TEST(Timer, ElapsedAndFrameWaitSurviveATickWrap) {
    FakeTicks ticks;
    ticks.now = 0xFFFFFFF0u; // 16 ms before the 32-bit tick count wraps
    ZELKOR_Timer timer;
    timer.SetTickSource(ReadFake, &ticks);
    timer.Initialize(60, nullptr);
    EXPECT_EQ(timer.SetBeginDemo(), 0xFFFFFFF0u);
    EXPECT_EQ(timer.GetElapsed(), 0u);

    ticks.now = 0xFFFFFFFAu;
    timer.BeginFrame();
    EXPECT_EQ(timer.GetFrameStart(), 10u);
    ticks.step = 1;
    timer.EndFrame(); // spins across the wrap
    EXPECT_GE(ticks.now - 0xFFFFFFFAu, 16u);
    EXPECT_LE(ticks.now - 0xFFFFFFFAu, 18u);
    ticks.step = 0;
    EXPECT_EQ(timer.GetElapsed(), ticks.now - 0xFFFFFFF0u);
    EXPECT_LT(timer.GetElapsed(), 100u);
}

TEST(Timer, LongFrameDoesNotWait) {
    FakeTicks ticks;
    ZELKOR_Timer timer;
    timer.SetTickSource(ReadFake, &ticks);
    timer.Initialize(60, nullptr);
    timer.SetBeginDemo();
    timer.BeginFrame();
    ticks.now += 40;
    int before = ticks.reads;
    timer.EndFrame();
    EXPECT_EQ(ticks.reads - before, 1);
}

// SDL's own ticks: elapsed time is bounded by the ticks read around it.
TEST(Timer, DefaultTickSourceAdvances) {
    ZELKOR_Timer timer;
    timer.Initialize(1000, nullptr);
    uint32_t before = SDL_GetTicks();
    timer.SetBeginDemo();
    EXPECT_LE(timer.GetElapsed(), SDL_GetTicks() - before);
    timer.BeginFrame();
    timer.EndFrame();
    EXPECT_GE(timer.GetElapsed(), 1u);
}
