// The show's music as built into build/show: its length matches the
// timetable, it stays below -1 dBFS, and it changes where the scenes change;
// measured as players and broadcasters do, its loudness, range and ending.
#include "loudness.h"
#include "mix.h"
#include "mp3.h"
#include "support/scratch.h"
#include "timetable.h"
#include "voice.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

double RmsDb(const StereoBuffer& b, double fromMs, double toMs) {
    size_t a = (size_t)(fromMs * SAMPLE_RATE / 1000), e = (size_t)(toMs * SAMPLE_RATE / 1000);
    double sum = 0;
    for (size_t i = a; i < e && i < b.Frames(); i++)
        sum += b.left[i] * b.left[i] + b.right[i] * b.right[i];
    return 10 * std::log10(sum / (2.0 * (e - a)) + 1e-30);
}

// The timetable and the decoded music, read once for all the checks.
class ShowSound : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        ZK_Status error;
        loaded = (error = ParseTimetable(ReadText(ZK_SOURCE_DIR "/assets/timetable.txt"), &entries))
                     .ok &&
                 (error = DecodeMp3(ZK_BINARY_DIR "/show/sound.mp3", &pcm)).ok;
        if (!loaded) printf("cannot load the show: %s\n", ZK_StatusText(error).c_str());
    }
    void SetUp() override { ASSERT_TRUE(loaded); }
    static inline bool loaded = false;
    static inline std::vector<TimetableEntry> entries;
    static inline StereoBuffer pcm;
};

TEST_F(ShowSound, LengthPeakAndSections) {

    double seconds = pcm.Frames() / (double)SAMPLE_RATE;
    EXPECT_NEAR(seconds, TimetableEnd(entries) / 1000.0, 1.0);
    double peak = LevelDb(PeakLevel(pcm));
    EXPECT_LT(peak, -1.0);
    EXPECT_GT(peak, -12.0); // and not needlessly quiet
    printf("sound.mp3: %.3f s, peak %.2f dBFS\n", seconds, peak);

    // Stereo, not two copies of one channel.
    double difference = 0;
    for (size_t i = 0; i < pcm.Frames(); i += 7)
        difference += std::fabs(pcm.left[i] - pcm.right[i]);
    EXPECT_GT(difference, 1.0);

    // Every scene change is heard: the level of the second before and the
    // second after each one differ, or the sound changes its character.
    int audible = 0, changes = 0;
    for (const TimetableEntry& e : entries) {
        if (e.start < 2000 || e.name == "ende") continue;
        changes++;
        double before = RmsDb(pcm, e.start - 1000.0, e.start),
               after = RmsDb(pcm, e.start, e.start + 1000.0);
        if (std::fabs(before - after) > 1.0) audible++;
    }
    EXPECT_GE(audible, changes * 2 / 3) << audible << " of " << changes;
    // The end fades out: the last second is far quieter than the middle.
    EXPECT_LT(RmsDb(pcm, seconds * 1000 - 1000, seconds * 1000), RmsDb(pcm, 60000, 70000) - 20);
}

TEST_F(ShowSound, LoudnessRangeAndSilentEnd) {
    Loudness whole;
    ASSERT_TRUE(MeasureLoudness(pcm, 0, pcm.Frames(), &whole));
    EXPECT_NEAR(whole.integrated, -14.0, 1.0);
    EXPECT_LE(whole.truePeak, -1.0);
    EXPECT_GE(whole.range, 6.0);
    // Every scene moves: no scene is one flat block of sound.
    for (const TimetableEntry& e : entries) {
        if (e.name == "preload" || e.name == "ende") continue;
        Loudness part;
        ASSERT_TRUE(MeasureLoudness(pcm, (size_t)e.start * SAMPLE_RATE / 1000,
                                    ((size_t)e.start + e.length) * SAMPLE_RATE / 1000, &part));
        EXPECT_GE(part.range, 1.5) << e.name;
    }
    // The music has faded away for good half a second before "ende" quits:
    // no effect tail bursts in at the very end.
    uint32_t ende = 0;
    for (const TimetableEntry& e : entries)
        if (e.name == "ende") ende = e.start;
    ASSERT_GT(ende, 500u);
    StereoBuffer tail;
    size_t from = (size_t)(ende - 500) * SAMPLE_RATE / 1000;
    ASSERT_LT(from, pcm.Frames());
    tail.left.assign(pcm.left.begin() + from, pcm.left.end());
    tail.right.assign(pcm.right.begin() + from, pcm.right.end());
    EXPECT_LT(LevelDb(PeakLevel(tail)), -60.0);
}

} // namespace
