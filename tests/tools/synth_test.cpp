// zksynth: score parsing, timing, voices, effects, the mix and the MP3 round trip.
#include "master.h"
#include "mix.h"
#include "mp3.h"
#include "score.h"
#include "support/scratch.h"
#include "timetable.h"
#include "voice.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>

namespace {

Score MustParse(const std::string& text) {
    Score s;
    ZK_Status error;
    EXPECT_TRUE((error = ParseScore(text, &s)).ok) << ZK_StatusText(error);
    return s;
}

std::string ParseError(const std::string& text) {
    Score s;
    ZK_Status error;
    EXPECT_FALSE((error = ParseScore(text, &s)).ok);
    return error.problem;
}

const char* kBar = " . . . . . . . . . . . . . . .";

// Counts upward zero crossings of a signal over its whole length.
int Crossings(const std::vector<float>& v) {
    int n = 0;
    for (size_t i = 1; i < v.size(); i++)
        if (v[i - 1] < 0 && v[i] >= 0) n++;
    return n;
}

TEST(SynthScore, NoteNames) {
    EXPECT_EQ(ParseKey("C4"), 60);
    EXPECT_EQ(ParseKey("A4"), 69);
    EXPECT_EQ(ParseKey("C#3"), 49);
    EXPECT_EQ(ParseKey("Bb2"), 46);
    EXPECT_EQ(ParseKey("C-1"), 0);
    EXPECT_EQ(ParseKey("G9"), 127);
    for (const char* bad : {"H3", "C", "C10", "c4", "C#", "Ab9", "", "x"})
        EXPECT_EQ(ParseKey(bad), -1) << bad;
}

TEST(SynthScore, StepsHoldsChordsAndComments) {
    Score s = MustParse("# a comment\n"
                        "inst p saw   # after blank space\n"
                        "pat a p C#3 - - . Eb4+G4! . x o . . . . . . . . _\n"
                        "pat a p . . . . . . . . . . . . . . . .\n"
                        "sec one 1 : a\n");
    ASSERT_EQ(s.patterns.size(), 1u);
    const Pattern& p = s.patterns[0];
    EXPECT_EQ(p.steps, 48); // a bar of steps, a rest bar, a bar of dots
    ASSERT_EQ(p.notes.size(), 4u);
    EXPECT_EQ(p.notes[0].keys, std::vector<int>{49}); // the sharp is not a comment
    EXPECT_EQ(p.notes[0].length, 3);
    EXPECT_EQ(p.notes[1].keys, (std::vector<int>{63, 67}));
    EXPECT_FLOAT_EQ(p.notes[1].velocity, 1.0f);
    EXPECT_FLOAT_EQ(p.notes[3].velocity, 0.5f);
    EXPECT_EQ(p.notes[3].step, 7);
    EXPECT_EQ(p.notes[3].length, 1);
}

TEST(SynthScore, HoldAcrossLines) {
    Score s = MustParse(std::string("inst p saw\npat a p") + kBar + " C3\npat a p - -" +
                        " . . . . . . . . . . . . . .\nsec x 2 : a\n");
    ASSERT_EQ(s.patterns[0].notes.size(), 1u);
    EXPECT_EQ(s.patterns[0].notes[0].step, 15);
    EXPECT_EQ(s.patterns[0].notes[0].length, 3);
}

TEST(SynthScore, ErrorsNameTheLine) {
    EXPECT_EQ(ParseError("inst p saw\npat a p C3 . .\n"),
              "line 2: pattern line has 3 steps, not a multiple of 16");
    EXPECT_NE(ParseError("pat a nobody C3\n").find("line 1: unknown instrument 'nobody'"),
              std::string::npos);
    EXPECT_NE(ParseError("inst p saw\npat a p -" + std::string(kBar) + "\n").find("holds nothing"),
              std::string::npos);
    EXPECT_NE(ParseError("inst p saw res=1.5\n").find("res"), std::string::npos);
    EXPECT_NE(ParseError("inst p saw\ninst p sine\n").find("twice"), std::string::npos);
    EXPECT_NE(ParseError("tempo fast\n").find("bad number"), std::string::npos);
    EXPECT_NE(ParseError("inst p saw\nsec s 0 : \n").find("bars"), std::string::npos);
    EXPECT_NE(ParseError("inst p saw\nsec s 2 : missing\n").find("unknown pattern"),
              std::string::npos);
    EXPECT_EQ(ParseError("inst p saw\n"), "no sections: the score plays nothing");
}

// Past these a voice renders infinities or asks for gigabytes; at their edges
// it stays finite.
TEST(SynthScore, SettingsOnlyWithinWhatTheVoicesRender) {
    const char* bad[][2] = {{"saw r=1e9", "r is 0 to 60000 ms"},
                            {"kick decay=70000", "decay is 0 to 60000 ms"},
                            {"saw fdecay=-5", "fdecay is 0 to 60000 ms"},
                            {"supersaw detune=1e6", "detune is 0 to 24 semitones"},
                            {"saw tr=49", "tr is -48 to 48 semitones"},
                            {"saw vibdepth=13", "vibdepth is 0 to 12 semitones"},
                            {"hat pitch=30000", "pitch is 0 to 20000 Hz"},
                            {"saw cut=5", "cut is at least 10 Hz"},
                            {"supersaw voices=2.5", "voices is a whole number from 1 to 16"}};
    for (auto& b : bad)
        EXPECT_EQ(ParseError(std::string("inst i ") + b[0] + "\n"), std::string("line 1: ") + b[1]);
    std::string bar = std::string("inst p saw\npat a p") + kBar + " .\n";
    EXPECT_EQ(ParseError(bar + "sec s 1000 : a\nsec s 1000 : a\nsec s 1000 : a\nsec s 1 : a\n"),
              "line 6: the score lasts more than 30 minutes");
    EXPECT_EQ(ParseError("tempo 20\n" + bar + "sec s 151 : a\n"),
              "the score lasts more than 30 minutes");

    Score edge = MustParse("inst s supersaw voices=16 detune=24 tr=48 vib=9 vibdepth=12\n"
                           "inst h hat pitch=20000 decay=300\ninst c clap pitch=20000\n"
                           "inst f fm ratio=50 index=50 tr=48\n" +
                           bar + "sec s 1 : a\n");
    for (const Instrument& in : edge.instruments) {
        NoteRequest n;
        n.keys = {127};
        n.gate = 4000;
        std::vector<float> l, r;
        RenderVoice(in, n, &l, &r);
        for (size_t i = 0; i < l.size(); i++)
            ASSERT_TRUE(std::fabs(l[i]) < 100 && std::fabs(r[i]) < 100) << in.name << " at " << i;
    }
}

TEST(SynthScore, InheritanceTranspositionAndSweeps) {
    Score s = MustParse(std::string("inst a saw cut=300 res=0.5\ninst b a gain=0.2\n"
                                    "pat p b C3") +
                        kBar + "\nsec one 2 : p\nsec two 3 sweep=b:0.5:4 fadeout : p+7 p-12\n");
    ASSERT_EQ(s.instruments.size(), 2u);
    EXPECT_FLOAT_EQ(s.instruments[1].cutoff, 300);
    EXPECT_FLOAT_EQ(s.instruments[1].resonance, 0.5f);
    EXPECT_FLOAT_EQ(s.instruments[1].gain, 0.2f);
    ASSERT_EQ(s.sections.size(), 2u);
    EXPECT_EQ(s.sections[1].startBar, 2);
    EXPECT_TRUE(s.sections[1].fadeOut);
    EXPECT_EQ(s.sections[1].uses[0].transpose, 7);
    EXPECT_EQ(s.sections[1].uses[1].transpose, -12);
    EXPECT_EQ(s.sections[1].sweeps[0].instrument, 1);
    EXPECT_FLOAT_EQ(s.sections[1].sweeps[0].to, 4);
    EXPECT_EQ(s.TotalBars(), 5);
}

TEST(SynthTiming, StepsAndSongLength) {
    Score s =
        MustParse(std::string("tempo 120\ninst p saw\npat a p C3") + kBar + "\nsec x 88 : a\n");
    EXPECT_DOUBLE_EQ(s.BarMs(), 2000);
    EXPECT_EQ(StepSample(s, 1), 5513); // 5512.5 rounds up
    EXPECT_EQ(StepSample(s, 16), 88200);
    EXPECT_EQ(SongSamples(s), 176 * 44100);
}

TEST(SynthTimetable, SceneChangesMustMeetSections) {
    Score s = MustParse(std::string("inst p saw\npat a p C3") + kBar +
                        "\nsec one 2 : a\nsec two 2 : a\nsec end 1 :\n");
    std::vector<TimetableEntry> entries;
    ZK_Status error;
    ASSERT_TRUE(
        (error = ParseTimetable("# programme\n0 3000 preload\n0 4000 scene1\n4000 4000 scene2\n"
                                "8000 2000 ende\n",
                                &entries))
            .ok)
        << ZK_StatusText(error);
    ASSERT_EQ(entries.size(), 4u);
    EXPECT_EQ(TimetableEnd(entries), 10000u);
    EXPECT_TRUE((error = CheckScoreAgainstTimetable(s, entries)).ok) << ZK_StatusText(error);

    // "ende" at 9000 ms falls inside the last section: rejected, naming the line.
    error = ParseTimetable("0 4000 scene1\n4000 5000 scene2\n9000 1000 ende\n", &entries);
    EXPECT_FALSE((error = CheckScoreAgainstTimetable(s, entries)).ok);
    EXPECT_NE(ZK_StatusText(error).find("line 3: ende starts at 9000"), std::string::npos)
        << ZK_StatusText(error);

    // Boundaries right but the programme longer than the music.
    error = ParseTimetable("0 4000 scene1\n4000 4000 scene2\n8000 3000 ende\n", &entries);
    EXPECT_FALSE((error = CheckScoreAgainstTimetable(s, entries)).ok);
    EXPECT_NE(ZK_StatusText(error).find("10000 ms, the timetable 11000 ms"), std::string::npos)
        << ZK_StatusText(error);

    // Names as zelkor tmg takes them: quoted, holding blanks or '#'.
    ASSERT_TRUE((error = ParseTimetable("0 4000 \"title #1\"  # the card\n", &entries)).ok)
        << ZK_StatusText(error);
    EXPECT_EQ(entries[0].name, "title #1");

    EXPECT_FALSE((error = ParseTimetable("0 1000\n", &entries)).ok);
    EXPECT_FALSE((error = ParseTimetable("-5 1000 scene1\n", &entries)).ok);
    EXPECT_FALSE((error = ParseTimetable("0 99999999999 scene1\n", &entries)).ok);
}

TEST(SynthVoice, PitchEnvelopeAndLength) {
    Instrument sine;
    sine.wave = Wave::Sine;
    sine.attack = 0;
    sine.decay = 0;
    sine.sustain = 1;
    sine.release = 100;
    NoteRequest n;
    n.keys = {69};
    n.velocity = 1;
    n.gate = SAMPLE_RATE; // one second
    std::vector<float> l, r;
    RenderVoice(sine, n, &l, &r);
    EXPECT_EQ(l.size(), (size_t)(SAMPLE_RATE + SAMPLE_RATE / 10 + 1));
    std::vector<float> gated(l.begin(), l.begin() + SAMPLE_RATE);
    EXPECT_NEAR(Crossings(gated), 440, 1);
    EXPECT_NEAR(std::fabs(l.back()), 0.0f, 1e-3f); // the release ends in silence
    EXPECT_EQ(l, r);

    Instrument e;
    e.attack = 10;
    e.decay = 100;
    e.sustain = 0.5f;
    e.release = 200;
    EXPECT_FLOAT_EQ(EnvelopeLevel(e, 0, 1000), 0);
    EXPECT_FLOAT_EQ(EnvelopeLevel(e, 5, 1000), 0.5f);
    EXPECT_FLOAT_EQ(EnvelopeLevel(e, 10, 1000), 1);
    EXPECT_NEAR(EnvelopeLevel(e, 900, 1000), 0.5f, 1e-4f);
    EXPECT_LT(EnvelopeLevel(e, 1100, 1000), 0.5f * 0.25f);
    EXPECT_FLOAT_EQ(EnvelopeLevel(e, 1200, 1000), 0);
    // A note released during its attack falls from where it got to.
    EXPECT_LE(EnvelopeLevel(e, 6, 5), 0.5f);
}

TEST(SynthVoice, OscillatorsStayBoundedAndDrumsEnd) {
    for (Wave w : {Wave::Saw, Wave::Square, Wave::Tri, Wave::SuperSaw, Wave::Fm, Wave::Noise}) {
        Instrument in;
        in.wave = w;
        in.voices = 5;
        in.detune = 0.3f;
        in.width = 1;
        in.drive = 1;
        NoteRequest n;
        n.keys = {40, 52};
        n.gate = 8000;
        std::vector<float> l, r;
        RenderVoice(in, n, &l, &r);
        float peak = 0;
        for (size_t i = 0; i < l.size(); i++)
            peak = std::max(peak, std::max(std::fabs(l[i]), std::fabs(r[i])));
        EXPECT_GT(peak, 0.05f) << (int)w;
        EXPECT_LT(peak, 4.0f) << (int)w;
    }
    for (Wave w : {Wave::Kick, Wave::Snare, Wave::Hat, Wave::Clap}) {
        Instrument in;
        in.wave = w;
        in.decay = 150;
        NoteRequest n;
        n.keys = {60};
        std::vector<float> l, r;
        RenderVoice(in, n, &l, &r);
        EXPECT_EQ(l.size(), (size_t)(150 * SAMPLE_RATE / 1000 + 1));
        float head = 0;
        for (size_t i = 0; i < 2000; i++) head = std::max(head, std::fabs(l[i]));
        EXPECT_GT(head, 0.05f) << (int)w;
        EXPECT_LT(std::fabs(l.back()), 1e-3f) << (int)w; // no click at the cut
    }
}

TEST(SynthVoice, LowPassFilter) {
    auto gainAt = [](float hz, int mode) {
        Svf f;
        f.Set(500, 0.1f);
        float peak = 0;
        for (int n = 0; n < SAMPLE_RATE / 2; n++) {
            float y = f.Run((float)std::sin(2 * M_PI * hz * n / SAMPLE_RATE), mode);
            if (n > SAMPLE_RATE / 4) peak = std::max(peak, std::fabs(y));
        }
        return LevelDb(peak);
    };
    EXPECT_NEAR(gainAt(60, 0), 0, 0.5);
    EXPECT_LT(gainAt(8000, 0), -40);
    EXPECT_LT(gainAt(60, 2), -25); // high-pass
    EXPECT_NEAR(gainAt(8000, 2), 0, 0.5);
}

TEST(SynthMix, DelayBouncesBetweenSides) {
    StereoBuffer b;
    b.left.assign(1000, 0.0f);
    b.right.assign(1000, 0.0f);
    b.left[0] = b.right[0] = 1;
    ApplyDelay(&b, 100, 0.5f);
    EXPECT_FLOAT_EQ(b.left[0], 0);
    // First echo on the left after one delay, the next on the right after two.
    int firstLeft = -1, firstRight = -1;
    for (int i = 0; i < 1000; i++) {
        if (firstLeft < 0 && std::fabs(b.left[i]) > 1e-6f) firstLeft = i;
        if (firstRight < 0 && std::fabs(b.right[i]) > 1e-6f) firstRight = i;
    }
    EXPECT_EQ(firstLeft, 100);
    EXPECT_EQ(firstRight, 200);
    EXPECT_LT(b.right[200], b.left[100]); // damped, and scaled by the feedback
}

TEST(SynthMix, RenderIsExactRepeatableAndNormalised) {
    Score s = MustParse("tempo 240\npeak -6\ndelay 3 0.4 1\n"
                        "inst k kick\ninst p saw a=1 d=50 s=0.5 r=20 delay=0.5 reverb=0.3\n"
                        "pat d k . . . . x . . . x . . . x . . .\n"
                        "pat m p . . . . C3 - . . G3 . . . C4+Eb4 - - -\n"
                        "sec a 2 fadein : d m\nsec b 2 : d m+5\n");
    StereoBuffer one, two;
    RenderScore(s, &one);
    RenderScore(s, &two);
    EXPECT_EQ(one.left, two.left);
    EXPECT_EQ(one.right, two.right);
    EXPECT_EQ((int64_t)one.Frames(), SongSamples(s));
    EXPECT_NEAR(LevelDb(PeakLevel(one)), -6.0, 1e-3);
    // Nothing sounds before the first note on step 4.
    int64_t first = StepSample(s, 4);
    for (int64_t i = 0; i < first; i++) ASSERT_EQ(one.left[i], 0.0f) << i;
    EXPECT_NE(one.left[first + 50], 0.0f);
    // The fade-in keeps the first bar of the song far quieter than the third.
    auto energy = [&](int bar) {
        double e = 0;
        for (int64_t i = StepSample(s, bar * 16); i < StepSample(s, bar * 16 + 16); i++)
            e += one.left[i] * one.left[i];
        return e;
    };
    EXPECT_LT(energy(0), energy(2) * 0.25);
}

TEST(SynthMix, EffectTailsStaySilentAfterAFadeOut) {
    // The echoes and the reverb still ring when a fade-out ends; the silent
    // section after it must not bring them back.
    Score s = MustParse("tempo 240\ndelay 3 0.8 1\nreverb 0.95 0.1 1\n"
                        "inst p saw a=1 d=50 s=0.8 r=20 delay=0.8 reverb=0.8\n"
                        "pat m p C4 - - - G4 - - - C5 - - - G4 - - -\n"
                        "sec a 1 : m\nsec b 1 fadeout : m\nsec c 1 :\nsec d 1 :\n");
    StereoBuffer out;
    RenderScore(s, &out);
    for (int64_t i = StepSample(s, 32); i < (int64_t)out.Frames(); i++)
        ASSERT_EQ(out.left[i] + out.right[i], 0.0f) << "sound at frame " << i;
}

TEST(SynthMaster, LoudnessTargetWithPeaksUnderTheCeiling) {
    // A loud kick over a quiet pad: levelled by loudness, the kicks would
    // clip without the limiter.
    Score s = MustParse("tempo 120\nloudness -12 -1\ninst k kick gain=1\n"
                        "inst p sine a=5 d=0 s=1 r=50 gain=0.05\n"
                        "pat d k x . . . x . . . x . . . x . . .\n"
                        "pat m p C4 - - - - - - - - - - - - - - -\n"
                        "sec a 4 : d m\n");
    StereoBuffer pcm;
    RenderScore(s, &pcm);
    ZK_Status error;
    ASSERT_TRUE((error = MasterLevel(s, &pcm)).ok) << ZK_StatusText(error);
    EXPECT_LE(LevelDb(PeakLevel(pcm)), -2.0 + 1e-3);
    char path[] = "/tmp/zk_master_testXXXXXX";
    int fd = mkstemp(path);
    ASSERT_GE(fd, 0);
    close(fd);
    Loudness file;
    ASSERT_TRUE((error = WriteMeasuredMp3(s, &pcm, 160, path, &file)).ok) << ZK_StatusText(error);
    unlink(path);
    EXPECT_NEAR(file.integrated, -12.0, 0.2);
    EXPECT_LE(file.truePeak, -1.0);
}

TEST(SynthMp3, RoundTripKeepsLengthAndLevel) {
    StereoBuffer pcm;
    const int frames = 2 * SAMPLE_RATE + 123;
    for (int n = 0; n < frames; n++) {
        pcm.left.push_back(0.5f * (float)std::sin(2 * M_PI * 440 * n / SAMPLE_RATE));
        pcm.right.push_back(0.25f * (float)std::sin(2 * M_PI * 660 * n / SAMPLE_RATE));
    }
    std::vector<uint8_t> mp3;
    ZK_Status error;
    ASSERT_TRUE((error = EncodeMp3(pcm, 160, &mp3)).ok) << ZK_StatusText(error);
    // 160 kbps: 2 s is about 40 kB.
    EXPECT_NEAR((double)mp3.size(), 160000.0 / 8 * frames / SAMPLE_RATE, 2000);
    ScratchDir dir("synth");
    std::string path = dir / "round.mp3";
    ASSERT_TRUE((error = WriteFile(path, mp3)).ok) << ZK_StatusText(error);
    StereoBuffer back;
    ASSERT_TRUE((error = DecodeMp3(path, &back)).ok) << ZK_StatusText(error);
    // The info frame lets the decoder trim encoder delay and padding exactly.
    EXPECT_EQ((int)back.Frames(), frames);
    EXPECT_NEAR(LevelDb(PeakLevel(back)), LevelDb(0.5), 0.5);
    std::vector<float> mid(back.left.begin() + SAMPLE_RATE / 2,
                           back.left.begin() + SAMPLE_RATE * 3 / 2);
    EXPECT_NEAR(Crossings(mid), 440, 2);

    // A damaged file is an error that names it, never a crash.
    std::vector<uint8_t> junk(5000, 0x55);
    ASSERT_TRUE((error = WriteFile(path, junk)).ok);
    EXPECT_FALSE((error = DecodeMp3(path, &back)).ok);
    EXPECT_NE(ZK_StatusText(error).find(path), std::string::npos) << ZK_StatusText(error);
    EXPECT_FALSE((error = DecodeMp3("/nonexistent/sound.mp3", &back)).ok);
    EXPECT_NE(ZK_StatusText(error).find("/nonexistent/sound.mp3"), std::string::npos);
}

} // namespace
