// Parameter tracks: interpolation, the text and binary forms (repeats and
// text written back after edits too), refusals that name the line or the
// offset, handles across reloads, the music grid.
#include "archive/codec.h"
#include "archive/vkz.h"
#include "sequencing/scene_frame.h"
#include "sequencing/track_file.h"
#include "sequencing/track_text.h"
#include "sequencing/track_text_update.h"
#include "sequencing/tracks.h"
#include "support/scratch.h"
#include "tmg_bytes.h"

#include <gtest/gtest.h>

#include <cmath>

static TrackSet Compile(const std::string& text) {
    TrackSet set;
    ZK_Status error;
    EXPECT_EQ((error = CompileTrackText(text, &set)).ok, 1) << error.problem;
    return set;
}

static std::vector<uint8_t> Encode(const TrackSet& set) {
    std::vector<uint8_t> bytes;
    EncodeTrackFile(set, &bytes);
    return bytes;
}

static const char* const showTracks = "bpm 128 rows 4\n"
                                      "track step\n0 0\n4 1\n"
                                      "track linear\n0 0 linear\n4 1\n"
                                      "track smooth\n0 0 smooth\n4 1\n"
                                      "track ramp\n0 0 ramp\n4 1\n"
                                      "track late\n8 2 linear\n12 -2\n"
                                      "track one\n8 5 smooth\n"
                                      "track none\n";

TEST(Tracks, EachInterpolationGivesExactValues) {
    ZK_Status error;
    ASSERT_TRUE((error = Tracks_InstallText(showTracks)).ok) << error.problem;
    struct {
        const char* track;
        double row;
        float value;
    } table[] = {
        {"step", -1, 0},     {"step", 0, 0},          {"step", 3.5, 0},     {"step", 4, 1},
        {"step", 99, 1},     {"linear", 0, 0},        {"linear", 1, 0.25f}, {"linear", 2, 0.5f},
        {"linear", 4, 1},    {"linear", 99, 1},       {"smooth", 0, 0},     {"smooth", 1, 0.15625f},
        {"smooth", 2, 0.5f}, {"smooth", 3, 0.84375f}, {"smooth", 4, 1},     {"ramp", 1, 0.0625f},
        {"ramp", 2, 0.25f},  {"ramp", 3, 0.5625f},    {"ramp", 4, 1},       {"late", 0, 2},
        {"late", 8, 2},      {"late", 10, 0},         {"late", 11, -1},     {"late", 12, -2},
        {"late", 1e9, -2},   {"one", 0, 5},           {"one", 8, 5},        {"one", 50, 5},
        {"none", 2, 7},      {"missing", 2, 7},
    };
    for (const auto& t : table) {
        TrackHandle h = Tracks_Intern(t.track);
        // A row of the show's grid is 117.1875 ms, exactly.
        EXPECT_EQ(Tracks_Value(h, t.row * 117.1875, 7.0f), t.value) << t.track << " @" << t.row;
    }
    EXPECT_EQ(Tracks_Value(-1, 0, 3.0f), 3.0f);
    Tracks_Clear();
}

TEST(Tracks, HandlesFollowReloadsAndABadFileKeepsTheOldSet) {
    Tracks_Clear();
    TrackHandle fade = Tracks_Intern("global.fade");
    EXPECT_EQ(fade, Tracks_Intern("global.fade"));
    EXPECT_EQ(Tracks_Value(fade, 0, 0.5f), 0.5f); // nothing installed: the default
    ZK_Status error;
    ASSERT_TRUE((error = Tracks_InstallText("bpm 128 rows 4\ntrack global.fade\n0 1\n")).ok);
    EXPECT_EQ(Tracks_Value(fade, 0, 0.5f), 1.0f);
    TrackHandle later = Tracks_Intern("x"); // named after the install: bound at once
    EXPECT_EQ(Tracks_Value(later, 0, 0), 0);

    EXPECT_FALSE((error = Tracks_InstallText("bpm 128 rows 4\ntrack x\n0 1 sideways\n")).ok);
    EXPECT_EQ(error.problem,
              "line 3: unknown interpolation 'sideways' (step, linear, smooth or ramp)");
    EXPECT_EQ(Tracks_Value(fade, 0, 0.5f), 1.0f);

    std::vector<uint8_t> file = Encode(Compile("bpm 128 rows 4\ntrack x\n0 3\n"));
    ASSERT_TRUE((error = Tracks_InstallFile(file.data(), file.size())).ok) << error.problem;
    EXPECT_EQ(Tracks_Value(fade, 0, 0.5f), 0.5f); // gone from the new set
    EXPECT_EQ(Tracks_Value(later, 0, 0), 3.0f);
    Tracks_Clear();
    EXPECT_EQ(Tracks_Value(later, 0, 0), 0);
}

