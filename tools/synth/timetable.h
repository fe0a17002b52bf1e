// The timetable's text form, `START LENGTH NAME` per line in milliseconds with
// '#' comments (as zelkor tmg compiles it), read to check that the music fits
// the programme.
#pragma once
#include "score.h"

#include <cstdint>
#include <string>
#include <vector>

struct TimetableEntry {
    uint32_t start = 0, length = 0;
    std::string name;
    int line = 0;
};

ZK_Status ParseTimetable(const std::string& text, std::vector<TimetableEntry>* entries);
// Where the programme ends: the latest start + length.
uint64_t TimetableEnd(const std::vector<TimetableEntry>& entries);
// Checks that every scene change (each entry's start, "preload" excepted, as it
// runs alongside the opening) falls on a section boundary of the score, and that
// the score lasts exactly as long as the timetable. A failure says the first problem.
ZK_Status CheckScoreAgainstTimetable(const Score& score,
                                     const std::vector<TimetableEntry>& entries);
