#include "sequencing/timing_check.h"

#include "cli/cli.h"
#include "sequencing/builtin_scene_names.h"
#include "sequencing/timing_text.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <strings.h>
#include <string>

static std::string LowerName(const TimingEntry& e) {
    std::string name(e.name, strnlen(e.name, sizeof(e.name)));
    for (char& c : name) c = (char)tolower((unsigned char)c);
    return name;
}

static int Known(const char* name, const char* const* known) {
    for (; *known; known++)
        if (!strcasecmp(name, *known)) return 1;
    return 0;
}

std::vector<TimingWarning> CheckTimingEntries(const TimingEntry* entries, uint32_t count,
                                              const char* const* known) {
    std::vector<TimingWarning> warnings;
    struct Span {
        std::string name;
        uint64_t start, end;
        uint32_t index;
    };
    std::vector<Span> spans;
    for (uint32_t i = 0; i < count; i++) {
        const TimingEntry& e = entries[i];
        std::string name = LowerName(e);
        if (known && !Known(name.c_str(), known)) warnings.push_back({i, TIMING_UNKNOWN_NAME, 0});
        uint64_t end = (uint64_t)e.start + e.length;
        if (name == EndeSceneName)
            end = UINT64_MAX;
        else if (end > UINT32_MAX)
            warnings.push_back({i, TIMING_NEVER_RUNS, 0});
        if (end <= UINT32_MAX || name == EndeSceneName) spans.push_back({name, e.start, end, i});
    }
    // Sorted by name and start, each entry is checked against the one of its
    // name that reaches furthest among those starting no later.
    std::sort(spans.begin(), spans.end(), [](const Span& a, const Span& b) {
        if (a.name != b.name) return a.name < b.name;
        return a.start != b.start ? a.start < b.start : a.index < b.index;
    });
    for (size_t k = 1, reach = 0; k < spans.size(); k++) {
        if (spans[k].name != spans[k - 1].name) {
            reach = k;
            continue;
        }
        // Two that start together run together, even when both are 0 ms long.
        if (spans[k].start == spans[k - 1].start)
            warnings.push_back({spans[k].index, TIMING_OVERLAP, spans[k - 1].index});
        else if (spans[k].start < spans[reach].end)
            warnings.push_back({spans[k].index, TIMING_OVERLAP, spans[reach].index});
        if (spans[k].end > spans[reach].end) reach = k;
    }
    std::stable_sort(
        warnings.begin(), warnings.end(),
        [](const TimingWarning& a, const TimingWarning& b) { return a.entry < b.entry; });
    return warnings;
}

std::string DescribeTimingOverlap(const TimingWarning& w, const TimingEntry* entries,
                                  const std::vector<int>* lines) {
    const TimingEntry& e = entries[w.entry];
    // As the text form writes the name, so odd bytes show as escapes.
    std::string shown = FormatTimingName(e.name, strnlen(e.name, sizeof(e.name)));
    if (shown[0] != '"') shown = "'" + shown + "'";
    return shown + " overlaps its entry " +
           (lines ? "on line " + std::to_string((*lines)[w.other]) : std::to_string(w.other + 1)) +
           " (the scene runs twice a frame)";
}

std::string FirstTimingOverlap(const TimingEntry* entries, uint32_t count,
                               const std::vector<int>* lines) {
    for (const TimingWarning& w : CheckTimingEntries(entries, count, nullptr)) {
        if (w.problem != TIMING_OVERLAP) continue;
        std::string where = lines ? "line " + std::to_string((*lines)[w.entry])
                                  : "entry " + std::to_string(w.entry + 1);
        return where + ": " + DescribeTimingOverlap(w, entries, lines);
    }
    return "";
}

std::string DescribeTimingWarning(const TimingWarning& w, const TimingEntry* entries,
                                  const std::vector<int>* lines, const char* const* known) {
    const TimingEntry& e = entries[w.entry];
    std::string name(e.name, strnlen(e.name, sizeof(e.name)));
    switch (w.problem) {
    case TIMING_UNKNOWN_NAME: {
        std::string shown = FormatTimingName(name.data(), name.size());
        if (shown[0] != '"') shown = "'" + shown + "'";
        const char* near = known ? CLI_Nearest(name.c_str(), known) : nullptr;
        return "no scene is registered as " + shown +
               (near ? std::string(" (did you mean '") + near + "'?)" : "");
    }
    case TIMING_OVERLAP:
        return DescribeTimingOverlap(w, entries, lines);
    case TIMING_NEVER_RUNS:
        return "START + LENGTH passes 4294967295 ms: the entry never runs";
    }
    return "";
}

std::vector<std::string> TimingWarningLines(const TimingEntry* entries, uint32_t count,
                                            const std::vector<int>* lines,
                                            const char* const* known) {
    std::vector<std::string> out;
    for (const TimingWarning& w : CheckTimingEntries(entries, count, known)) {
        std::string place = lines ? "line " + std::to_string((*lines)[w.entry])
                                  : "entry " + std::to_string(w.entry + 1);
        out.push_back(place + ": warning: " + DescribeTimingWarning(w, entries, lines, known));
    }
    return out;
}
