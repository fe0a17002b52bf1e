// What a timetable that loads may still get wrong: a name no scene is
// registered under (a typo shows as a frozen picture), two entries of one
// scene at once (it is drawn twice a frame), an entry past the clock's range.
#pragma once
#include "sequencing/timing_script.h"

#include <cstdint>
#include <string>
#include <vector>

enum TimingProblem {
    TIMING_UNKNOWN_NAME, // calls nothing
    TIMING_OVERLAP,      // runs while `other`, of the same name, runs
    TIMING_NEVER_RUNS,   // START + LENGTH passes 2^32 - 1 ms, so no time holds it
};

struct TimingWarning {
    uint32_t entry; // index into the table
    TimingProblem problem;
    uint32_t other; // an overlap's earlier-starting entry
};

// In entry order. Entries that merely touch (one ends where the next starts)
// do not overlap; "ende", which holds from its start on, overlaps every later
// "ende".
std::vector<TimingWarning> CheckTimingEntries(const TimingEntry* entries, uint32_t count);

// What a warning says, as `zelkor tmg` and `zelkor play` print it: "no scene
// is registered as 'scen1' (did you mean 'scene1'?)". An overlap names the
// other entry by its line in `lines` (one per entry) when given, else by its
// number from 1.
std::string DescribeTimingWarning(const TimingWarning& warning, const TimingEntry* entries,
                                  const std::vector<int>* lines);
// Every warning as "line N: warning: ..." (or "entry N: ..." without lines),
// one string each, in entry order.
std::vector<std::string> TimingWarningLines(const TimingEntry* entries, uint32_t count,
                                            const std::vector<int>* lines);
