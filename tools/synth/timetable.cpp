#include "timetable.h"

#include <cmath>
#include <cstdlib>
#include <sstream>
#include <strings.h>

bool ParseTimetable(const std::string& text, std::vector<TimetableEntry>* entries,
                    std::string* error) {
    entries->clear();
    std::stringstream lines(text);
    std::string raw;
    int line = 0;
    while (std::getline(lines, raw)) {
        line++;
        size_t hash = raw.find('#');
        if (hash != std::string::npos) raw.resize(hash);
        std::stringstream in(raw);
        std::vector<std::string> w;
        std::string word;
        while (in >> word) w.push_back(word);
        if (w.empty()) continue;
        TimetableEntry e;
        e.line = line;
        if (w.size() != 3) {
            *error = "line " + std::to_string(line) + ": expected START LENGTH NAME";
            return false;
        }
        for (int i = 0; i < 2; i++) {
            char* end = nullptr;
            unsigned long long v = strtoull(w[i].c_str(), &end, 10);
            if (w[i][0] < '0' || w[i][0] > '9' || *end != 0 || v > 0xFFFFFFFFull) {
                *error = "line " + std::to_string(line) + ": '" + w[i] + "' is not a time in ms";
                return false;
            }
            (i == 0 ? e.start : e.length) = (uint32_t)v;
        }
        e.name = w[2];
        entries->push_back(e);
    }
    return true;
}

uint64_t TimetableEnd(const std::vector<TimetableEntry>& entries) {
    uint64_t end = 0;
    for (const TimetableEntry& e : entries)
        if ((uint64_t)e.start + e.length > end) end = (uint64_t)e.start + e.length;
    return end;
}

bool CheckScoreAgainstTimetable(const Score& score, const std::vector<TimetableEntry>& entries,
                                std::string* error) {
    for (const TimetableEntry& e : entries) {
        if (strcasecmp(e.name.c_str(), "preload") == 0) continue;
        bool found = false;
        for (const Section& s : score.sections) {
            double ms = s.startBar * score.BarMs();
            if (std::fabs(ms - e.start) < 0.5) found = true;
        }
        if (!found) {
            *error = "timetable line " + std::to_string(e.line) + ": " + e.name + " starts at " +
                     std::to_string(e.start) + " ms, where no section of the score begins";
            return false;
        }
    }
    double songMs = score.TotalBars() * score.BarMs();
    uint64_t end = TimetableEnd(entries);
    if (std::fabs(songMs - (double)end) >= 0.5) {
        *error = "the score lasts " + std::to_string((long long)std::llround(songMs)) +
                 " ms, the timetable " + std::to_string(end) + " ms";
        return false;
    }
    return true;
}
