// ZELKOR_Sound's slots and the clocks that stand in when there is no music:
// the silent wall clock (file missing or unreadable, sound off) and the
// virtual clock used by frame capture. Audio goes to SDL's dummy driver.
#include "make_mp3.h"
#include "music/sound.h"
#include "support/scratch.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

class SoundTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        scratch = new ScratchDir("sound");
        dir = scratch->Path();
        ASSERT_FALSE(dir.empty());
        mp3 = dir + "/tone.mp3";
        ASSERT_FALSE(MakeSineMp3(mp3, 44100, 2, 0.5).empty());
        garbage = dir + "/garbage.mp3";
        std::vector<uint8_t> noise(20000);
        for (int i = 0; i < 20000; i++) noise[i] = (uint8_t)((i * 7919) >> 3 & 0xFF);
        ASSERT_TRUE(WriteBytes(garbage, noise));
    }
    static void TearDownTestSuite() { delete scratch; }
    void SetUp() override { setenv("SDL_AUDIODRIVER", "dummy", 1); }

    static inline ScratchDir* scratch = nullptr;
    static inline std::string dir, mp3, garbage;
};

static uint32_t fakeTicks = 0;
static uint32_t FakeTicks(void*) {
    return fakeTicks;
}

TEST_F(SoundTest, SlotsFillInOrderAndTheSeventeenthOpenFails) {
    ZELKOR_Sound sound;
    ASSERT_EQ(sound.Initialize(nullptr), 1);
    for (int i = 0; i < 16; i++) {
        // Missing and real files alike take a slot.
        const std::string& name = i % 2 ? mp3 : dir + "/missing.mp3";
        EXPECT_EQ(sound.OpenStream(name.c_str()), i);
        EXPECT_EQ(sound.GetCurrentSlot(), i);
    }
    EXPECT_EQ(sound.OpenStream(mp3.c_str()), -1);
    EXPECT_EQ(sound.GetCurrentSlot(), 15);

    // Closing a real stream frees its slot, which the next open takes again.
    EXPECT_EQ(sound.CloseStream(3), 1);
    EXPECT_EQ(sound.OpenStream(mp3.c_str()), 3);
    EXPECT_EQ(sound.GetCurrentSlot(), 3);
    // A slot whose file failed to open stays taken.
    EXPECT_EQ(sound.CloseStream(2), 1);
    EXPECT_EQ(sound.OpenStream(mp3.c_str()), -1);
    // Out-of-range slots are harmless.
    EXPECT_EQ(sound.CloseStream(16), 1);
    EXPECT_EQ(sound.GetStreamTime(-5), 0u);
    sound.Shutdown();
}

TEST_F(SoundTest, CloseAllStreamsCountsTheSlotsItCloses) {
    ZELKOR_Sound sound;
    ASSERT_EQ(sound.Initialize(nullptr), 1);
    EXPECT_EQ(sound.CloseAllStreams(), 0);
    EXPECT_EQ(sound.OpenStream(mp3.c_str()), 0);
    EXPECT_EQ(sound.CloseAllStreams(), 1);
    EXPECT_EQ(sound.CloseAllStreams(), 0);

    // A failed open keeps its slot, so it is met (and counted) every time.
    EXPECT_EQ(sound.OpenStream(garbage.c_str()), 0);
    EXPECT_EQ(sound.OpenStream(mp3.c_str()), 1);
    EXPECT_EQ(sound.CloseAllStreams(), 2);
    EXPECT_EQ(sound.CloseAllStreams(), 1);
    sound.Shutdown();
}

// Missing or unreadable music: nothing plays, but the clock runs from the
// moment the stream was to start, so the show does not freeze.
TEST_F(SoundTest, MissingOrUnreadableStreamRunsOnASilentClock) {
    for (const std::string& name : {dir + "/missing.mp3", garbage, dir}) {
        SCOPED_TRACE(name);
        ZELKOR_Sound sound;
        ASSERT_EQ(sound.Initialize(nullptr), 1);
        EXPECT_EQ(sound.OpenStream(name.c_str()), 0);
        SDL_Delay(30);
        EXPECT_EQ(sound.GetTime(), 0u); // not started yet
        // The clock counts SDL's ticks from the play call, so each reading is
        // bounded by the ticks read around it, however loaded the machine.
        uint32_t played = SDL_GetTicks();
        EXPECT_EQ(sound.PlayCurrentStream(), 0);
        uint32_t first = sound.GetTime();
        uint32_t afterFirst = SDL_GetTicks();
        SDL_Delay(60);
        uint32_t beforeLater = SDL_GetTicks();
        uint32_t later = sound.GetTime();
        EXPECT_LE(first, afterFirst - played);
        EXPECT_GE(later - first, beforeLater - afterFirst);
        EXPECT_GE(later - first, 50u);
        EXPECT_EQ(sound.GetStreamTime(0), 0u);
        sound.Shutdown();
    }
}

