#include "timetable.h"

#include "sequencing/timing_text.h"

#include <cmath>
#include <cstring>
#include <strings.h>

ZK_Status ParseTimetable(const std::string& text, std::vector<TimetableEntry>* entries) {
    // The text is read as zelkor tmg compiles it, quoted names and all.
    entries->clear();
    std::vector<uint8_t> script;
    std::vector<int> lines;
    ZK_Status status = CompileTimingText(text, &script, &lines);
    if (!status.ok) return status;
    for (size_t i = 0; i < lines.size(); i++) {
        TimingEntry compiled;
        memcpy(&compiled, script.data() + sizeof(TimingHeader) + i * sizeof(TimingEntry),
               sizeof compiled);
        TimetableEntry e;
        e.start = compiled.start;
        e.length = compiled.length;
        e.name = compiled.name; // the compiler leaves the terminator in the field
        e.line = lines[i];
        entries->push_back(e);
    }
    return ZK_Ok();
}

uint64_t TimetableEnd(const std::vector<TimetableEntry>& entries) {
    uint64_t end = 0;
    for (const TimetableEntry& e : entries)
        if ((uint64_t)e.start + e.length > end) end = (uint64_t)e.start + e.length;
    return end;
}

ZK_Status CheckScoreAgainstTimetable(const Score& score,
                                     const std::vector<TimetableEntry>& entries) {
    for (const TimetableEntry& e : entries) {
        if (strcasecmp(e.name.c_str(), "preload") == 0) continue;
        bool found = false;
        for (const Section& s : score.sections) {
            double ms = s.startBar * score.BarMs();
            if (std::fabs(ms - e.start) < 0.5) found = true;
        }
        if (!found)
            return ZK_Fail("timetable line " + std::to_string(e.line) + ": " + e.name +
                           " starts at " + std::to_string(e.start) +
                           " ms, where no section of the score begins");
    }
    double songMs = score.TotalBars() * score.BarMs();
    uint64_t end = TimetableEnd(entries);
    if (std::fabs(songMs - (double)end) >= 0.5)
        return ZK_Fail("the score lasts " + std::to_string((long long)std::llround(songMs)) +
                       " ms, the timetable " + std::to_string(end) + " ms");
    return ZK_Ok();
}
