#include "engine/timetable_nav.h"

#include "sequencing/builtin_scene_names.h"
#include "sequencing/scene_registry.h"
#include "sequencing/timing_script.h"

#include <cstring>

static uint32_t Count() {
    return timingTable.entries ? timingTable.header.count : 0;
}

int Timetable_Count() {
    return (int)Count();
}

std::string Timetable_Name(int i) {
    const TimingEntry& e = timingTable.entries[i];
    return std::string(e.name, strnlen(e.name, sizeof e.name));
}

int Timetable_EntryAt(uint32_t t) {
    int best = -1;
    for (uint32_t i = 0; i < Count(); i++) {
        const TimingEntry& e = timingTable.entries[i];
        if (TimingEntryActive(e, t) && (best < 0 || e.start >= timingTable.entries[best].start))
            best = (int)i;
    }
    return best;
}

int Timetable_Find(const char* name) {
    int best = -1;
    for (uint32_t i = 0; i < Count(); i++) {
        const TimingEntry& e = timingTable.entries[i];
        if (SceneNameMatches(e.name, name) &&
            (best < 0 || e.start < timingTable.entries[best].start))
            best = (int)i;
    }
    return best;
}

int Timetable_ShowEnd(uint32_t* end) {
    int ende = Timetable_Find(EndeSceneName);
    if (ende >= 0) *end = Timetable_Start(ende);
    return ende >= 0;
}

uint32_t Timetable_Start(int i) {
    return timingTable.entries[i].start;
}

uint32_t Timetable_End(int i) {
    return timingTable.entries[i].start + timingTable.entries[i].length;
}

int Timetable_NextStart(uint32_t t, uint32_t* start) {
    int found = 0;
    for (uint32_t i = 0; i < Count(); i++) {
        uint32_t s = timingTable.entries[i].start;
        if (s > t && (!found || s < *start)) *start = s, found = 1;
    }
    return found;
}

int Timetable_PreviousStart(uint32_t t, uint32_t* start) {
    int found = 0;
    for (uint32_t i = 0; i < Count(); i++) {
        uint32_t s = timingTable.entries[i].start;
        if ((uint64_t)s + 500 < t && (!found || s > *start)) *start = s, found = 1;
    }
    return found;
}

std::string Timetable_ActiveNames(uint32_t t) {
    std::string names;
    for (uint32_t i = 0; i < Count(); i++) {
        const TimingEntry& e = timingTable.entries[i];
        if (!TimingEntryActive(e, t)) continue;
        if (!names.empty()) names += "+";
        names.append(e.name, strnlen(e.name, sizeof e.name));
    }
    return names.empty() ? "-" : names;
}