// A track shorter than the programme: at its end the clock goes on silently
// from where the music stopped, without a step back or a jump.
TEST_F(SoundTest, ClockGoesOnPastTheEndOfAShortTrack) {
    std::string shortMp3 = dir + "/short.mp3";
    std::vector<int16_t> pcm = MakeSineMp3(shortMp3, 44100, 2, 0.3);
    ASSERT_FALSE(pcm.empty());
    const uint32_t lengthMs = (uint32_t)(pcm.size() / 2 * 1000 / 44100);
    ZELKOR_Sound sound;
    ASSERT_EQ(sound.Initialize(nullptr), 1);
    ASSERT_EQ(sound.OpenStream(shortMp3.c_str()), 0);
    ASSERT_EQ(sound.PlayCurrentStream(), 1);
    uint32_t last = 0, lastTicks = SDL_GetTicks(), start = lastTicks;
    // A generous limit: the device may start late on a busy machine.
    while (last < lengthMs + 300 && SDL_GetTicks() - start < 30000) {
        SDL_Delay(1);
        uint32_t t = sound.GetTime(), ticks = SDL_GetTicks();
        ASSERT_GE(t, last);
        ASSERT_LE(t - last, (ticks - lastTicks) * 3 / 2 + 2) << "at " << last;
        last = t;
        lastTicks = ticks;
    }
    EXPECT_GE(last, lengthMs + 300) << "the clock stopped at the end of the track";
    EXPECT_EQ(sound.GetStreamTime(0), lengthMs); // the stream itself stays at its end
    sound.Shutdown();
}

// A jump reads exactly the time asked for (not a millisecond short from
// rounding to samples), a pause freezes the clock until resumed, and shutting
// down while paused (the device lock held) does not hang.
TEST_F(SoundTest, SeekAndPauseHoldTheClockExactly) {
    ZELKOR_Sound sound;
    ASSERT_EQ(sound.Initialize(nullptr), 1);
    ASSERT_EQ(sound.OpenStream(mp3.c_str()), 0);
    ASSERT_EQ(sound.PlayCurrentStream(), 1);
    // Right after a jump or a resume the clock may have run on by the ticks
    // that passed (a busy machine; catching up at most 1.5x), never less than
    // the time asked for.
    auto expectFrom = [&](uint32_t ms, uint32_t since) {
        uint32_t t = sound.GetTime();
        EXPECT_GE(t, ms);
        EXPECT_LE(t - ms, (SDL_GetTicks() - since) * 3 / 2 + 2);
    };
    for (uint32_t ms : {321u, 1u, 5u}) {
        uint32_t since = SDL_GetTicks();
        sound.SeekTime(ms);
        expectFrom(ms, since);
    }
    sound.SetPaused(1);
    uint32_t held = sound.GetTime();
    SDL_Delay(60);
    EXPECT_EQ(sound.GetTime(), held);
    uint32_t since = SDL_GetTicks();
    sound.SetPaused(0);
    expectFrom(held, since);
    sound.SetPaused(1);
    SDL_Delay(50); // the audio thread now waits for the lock
    sound.Shutdown();
}

TEST_F(SoundTest, SoundOffClockStartsAtTheFirstRead) {
    ZELKOR_Sound sound; // never initialised, as with sound switched off
    uint32_t before = SDL_GetTicks();
    uint32_t first = sound.GetTime();
    EXPECT_LE(first, SDL_GetTicks() - before);
    SDL_Delay(40);
    EXPECT_GE(sound.GetTime(), first + 30);
    EXPECT_EQ(sound.GetStreamTime(0), 0u);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    sound.Shutdown();
}

TEST_F(SoundTest, VirtualClockFollowsTheTickSourceWithoutAudio) {
    ZELKOR_Sound sound;
    fakeTicks = 1000;
    sound.SetClockSource(FakeTicks, nullptr);
    ASSERT_EQ(sound.Initialize(nullptr), 1);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    EXPECT_EQ(sound.OpenStream(mp3.c_str()), 0);
    fakeTicks = 1700;
    EXPECT_EQ(sound.PlayCurrentStream(), 1);
    fakeTicks = 1700 + 33;
    EXPECT_EQ(sound.GetTime(), 33u);
    fakeTicks = 1700 + 123456;
    EXPECT_EQ(sound.GetTime(), 123456u);
    sound.Shutdown();

    // Without a play, the first read starts it.
    ZELKOR_Sound capture;
    capture.SetClockSource(FakeTicks, nullptr);
    fakeTicks = 50;
    EXPECT_EQ(capture.GetTime(), 0u);
    fakeTicks = 80;
    EXPECT_EQ(capture.GetTime(), 30u);
}

TEST_F(SoundTest, InitializeFailsWithoutAnAudioOutput) {
    setenv("SDL_AUDIODRIVER", "no-such-driver", 1);
    ZELKOR_Sound sound;
    EXPECT_EQ(sound.OpenStream(mp3.c_str()), 0);
    EXPECT_EQ(sound.Initialize(nullptr), 0);
    EXPECT_EQ(SDL_WasInit(SDL_INIT_AUDIO), 0u);
    sound.Shutdown(); // closes the stream opened before, and is safe twice
    sound.Shutdown();
    EXPECT_EQ(sound.CloseAllStreams(), 0);
}
