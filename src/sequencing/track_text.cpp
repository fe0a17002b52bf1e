#include "sequencing/track_text.h"

#include "sequencing/text_line.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <unordered_map>

static const char* ReadFloat(TextLine* r, float* value) {
    std::string word = TextLine_ReadWord(r);
    if (word.empty()) return "expected a number";
    // from_chars takes no '+'; one is allowed, but not before a sign ("+-1").
    const char* first = word.data() + (word[0] == '+');
    if (first != word.data() && (*first == '+' || *first == '-')) return "expected a number";
    std::from_chars_result got = std::from_chars(first, word.data() + word.size(), *value);
    if (got.ec == std::errc::result_out_of_range) return "number out of a 32-bit float's range";
    if (got.ec != std::errc() || got.ptr != word.data() + word.size()) return "expected a number";
    if (!std::isfinite(*value)) return "NaN or infinity is no value";
    return nullptr;
}

static const char* ReadGrid(TextLine* r, MusicGrid* grid) {
    uint32_t rows = 0;
    const char* why = ReadFloat(r, &grid->bpm);
    if (why) return why;
    if (!(grid->bpm >= 1 && grid->bpm <= 1000)) return "bpm must be from 1 to 1000";
    if (TextLine_ReadWord(r) != "rows") return "expected 'rows N' after the bpm";
    if ((why = TextLine_ReadU32(r, &rows))) return why;
    if (rows < 1 || rows > 256) return "rows per beat must be from 1 to 256";
    grid->rowsPerBeat = rows;
    return nullptr;
}

// "ROW VALUE [INTERP]" onto *keys, rows rising. Null, or the reason; an
// unknown interpolation is named in *problem.
static const char* ReadKey(TextLine* r, std::vector<TrackKey>* keys, std::string* problem) {
    TrackKey key = {};
    const char* why = TextLine_ReadU32(r, &key.row);
    if (!why) why = ReadFloat(r, &key.value);
    if (why) return why;
    std::string interp = TextLine_ReadWord(r);
    int kind = interp.empty() ? TRACK_STEP : TrackInterpFromName(interp);
    if (kind < 0) {
        *problem = "unknown interpolation '" + interp + "' (step, linear, smooth or ramp)";
        return nullptr;
    }
    key.interp = (uint8_t)kind;
    if (!keys->empty() && key.row == keys->back().row) return "a second key at this row";
    if (!keys->empty() && key.row < keys->back().row)
        return "rows out of order (each key's row must be after the one before)";
    if (keys->size() >= TRACK_MAX_KEYS) return "more than 1048576 keys in one track";
    keys->push_back(key);
    return nullptr;
}

static uint64_t RepeatKeyCount(const TrackRepeat& r) {
    uint64_t n = 0;
    for (const TrackKey& k : r.pattern) {
        uint64_t first = (uint64_t)r.from + k.row;
        if (first < r.to) n += (r.to - first + r.every - 1) / r.every;
    }
    return n;
}

void ExpandTrackRepeat(const TrackRepeat& r, std::vector<TrackKey>* keys) {
    for (uint64_t start = r.from; start < r.to; start += r.every)
        for (const TrackKey& k : r.pattern) {
            if (start + k.row >= r.to) break;
            keys->push_back(TrackKey{(uint32_t)(start + k.row), k.value, k.interp});
        }
}

namespace {

struct Compiler {
    TrackTextMap* map;
    TrackSet set;
    int gridLine = 0;
    std::unordered_map<std::string, int> trackLines;
    uint64_t bytes = 20; // the binary's size, bounded as the parser bounds it
    std::vector<TrackRepeat> repeats;
    std::vector<int> repeatLines; // each repeat's first line
    size_t trackRepeats = 0;      // the current track's are repeats[trackRepeats...]
    uint64_t repeatKeys = 0;      // the keys they make
    int openRepeat = 0;           // the line of the repeat being read, 0 outside one
    std::string problem;
    int problemLine = 0;

    void Note(int line, TrackLineKind kind, uint32_t row = 0) {
        if (!map) return;
        TrackTextLine& l = map->lines[(size_t)line - 1];
        l.kind = kind;
        l.track = (int32_t)set.tracks.size() - 1;
        l.repeat = kind == TRACK_LINE_REPEAT ? (int32_t)repeats.size() - 1 : -1;
        l.row = row;
    }

    const char* Fail(int line, const std::string& why) {
        problem = why;
        problemLine = line;
        return "";
    }

