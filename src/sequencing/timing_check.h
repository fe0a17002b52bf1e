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

// In entry order. `known` lists the names scenes are registered under (null
// at its end; compared without letter case); with none given, names are not
// checked. Entries that merely touch (one ends where the next starts) do not
// overlap; "ende", which holds from its start on, overlaps every later "ende".
std::vector<TimingWarning> CheckTimingEntries(const TimingEntry* entries, uint32_t count,
                                              const char* const* known);
// An overlap as `zelkor tmg compile` words it: "'scene5' overlaps its entry
// on line 3 (the scene runs twice a frame)", by line where `lines` gives each
// entry's, else by entry number.
std::string DescribeTimingOverlap(const TimingWarning& warning, const TimingEntry* entries,
                                  const std::vector<int>* lines);
// The first overlap among the entries, worded so ("line N: " or "entry N: "
// before it); "" when there is none. Play and capture refuse such a
// timetable: each overlapping entry draws its scene once more every frame.
std::string FirstTimingOverlap(const TimingEntry* entries, uint32_t count,
                               const std::vector<int>* lines);
// Any warning as `zelkor tmg` and `zelkor play` print it: "no scene is
// registered as 'scen1' (did you mean 'scene1'?)", an overlap as above.
std::string DescribeTimingWarning(const TimingWarning& warning, const TimingEntry* entries,
                                  const std::vector<int>* lines, const char* const* known);
// Every warning as "line N: warning: ..." (or "entry N: ..." without lines),
// one string each, in entry order.
std::vector<std::string> TimingWarningLines(const TimingEntry* entries, uint32_t count,
                                            const std::vector<int>* lines,
                                            const char* const* known);
