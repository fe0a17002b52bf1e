// The track editor's operations on a set of tracks, apart from any window:
// set, remove and nudge a key, cycle its interpolation, copy a range of rows
// and paste it elsewhere, undo and redo. An edit that would break what the
// files may hold (track_set.h) is refused and leaves the set as it was.
#pragma once
#include "sequencing/track_set.h"

#include <cstdint>
#include <string>
#include <vector>

// One edit, undone by putting its track back as it was.
struct TrackEditStep {
    std::string what;  // "key set at row 12", for "undone: ..."
    std::string track; // its name
    int existed;       // 0: the edit made the track
    std::vector<TrackKey> keys;
};

struct TrackEditor {
    std::vector<TrackEditStep> undo, redo;
    size_t historyKeys = 0;     // keys held by both lists, bounded
    std::vector<TrackKey> clip; // rows from the copied range's first
    uint32_t clipRows = 0;      // the range's length; 0: nothing copied
};

// Each edit returns 1 when the set changed, else 0; *status says what was
// done or why not.
int TrackEdit_SetKey(TrackEditor* ed, TrackSet* set, const std::string& track, uint32_t row,
                     float value, std::string* status);
int TrackEdit_RemoveKey(TrackEditor* ed, TrackSet* set, const std::string& track, uint32_t row,
                        std::string* status);
int TrackEdit_CycleInterp(TrackEditor* ed, TrackSet* set, const std::string& track, uint32_t row,
                          std::string* status);
// The value at the row (its key's, or the track's there: a key is made) up
// or down by `steps` units of its second significant digit (its first when
// `coarse`), rounded to that unit. A track without keys has no value to
// start from: refused.
int TrackEdit_Nudge(TrackEditor* ed, TrackSet* set, const std::string& track, uint32_t row,
                    int steps, int coarse, std::string* status);
// The track's keys in rows first to last (either order); not an edit.
void TrackEdit_Copy(TrackEditor* ed, const TrackSet& set, const std::string& track, uint32_t first,
                    uint32_t last, std::string* status);
// The copied rows from `row` on replace the track's keys there.
int TrackEdit_Paste(TrackEditor* ed, TrackSet* set, const std::string& track, uint32_t row,
                    std::string* status);
int TrackEdit_Undo(TrackEditor* ed, TrackSet* set, std::string* status);
int TrackEdit_Redo(TrackEditor* ed, TrackSet* set, std::string* status);
// The set was replaced from outside: the steps no longer apply.
void TrackEdit_Forget(TrackEditor* ed);