// A scene's constant through Param must be the very constant when no track
// gives it: a double default must not pass through a float.
TEST(Tracks, SceneFrameParamsKeepTheDefaultExactly) {
    ZK_Status error;
    ASSERT_TRUE(
        (error = Tracks_InstallText("bpm 128 rows 4\ntrack s.k\n0 0 linear\n32 2\ntrack s.e\n"))
            .ok);
    static const TrackHandle k = Tracks_Intern("s.k"), e = Tracks_Intern("s.e"),
                             none = Tracks_Intern("s.none");
    SceneFrame f;
    f.musicTime = 1875;                    // row 16: half-way
    EXPECT_EQ(f.Param(k, 0.0038), 0.0038); // the host reads no tracks
    f.tracks = 1;
    EXPECT_EQ(f.Param(k, 0.0038), 1.0);
    EXPECT_EQ(f.Param(k, 5.0f), 1.0f);
    EXPECT_EQ(f.Param(e, 0.0038), 0.0038); // a track without keys
    EXPECT_EQ(f.Param(none, 0.0038), 0.0038);
    EXPECT_EQ(f.Param(none, 0.10471976f), 0.10471976f);
    EXPECT_EQ(f.Param("s.k", 7.0f), 1.0f);
    Tracks_Clear();
}

TEST(Tracks, TextToBinaryToTextToTheSameBytes) {
    std::string text = "# a comment\r\n"
                       "bpm 174.5 rows 3   # the grid\n"
                       "track \"cam dist\"\n"
                       "  0 -0 linear\n"
                       "  3 0.1 smooth # a key\n"
                       "  7 1e-45 ramp\n"
                       "  9 3.4028235e38 step\n"
                       "  4294967295 -2.5\n"
                       "track global.fade\n"
                       "track \"q\\\"\\\\\\x01\\xff\"\n"
                       "5 +1";
    std::vector<uint8_t> bytes = Encode(Compile(text));
    TrackSet back;
    ZK_Status error;
    ASSERT_TRUE((error = DecodeTrackFile(bytes.data(), bytes.size(), &back)).ok) << error.problem;
    std::string dumped = FormatTrackText(back);
    EXPECT_EQ(dumped, "bpm 174.5 rows 3\n\n"
                      "track \"cam dist\"\n0 -0 linear\n3 0.1 smooth\n7 1e-45 ramp\n"
                      "9 3.4028235e+38\n4294967295 -2.5\n\n"
                      "track global.fade\n\n"
                      "track \"q\\\"\\\\\\x01\\xff\"\n5 1\n");
    EXPECT_EQ(Encode(Compile(dumped)), bytes);
}

