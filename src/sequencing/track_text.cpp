#include "sequencing/track_text.h"

#include "sequencing/text_line.h"

#include <charconv>
#include <cmath>
#include <unordered_map>

static const char* ReadFloat(TextLine* r, float* value) {
    std::string word = TextLine_ReadWord(r);
    if (word.empty()) return "expected a number";
    const char* first = word.data() + (word[0] == '+');
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

// Null, or the reason; an unknown interpolation is named in *problem.
static const char* ReadKey(TextLine* r, Track* track, std::string* problem) {
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
    if (!track->keys.empty() && key.row == track->keys.back().row)
        return "a second key at this row";
    if (!track->keys.empty() && key.row < track->keys.back().row)
        return "rows out of order (each key's row must be after the one before)";
    if (track->keys.size() >= TRACK_MAX_KEYS) return "more than 1048576 keys in one track";
    track->keys.push_back(key);
    return nullptr;
}

int CompileTrackText(const std::string& text, TrackSet* out, std::string* error) {
    TrackSet set;
    int gridLine = 0;
    std::unordered_map<std::string, int> trackLines;
    uint64_t bytes = 20; // the binary's size, bounded as the parser bounds it
    std::string problem;
    ForEachTextLine(text, [&](TextLine* r, int line) {
        if (r->AtEnd()) return 1;
        const char* why = nullptr;
        TextLine at = *r;
        std::string word = TextLine_ReadWord(&at);
        if (word == "bpm") {
            *r = at;
            if (gridLine)
                problem = "a second grid line (the first is line " + std::to_string(gridLine) + ")";
            else if (!set.tracks.empty())
                why = "the grid line must come before the tracks";
            else
                why = ReadGrid(r, &set.grid);
            gridLine = line;
        } else if (word == "track") {
            *r = at;
            std::string name;
            why = TextLine_ReadName(r, &name, "missing track name");
            if (!why && !gridLine) why = "a track before the 'bpm BPM rows N' line";
            if (!why && name.empty()) why = "empty track name";
            // A bare name may hold any byte but this one, which the file refuses.
            if (!why && name.find('\0') != std::string::npos)
                why = "a name cannot hold a zero byte";
            if (!why && name.size() > TRACK_MAX_NAME) why = "track name longer than 255 bytes";
            if (!why && set.tracks.size() >= TRACK_MAX_TRACKS) why = "more than 65536 tracks";
            if (!why) {
                auto [seen, added] = trackLines.emplace(name, line);
                if (!added)
                    problem = "track '" + TextLine_FormatName(name.data(), name.size()) +
                              "' is already on line " + std::to_string(seen->second);
            }
            if (!why && problem.empty()) {
                set.tracks.push_back({name, {}});
                bytes += 8 + name.size();
            }
        } else if (word[0] >= '0' && word[0] <= '9') {
            if (set.tracks.empty())
                why = "a key before the first 'track' line";
            else
                why = ReadKey(r, &set.tracks.back(), &problem);
            bytes += 12;
        } else {
            why = "expected 'bpm', 'track' or a key 'ROW VALUE [INTERP]'";
        }
        if (!why && problem.empty() && !r->AtEnd()) why = "unexpected text at the end of the line";
        if (!why && problem.empty() && bytes > TRACK_MAX_BYTES)
            why = "the tracks pass 64 MiB compiled";
        if (why) problem = why;
        if (problem.empty()) return 1;
        *error = "line " + std::to_string(line) + ": " + problem;
        return 0;
    });
    if (!problem.empty()) return 0;
    if (!gridLine) {
        *error = "line 1: no 'bpm BPM rows N' line";
        return 0;
    }
    *out = std::move(set);
    return 1;
}

static void AppendFloat(std::string* text, float value) {
    char buf[32];
    std::to_chars_result r = std::to_chars(buf, buf + sizeof buf, value);
    text->append(buf, r.ptr);
}

std::string FormatTrackText(const TrackSet& set) {
    std::string text = "bpm ";
    AppendFloat(&text, set.grid.bpm);
    text += " rows " + std::to_string(set.grid.rowsPerBeat) + "\n";
    for (const Track& track : set.tracks) {
        text += "\ntrack " + TextLine_FormatName(track.name.data(), track.name.size()) + "\n";
        for (const TrackKey& key : track.keys) {
            text += std::to_string(key.row) + ' ';
            AppendFloat(&text, key.value);
            if (key.interp != TRACK_STEP) text += std::string(" ") + TrackInterpName(key.interp);
            text += '\n';
        }
    }
    return text;
}