    // The current track's repeats expanded among its keys written out, which
    // take the rows they share with a repeat.
    int FinishTrack() {
        if (repeats.size() == trackRepeats) return 1;
        Track& track = set.tracks.back();
        std::vector<TrackKey> made, one;
        std::vector<size_t> from;
        made.reserve(repeatKeys);
        from.reserve(repeatKeys);
        for (size_t i = trackRepeats; i < repeats.size(); i++) {
            one.clear();
            ExpandTrackRepeat(repeats[i], &one);
            made.insert(made.end(), one.begin(), one.end());
            from.insert(from.end(), one.size(), i);
        }
        std::vector<size_t> order(made.size());
        for (size_t i = 0; i < order.size(); i++) order[i] = i;
        std::stable_sort(order.begin(), order.end(),
                         [&](size_t a, size_t b) { return made[a].row < made[b].row; });
        for (size_t j = 1; j < order.size(); j++)
            if (made[order[j]].row == made[order[j - 1]].row) {
                int a = repeatLines[from[order[j - 1]]], b = repeatLines[from[order[j]]];
                Fail(std::max(a, b), "row " + std::to_string(made[order[j]].row) +
                                         " is set by the repeats on lines " +
                                         std::to_string(std::min(a, b)) + " and " +
                                         std::to_string(std::max(a, b)));
                return 0;
            }
        std::vector<TrackKey> keys;
        keys.reserve(made.size() + track.keys.size());
        size_t w = 0;
        for (size_t j : order) {
            while (w < track.keys.size() && track.keys[w].row < made[j].row)
                keys.push_back(track.keys[w++]);
            if (w < track.keys.size() && track.keys[w].row == made[j].row) continue;
            keys.push_back(made[j]);
        }
        keys.insert(keys.end(), track.keys.begin() + (ptrdiff_t)w, track.keys.end());
        if (keys.size() > TRACK_MAX_KEYS) {
            Fail(repeatLines.back(), "more than 1048576 keys in one track");
            return 0;
        }
        bytes += 12 * (keys.size() - track.keys.size());
        if (bytes > TRACK_MAX_BYTES) {
            Fail(repeatLines.back(), "the tracks pass 64 MiB compiled");
            return 0;
        }
        track.keys = std::move(keys);
        return 1;
    }

    const char* Grid(TextLine* r, int line) {
        Note(line, TRACK_LINE_GRID);
        if (gridLine)
            return Fail(line,
                        "a second grid line (the first is line " + std::to_string(gridLine) + ")");
        gridLine = line;
        if (!set.tracks.empty()) return "the grid line must come before the tracks";
        return ReadGrid(r, &set.grid);
    }

    const char* NewTrack(TextLine* r, int line) {
        if (openRepeat)
            return Fail(line, "a 'track' line inside the repeat of line " +
                                  std::to_string(openRepeat) + " (no 'end' before it)");
        std::string name;
        const char* why = TextLine_ReadName(r, &name, "missing track name");
        if (!why && !gridLine) why = "a track before the 'bpm BPM rows N' line";
        if (!why) why = TrackName_Problem(name);
        if (!why && set.tracks.size() >= TRACK_MAX_TRACKS) why = "more than 65536 tracks";
        if (why) return why;
        auto [seen, added] = trackLines.emplace(name, line);
        if (!added)
            return Fail(line, "track '" + TextLine_FormatName(name.data(), name.size()) +
                                  "' is already on line " + std::to_string(seen->second));
        if (!set.tracks.empty() && !FinishTrack()) return "";
        set.tracks.push_back({name, {}});
        trackRepeats = repeats.size();
        repeatKeys = 0;
        bytes += 8 + name.size();
        Note(line, TRACK_LINE_TRACK);
        return nullptr;
    }

    const char* Repeat(TextLine* r, int line) {
        if (set.tracks.empty()) return "a repeat before the first 'track' line";
        if (openRepeat)
            return Fail(line, "a repeat inside the repeat of line " + std::to_string(openRepeat));
        TrackRepeat rep = {(int32_t)set.tracks.size() - 1, 0, 0, 0, {}};
        const char* shape = "expected 'repeat every N from ROW to ROW'";
        if (TextLine_ReadWord(r) != "every" || TextLine_ReadU32(r, &rep.every) ||
            TextLine_ReadWord(r) != "from" || TextLine_ReadU32(r, &rep.from) ||
            TextLine_ReadWord(r) != "to" || TextLine_ReadU32(r, &rep.to))
            return shape;
        if (rep.every < 1) return "a repeat's step must be 1 or more";
        if (rep.from >= rep.to)
            return Fail(line, "a repeat must start before it ends (from " +
                                  std::to_string(rep.from) + " to " + std::to_string(rep.to) + ")");
        repeats.push_back(std::move(rep));
        repeatLines.push_back(line);
        openRepeat = line;
        Note(line, TRACK_LINE_REPEAT);
        return nullptr;
    }