TEST(Tracks, ARepeatIsKeysEveryNRowsAndDumpsBackToTheSameBytes) {
    // A beat of two keys for 20 beats, a key written out taking row 8, and a
    // last repeat cut short by its end.
    TrackSet set = Compile("bpm 128 rows 4\n"
                           "track flash\n"
                           "repeat every 4 from 0 to 80   # the beat\n"
                           "  0 1 linear\n"
                           "  1 0\n"
                           "end\n"
                           "8 0.5\n"
                           "repeat every 10 from 100 to 115\n"
                           "9 7\n"
                           "end\n");
    const std::vector<TrackKey>& keys = set.tracks[0].keys;
    ASSERT_EQ(keys.size(), 40u + 1);
    EXPECT_EQ(keys[0].row, 0u);
    EXPECT_EQ(keys[0].interp, TRACK_LINEAR);
    EXPECT_EQ(keys[3].row, 5u);
    EXPECT_EQ(keys[3].value, 0.0f);
    EXPECT_EQ(keys[4].row, 8u);
    EXPECT_EQ(keys[4].value, 0.5f);
    EXPECT_EQ(keys[4].interp, TRACK_STEP);
    EXPECT_EQ(keys[39].row, 77u);
    EXPECT_EQ(keys[40].row, 109u); // 119 is past the end
    std::vector<uint8_t> bytes = Encode(set);
    TrackSet back;
    ZK_Status error;
    ASSERT_TRUE((error = DecodeTrackFile(bytes.data(), bytes.size(), &back)).ok) << error.problem;
    EXPECT_EQ(Encode(Compile(FormatTrackText(back))), bytes);
}

TEST(Tracks, AnEditedSetIsWrittenBackIntoItsTextKeepingWhatDidNotChange) {
    const std::string text = "# the maker's notes\r\n"
                             "bpm 128 rows 4\n"
                             "\n"
                             "# the fade, by hand\n"
                             "track global.fade\n"
                             "0    0.50   # half\n"
                             "16   1e0 linear\n"
                             "32   0  # gone soon\n"
                             "track flash\n"
                             "repeat every 4 from 0 to 16   # the beat\n"
                             "0 1\n"
                             "end\n"
                             "track kept\n"
                             "0 0.10\n";
    TrackSet set = Compile(text);
    Track& fade = set.tracks[0];
    fade.keys[1].value = 2;                                 // changed: its comment kept
    fade.keys.pop_back();                                   // removed: its comment kept
    fade.keys.insert(fade.keys.begin() + 1, {8, 0.25f, 0}); // new, in row order
    set.tracks.push_back({"new one", {{4, 3, 0}}});
    std::string out;
    ASSERT_EQ(UpdateTrackText(text, set, &out), 1);
    EXPECT_EQ(out, "# the maker's notes\r\n"
                   "bpm 128 rows 4\n"
                   "\n"
                   "# the fade, by hand\n"
                   "track global.fade\n"
                   "0    0.50   # half\n"
                   "8    0.25\n"
                   "16   2 linear\n"
                   "# gone soon\n"
                   "track flash\n"
                   "repeat every 4 from 0 to 16   # the beat\n"
                   "0 1\n"
                   "end\n"
                   "track kept\n"
                   "0 0.10\n"
                   "\ntrack \"new one\"\n4 3\n");
    // A key of a repeat changed is written out over it; one removed breaks
    // the repeat into its keys.
    TrackSet beat = Compile(text);
    beat.tracks[1].keys[1].value = 5;
    ASSERT_EQ(UpdateTrackText(text, beat, &out), 1);
    EXPECT_NE(out.find("end\n4 5\ntrack kept"), std::string::npos) << out;
    beat.tracks[1].keys.erase(beat.tracks[1].keys.begin());
    ASSERT_EQ(UpdateTrackText(text, beat, &out), 1);
    EXPECT_NE(out.find("track flash\n4 5\n8 1\n12 1\n# the beat\ntrack kept"), std::string::npos)
        << out;
}

