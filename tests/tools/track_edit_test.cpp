// The track editor's operations: each edit, undone and redone; a range of
// rows copied and pasted; nudging by the value's digits; and edits that
// would make a set no reader takes refused, the set left as it was.
#include "track_edit.h"

#include "sequencing/track_text.h"

#include <gtest/gtest.h>

static TrackSet Compile(const std::string& text) {
    TrackSet set;
    ZK_Status error;
    EXPECT_EQ((error = CompileTrackText(text, &set)).ok, 1) << error.problem;
    return set;
}

TEST(TrackEdit, EditsUndoAndRedo) {
    TrackSet set = Compile("bpm 128 rows 4\ntrack a\n0 1 linear\n8 2\n");
    const std::string start = FormatTrackText(set);
    TrackEditor ed;
    std::string status;
    ASSERT_TRUE(TrackEdit_SetKey(&ed, &set, "a", 4, 5, &status));
    EXPECT_EQ(status, "key set at row 4");
    ASSERT_TRUE(TrackEdit_CycleInterp(&ed, &set, "a", 4, &status)); // linear, as the key before
    ASSERT_TRUE(TrackEdit_RemoveKey(&ed, &set, "a", 8, &status));
    ASSERT_TRUE(TrackEdit_SetKey(&ed, &set, "b", 2, -1, &status)); // a new track
    EXPECT_FALSE(TrackEdit_RemoveKey(&ed, &set, "a", 3, &status)); // no key there: no step
    const std::string edited =
        "bpm 128 rows 4\n\ntrack a\n0 1 linear\n4 5 smooth\n\ntrack b\n2 -1\n";
    EXPECT_EQ(FormatTrackText(set), edited);
    for (int i = 0; i < 4; i++) ASSERT_TRUE(TrackEdit_Undo(&ed, &set, &status));
    EXPECT_EQ(status, "undone: key set at row 4");
    EXPECT_FALSE(TrackEdit_Undo(&ed, &set, &status));
    EXPECT_EQ(FormatTrackText(set), start);
    for (int i = 0; i < 4; i++) ASSERT_TRUE(TrackEdit_Redo(&ed, &set, &status));
    EXPECT_EQ(FormatTrackText(set), edited);
    // A new edit ends the redo.
    ASSERT_TRUE(TrackEdit_Undo(&ed, &set, &status));
    ASSERT_TRUE(TrackEdit_SetKey(&ed, &set, "a", 0, 0, &status));
    EXPECT_FALSE(TrackEdit_Redo(&ed, &set, &status));
}

TEST(TrackEdit, CopyPasteAndNudge) {
    TrackSet set = Compile("bpm 128 rows 4\ntrack a\n0 1\n1 0\n4 7\ntrack b\n2 9\n3 9\n4 9\n9 9\n");
    TrackEditor ed;
    std::string status;
    EXPECT_FALSE(TrackEdit_Paste(&ed, &set, "b", 0, &status)); // nothing copied yet
    TrackEdit_Copy(&ed, set, "a", 3, 0, &status);              // rows 0-3, either order
    EXPECT_EQ(status, "copied 2 keys of rows 0-3");
    ASSERT_TRUE(TrackEdit_Paste(&ed, &set, "b", 2, &status)); // rows 2-5 replaced
    EXPECT_EQ(FormatTrackText(set), "bpm 128 rows 4\n\ntrack a\n0 1\n1 0\n4 7\n\n"
                                    "track b\n2 1\n3 0\n9 9\n");
    EXPECT_FALSE(TrackEdit_Paste(&ed, &set, "b", 4294967294u, &status)); // past the last row

    ASSERT_TRUE(TrackEdit_Nudge(&ed, &set, "a", 4, 1, 0, &status));  // 7 -> 7.1
    ASSERT_TRUE(TrackEdit_Nudge(&ed, &set, "a", 4, -2, 1, &status)); // 7.1 -> 5
    EXPECT_EQ(set.tracks[0].keys[2].value, 5.0f);
    ASSERT_TRUE(TrackEdit_Nudge(&ed, &set, "a", 2, 1, 0, &status)); // 0 held there: a key, 0.1
    EXPECT_EQ(set.tracks[0].keys[2].row, 2u);
    EXPECT_EQ(set.tracks[0].keys[2].value, 0.1f);
    EXPECT_FALSE(TrackEdit_Nudge(&ed, &set, "c", 0, 1, 0, &status)); // no value to start from
    set.tracks[0].keys[2].value = 3e38f;
    EXPECT_FALSE(TrackEdit_Nudge(&ed, &set, "a", 2, 9, 1, &status)); // past a float's range
}

TEST(TrackEdit, NothingAReaderRefuses) {
    // Track 65537, a name too long for the file: refused, the set unchanged.
    TrackSet set = Compile("bpm 128 rows 4\n");
    set.tracks.resize(TRACK_MAX_TRACKS);
    for (uint32_t i = 0; i < TRACK_MAX_TRACKS; i++) set.tracks[i].name = std::to_string(i);
    TrackEditor ed;
    std::string status;
    EXPECT_FALSE(TrackEdit_SetKey(&ed, &set, "one more", 0, 1, &status));
    EXPECT_EQ(status, "not done: more than 65536 tracks");
    EXPECT_EQ(set.tracks.size(), (size_t)TRACK_MAX_TRACKS);
    ASSERT_TRUE(TrackEdit_SetKey(&ed, &set, "7", 0, 1, &status)); // an existing one is fine
    set.tracks.resize(1);
    EXPECT_FALSE(TrackEdit_SetKey(&ed, &set, std::string(256, 'x'), 0, 1, &status));
    EXPECT_EQ(status, "not done: track name longer than 255 bytes");
    EXPECT_EQ(set.tracks.size(), 1u);
}