    const char* End(int line) {
        if (!openRepeat) return "'end' without a 'repeat'";
        Note(line, TRACK_LINE_REPEAT);
        openRepeat = 0;
        if (repeats.back().pattern.empty()) return "a repeat without keys";
        repeatKeys += RepeatKeyCount(repeats.back());
        if (repeatKeys > TRACK_MAX_KEYS) return "more than 1048576 keys in one track";
        return nullptr;
    }

    const char* Key(TextLine* r, int line) {
        if (set.tracks.empty()) return "a key before the first 'track' line";
        if (!openRepeat) {
            bytes += 12;
            const char* why = ReadKey(r, &set.tracks.back().keys, &problem);
            if (!why && problem.empty())
                Note(line, TRACK_LINE_KEY, set.tracks.back().keys.back().row);
            return why;
        }
        TrackRepeat& rep = repeats.back();
        const char* why = ReadKey(r, &rep.pattern, &problem);
        if (!why && problem.empty() && rep.pattern.back().row >= rep.every)
            return Fail(line, "offset " + std::to_string(rep.pattern.back().row) +
                                  " is not below the repeat's step " + std::to_string(rep.every));
        Note(line, TRACK_LINE_REPEAT);
        return why;
    }

    // 1 to go on with the next line.
    int Line(TextLine* r, int line) {
        if (r->AtEnd()) return 1;
        TextLine at = *r;
        std::string word = TextLine_ReadWord(&at);
        const char* why;
        if (word[0] >= '0' && word[0] <= '9') {
            why = Key(r, line);
        } else {
            *r = at;
            if (word == "bpm")
                why = Grid(r, line);
            else if (word == "track")
                why = NewTrack(r, line);
            else if (word == "repeat")
                why = Repeat(r, line);
            else if (word == "end")
                why = End(line);
            else
                why = "expected 'bpm', 'track', 'repeat', 'end' or a key 'ROW VALUE [INTERP]'";
        }
        if (!why && problem.empty() && !r->AtEnd()) why = "unexpected text at the end of the line";
        if (!why && problem.empty() && bytes > TRACK_MAX_BYTES)
            why = "the tracks pass 64 MiB compiled";
        if (why && *why) Fail(line, why);
        if (!problem.empty() && !problemLine) problemLine = line;
        return problem.empty();
    }
};

} // namespace

ZK_Status CompileTrackText(const std::string& text, TrackSet* out, TrackTextMap* map) {
    Compiler c;
    c.map = map;
    if (map) {
        map->lines.assign((size_t)std::count(text.begin(), text.end(), '\n') + 1, {});
        map->repeats.clear();
    }
    ForEachTextLine(text, [&](TextLine* r, int line) { return c.Line(r, line); });
    if (c.problem.empty() && c.openRepeat) c.Fail(c.openRepeat, "the repeat has no 'end'");
    if (c.problem.empty() && !c.set.tracks.empty()) c.FinishTrack();
    if (c.problem.empty() && !c.gridLine) c.Fail(1, "no 'bpm BPM rows N' line");
    if (!c.problem.empty())
        return ZK_Fail("line " + std::to_string(c.problemLine) + ": " + c.problem);
    if (map) map->repeats = std::move(c.repeats);
    *out = std::move(c.set);
    return ZK_Ok();
}

static void AppendFloat(std::string* text, float value) {
    char buf[32];
    std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, value);
    text->append(buf, r.ptr);
}

std::string FormatTrackKey(const TrackKey& key) {
    std::string text = std::to_string(key.row) + ' ';
    AppendFloat(&text, key.value);
    if (key.interp != TRACK_STEP) text += std::string(" ") + TrackInterpName(key.interp);
    return text;
}

std::string FormatTrackText(const TrackSet& set) {
    std::string text = "bpm ";
    AppendFloat(&text, set.grid.bpm);
    text += " rows " + std::to_string(set.grid.rowsPerBeat) + "\n";
    for (const Track& track : set.tracks) {
        text += "\ntrack " + TextLine_FormatName(track.name.data(), track.name.size()) + "\n";
        for (const TrackKey& key : track.keys) text += FormatTrackKey(key) + '\n';
    }
    return text;
}