TEST(Tracks, BadTextIsRefusedWithTheLine) {
    struct {
        std::string text;
        const char* error;
    } table[] = {
        {"bpm 128 rows 4\ntrack a\n0 1\n0 2\n", "line 4: a second key at this row"},
        {"bpm 128 rows 4\ntrack a\n5 1\n4 2\n",
         "line 4: rows out of order (each key's row must be after the one before)"},
        {"bpm 128 rows 4\ntrack a\n1 nan\n", "line 3: NaN or infinity is no value"},
        {"bpm 128 rows 4\ntrack a\n1 -inf\n", "line 3: NaN or infinity is no value"},
        {"bpm 128 rows 4\ntrack a\n1 1e39\n", "line 3: number out of a 32-bit float's range"},
        {"bpm 128 rows 4\ntrack a\n4294967296 1\n", "line 3: number larger than 4294967295"},
        {"bpm 128 rows 4\ntrack a\ntrack a\n", "line 3: track 'a' is already on line 2"},
        {"bpm 128 rows 4\n0 1\n", "line 2: a key before the first 'track' line"},
        {std::string("bpm 128 rows 4\ntrack a\0b\n", 25), "line 2: a name cannot hold a zero byte"},
        {"track a\n", "line 1: a track before the 'bpm BPM rows N' line"},
        {"bpm 128 rows 0\n", "line 1: rows per beat must be from 1 to 256"},
        {"# nothing\n", "line 1: no 'bpm BPM rows N' line"},
        {"bpm 128 rows 4\ntrack a\n0 +-1\n", "line 3: expected a number"},
        {"bpm 128 rows 4\ntrack a\nrepeat every 4 from 0 to 8\n4 1\nend\n",
         "line 4: offset 4 is not below the repeat's step 4"},
        {"bpm 128 rows 4\ntrack a\nrepeat every 4 from 0 to 8\n0 1\ntrack b\n",
         "line 5: a 'track' line inside the repeat of line 3 (no 'end' before it)"},
        {"bpm 128 rows 4\ntrack a\nrepeat every 4 from 0 to 8\n0 1\n",
         "line 3: the repeat has no 'end'"},
        {"bpm 128 rows 4\ntrack a\nrepeat every 4 from 0 to 9\n0 1\nend\n"
         "repeat every 2 from 8 to 12\n1 2\n0 1\nend\n",
         "line 8: rows out of order (each key's row must be after the one before)"},
        {"bpm 128 rows 4\ntrack a\nrepeat every 4 from 0 to 9\n0 1\nend\n"
         "repeat every 2 from 8 to 12\n0 1\nend\n",
         "line 6: row 8 is set by the repeats on lines 3 and 6"},
        {"bpm 128 rows 4\ntrack a\nrepeat every 1 from 0 to 4294967295\n0 1\nend\n",
         "line 5: more than 1048576 keys in one track"},
    };
    for (const auto& t : table) {
        TrackSet set;
        ZK_Status error;
        EXPECT_EQ((error = CompileTrackText(t.text, &set)).ok, 0) << t.text;
        EXPECT_EQ(error.problem, t.error);
    }
}

TEST(Tracks, BadFilesAreRefusedWithTheOffset) {
    std::vector<uint8_t> good = Encode(Compile("bpm 128 rows 4\ntrack ab\n0 1 linear\n4 2\n"));
    ASSERT_EQ(good.size(), 20u + 4 + 2 + 4 + 24);
    auto refuse = [](const std::vector<uint8_t>& bytes) {
        TrackSet set;
        ZK_Status error;
        EXPECT_EQ((error = DecodeTrackFile(bytes.data(), bytes.size(), &set)).ok, 0);
        return error.problem;
    };
    // Every cut is refused.
    for (size_t n = 0; n < good.size(); n++)
        EXPECT_NE(refuse(std::vector<uint8_t>(good.begin(), good.begin() + n)), "") << n;
    EXPECT_EQ(refuse(std::vector<uint8_t>(good.begin(), good.end() - 1)),
              "offset 30: cut short: 24 bytes needed for the keys, 23 left");
    auto patched = [&](size_t at, uint32_t v) {
        std::vector<uint8_t> b = good;
        memcpy(&b[at], &v, 4);
        return b;
    };
    float nan = NAN;
    uint32_t nanBits;
    memcpy(&nanBits, &nan, 4);
    EXPECT_EQ(refuse(patched(16, 0xFFFFFFFFu)), "offset 16: 4294967295 tracks, more than 65536");
    EXPECT_EQ(refuse(patched(16, 1000)),
              "offset 54: cut short: 4 bytes needed for a track's name length, 0 left");
    EXPECT_EQ(refuse(patched(26, 0x40000000u)), "offset 26: 1073741824 keys, more than 1048576");
    EXPECT_EQ(refuse(patched(26, 100000)),
              "offset 30: cut short: 1200000 bytes needed for the keys, 24 left");
    EXPECT_EQ(refuse(patched(20, 300)), "offset 20: name length 300 (1 to 255)");
    EXPECT_EQ(refuse(patched(34, nanBits)), "offset 34: NaN or infinity is no value");
    EXPECT_EQ(refuse(patched(38, 7)), "offset 38: interpolation 7 (0 to 3)");
    EXPECT_EQ(refuse(patched(42, 0)), "offset 42: row 0 is not after row 0");
    EXPECT_EQ(refuse(patched(4, 2)), "offset 4: version 2 (this reads version 1)");
    std::vector<uint8_t> longer = good;
    longer.push_back(0);
    EXPECT_EQ(refuse(longer), "offset 54: 1 bytes after the last track");
}

TEST(Tracks, TheArchiveEntryOrNoneAndTheDefaults) {
    ScratchDir dir("tracks");
    std::vector<uint8_t> file = Encode(Compile("bpm 128 rows 4\ntrack a\n0 2\n"));
    std::vector<uint8_t> cut(file.begin(), file.end() - 1);
    std::string with = dir / "with.vkz", without = dir / "without.vkz", bad = dir / "bad.vkz";
    ASSERT_TRUE(WriteArchive(with, {{"default.trk", file}}, VKZ_CODEC_APLIB));
    ASSERT_TRUE(WriteArchive(without, {{"default.tmg", TmgBytes({})}}, VKZ_CODEC_APLIB));
    ASSERT_TRUE(WriteArchive(bad, {{"default.trk", cut}}, VKZ_CODEC_APLIB));
    TrackHandle a = Tracks_Intern("a");
    ZK_Status error;
    auto load = [&](const std::string& path) {
        VKZ_Archive* archive = VKZ_Open(path.c_str());
        EXPECT_NE(archive, nullptr);
        int got = Tracks_LoadArchive(archive, &error);
        VKZ_Close(archive);
        return got;
    };
    EXPECT_EQ(load(with), 1);
    EXPECT_EQ(Tracks_Value(a, 0, 1.0f), 2.0f);
    EXPECT_EQ(load(bad), -1); // refused: the set before stays
    EXPECT_EQ(ZK_StatusText(error),
              "default.trk: offset 29: cut short: 12 bytes needed for the keys, 11 left");
    EXPECT_EQ(Tracks_Value(a, 0, 1.0f), 2.0f);
    EXPECT_EQ(load(without), 0); // the show's defaults
    EXPECT_EQ(Tracks_Value(a, 0, 1.0f), 1.0f);
}

TEST(MusicGrid, RowsBarsAndBeats) {
    MusicGrid show = {128, 4};
    EXPECT_EQ(MusicGrid_MsAt(show, 16), 1875.0);
    EXPECT_EQ(MusicGrid_RowAt(show, 15000), 128.0);
    EXPECT_EQ(MusicGrid_FormatBar(show, 0), "bar 1.1");
    EXPECT_EQ(MusicGrid_FormatBar(show, 1875 * 11 + 468.75 * 2), "bar 12.3");
    EXPECT_EQ(MusicGrid_FormatBar(show, 1875 * 11 + 468.75 * 2 - 0.001), "bar 12.2");
    uint32_t ms = 0;
    ASSERT_TRUE(MusicGrid_ParseBarBeat(show, "12.3", &ms));
    EXPECT_EQ(ms, 21563u); // 21562.5, rounded up onto the beat
    ASSERT_TRUE(MusicGrid_ParseBarBeat(show, "1.1", &ms));
    EXPECT_EQ(ms, 0u);
    for (const char* bad :
         {"0.1", "1.0", "1.5", "12", "12.", ".3", "12.3x", "-1.1", "99999999999.1"})
        EXPECT_FALSE(MusicGrid_ParseBarBeat(show, bad, &ms)) << bad;
    // Moving row by row never sticks or skips, on grids whose rows are not
    // whole binary fractions of a ms too.
    for (MusicGrid g : {show, MusicGrid{130, 4}, MusicGrid{97.3f, 7}})
        for (int64_t row = 0; row < 5000; row++)
            ASSERT_EQ(std::floor(MusicGrid_RowAt(g, MusicGrid_RowStart(g, row))), (double)row)
                << g.bpm << " " << row;
}
