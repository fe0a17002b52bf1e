#include "sequencing/track_text_update.h"

#include "sequencing/text_line.h"
#include "sequencing/track_text.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <unordered_map>

namespace {

struct Line {
    std::string text;
    TrackTextLine what;
    int removed = 0;
};

int SameKey(const TrackKey& a, const TrackKey& b) {
    return a.row == b.row && memcmp(&a.value, &b.value, sizeof a.value) == 0 &&
           a.interp == b.interp;
}

int SameKeys(const std::vector<TrackKey>& a, const std::vector<TrackKey>& b) {
    if (a.size() != b.size()) return 0;
    for (size_t i = 0; i < a.size(); i++)
        if (!SameKey(a[i], b[i])) return 0;
    return 1;
}

const TrackKey* KeyAt(const std::vector<TrackKey>& keys, uint32_t row) {
    auto it = std::lower_bound(keys.begin(), keys.end(), row,
                               [](const TrackKey& k, uint32_t r) { return k.row < r; });
    return it != keys.end() && it->row == row ? &*it : nullptr;
}

// The parts of a line: its indent, the first word (a key's row), where the
// rest begins, the content's end and its comment ('#' outside quotes).
struct Parts {
    size_t indent, wordEnd, rest, end, comment;
    int cr; // the line ends in '\r' (a file with DOS line ends)
};

Parts Split(const std::string& line) {
    Parts p;
    p.cr = !line.empty() && line.back() == '\r';
    size_t n = line.size() - (size_t)p.cr;
    p.comment = n;
    for (size_t i = 0, quoted = 0; i < n; i++) {
        if (quoted && line[i] == '\\') {
            i++;
        } else if (line[i] == '"') {
            quoted = !quoted;
        } else if (line[i] == '#' && !quoted) {
            p.comment = i;
            break;
        }
    }
    auto blank = [&](size_t i) { return line[i] == ' ' || line[i] == '\t' || line[i] == '\r'; };
    p.end = p.comment;
    while (p.end > 0 && blank(p.end - 1)) p.end--;
    p.indent = 0;
    while (p.indent < p.end && blank(p.indent)) p.indent++;
    p.wordEnd = p.indent;
    while (p.wordEnd < p.end && !blank(p.wordEnd)) p.wordEnd++;
    p.rest = p.wordEnd;
    while (p.rest < p.end && blank(p.rest)) p.rest++;
    return p;
}

// The line with its content from `from` on replaced by `text`, its comment kept.
std::string Rewrite(const std::string& line, size_t from, const std::string& text) {
    Parts p = Split(line);
    std::string out = line.substr(0, from) + text;
    if (p.comment < line.size() - (size_t)p.cr) {
        out += p.comment > p.end ? line.substr(p.end, p.comment - p.end) : " ";
        out += line.substr(p.comment);
    } else if (p.cr) {
        out += '\r';
    }
    return out;
}

// A line taken out leaves its comment on a line of its own.
void TakeOut(Line* l) {
    Parts p = Split(l->text);
    if (p.comment >= l->text.size() - (size_t)p.cr) {
        l->removed = 1;
        return;
    }
    l->text = l->text.substr(0, p.indent) + l->text.substr(p.comment);
    l->what = TrackTextLine();
}

// A key written like `like` (a key line: the same indent, the value in the
// same column), or plainly.
std::string KeyLine(const TrackKey& key, const Line* like) {
    std::string text = FormatTrackKey(key);
    if (!like) return text;
    Parts p = Split(like->text);
    size_t space = text.find(' ');
    std::string row = text.substr(0, space);
    size_t column = p.rest - p.indent;
    return like->text.substr(0, p.indent) + row +
           std::string(column > row.size() ? column - row.size() : 1, ' ') +
           text.substr(space + 1) + (p.cr ? "\r" : "");
}

// A key no line gives: after the track's last key line below its row, else
// after the track's own line, or after its repeats when it has no key lines.
void Insert(std::vector<Line>* lines, int32_t track, const TrackKey& key) {
    ptrdiff_t header = -1, below = -1, like = -1, last = -1;
    for (size_t i = 0; i < lines->size(); i++) {
        const Line& l = (*lines)[i];
        if (l.removed || l.what.track != track || l.what.kind == TRACK_LINE_OTHER) continue;
        last = (ptrdiff_t)i;
        if (l.what.kind == TRACK_LINE_TRACK) header = (ptrdiff_t)i;
        if (l.what.kind != TRACK_LINE_KEY) continue;
        if (like < 0 || l.what.row < key.row) like = (ptrdiff_t)i;
        if (l.what.row < key.row) below = (ptrdiff_t)i;
    }
    ptrdiff_t at = (below >= 0 ? below : like >= 0 ? header : last) + 1;
    Line added;
    added.text = KeyLine(key, like >= 0 ? &(*lines)[(size_t)like] : nullptr);
    added.what.kind = TRACK_LINE_KEY;
    added.what.track = track;
    added.what.row = key.row;
    lines->insert(lines->begin() + at, added);
}

void UpdateTrack(std::vector<Line>* lines, const TrackTextMap& map, const Track& was, int32_t track,
                 const std::vector<TrackKey>& keys) {
    // A repeat stays while every key it makes stands (a key written out may
    // give its row another value); otherwise its keys are written out.
    std::vector<TrackKey> made, one;
    for (size_t r = 0; r < map.repeats.size(); r++) {
        if (map.repeats[r].track != track) continue;
        one.clear();
        ExpandTrackRepeat(map.repeats[r], &one);
        if (std::all_of(one.begin(), one.end(),
                        [&](const TrackKey& k) { return KeyAt(keys, k.row) != nullptr; })) {
            made.insert(made.end(), one.begin(), one.end());
            continue;
        }
        for (Line& l : *lines)
            if (l.what.kind == TRACK_LINE_REPEAT && l.what.repeat == (int32_t)r) TakeOut(&l);
    }
    std::sort(made.begin(), made.end(),
              [](const TrackKey& a, const TrackKey& b) { return a.row < b.row; });
    std::set<uint32_t> written;
    for (Line& l : *lines) {
        if (l.what.kind != TRACK_LINE_KEY || l.what.track != track) continue;
        const TrackKey* want = KeyAt(keys, l.what.row);
        if (!want) {
            TakeOut(&l);
            continue;
        }
        written.insert(want->row);
        const TrackKey* old = KeyAt(was.keys, want->row);
        if (old && SameKey(*old, *want)) continue;
        std::string text = FormatTrackKey(*want);
        l.text = Rewrite(l.text, Split(l.text).rest, text.substr(text.find(' ') + 1));
    }
    for (const TrackKey& k : keys) {
        if (written.count(k.row)) continue;
        const TrackKey* m = KeyAt(made, k.row);
        if (!m || !SameKey(*m, k)) Insert(lines, track, k);
    }
}

int SameSet(const TrackSet& a, const TrackSet& b) {
    if (a.grid.bpm != b.grid.bpm || a.grid.rowsPerBeat != b.grid.rowsPerBeat ||
        a.tracks.size() != b.tracks.size())
        return 0;
    std::unordered_map<std::string, const Track*> byName;
    for (const Track& t : a.tracks) byName.emplace(t.name, &t);
    for (const Track& t : b.tracks) {
        auto it = byName.find(t.name);
        if (it == byName.end() || !SameKeys(it->second->keys, t.keys)) return 0;
    }
    return 1;
}

} // namespace

int UpdateTrackText(const std::string& text, const TrackSet& set, std::string* out) {
    TrackSet old;
    TrackTextMap map;
    if (!CompileTrackText(text, &old, &map).ok) {
        *out = FormatTrackText(set);
        return 0;
    }
    std::vector<Line> lines;
    size_t pos = 0;
    for (const TrackTextLine& what : map.lines) {
        size_t eol = std::min(text.find('\n', pos), text.size());
        lines.push_back(Line{text.substr(pos, eol - pos), what});
        pos = eol + 1;
    }
    if (old.grid.bpm != set.grid.bpm || old.grid.rowsPerBeat != set.grid.rowsPerBeat) {
        std::string grid = FormatTrackText(TrackSet{set.grid, {}});
        grid.pop_back();
        for (Line& l : lines)
            if (l.what.kind == TRACK_LINE_GRID)
                l.text = Rewrite(l.text, Split(l.text).indent, grid);
    }
    std::unordered_map<std::string, const Track*> wanted;
    for (const Track& t : set.tracks) wanted.emplace(t.name, &t);
    for (size_t t = 0; t < old.tracks.size(); t++) {
        auto it = wanted.find(old.tracks[t].name);
        if (it == wanted.end()) {
            for (Line& l : lines)
                if (l.what.track == (int32_t)t && l.what.kind != TRACK_LINE_GRID) TakeOut(&l);
        } else if (!SameKeys(old.tracks[t].keys, it->second->keys)) {
            UpdateTrack(&lines, map, old.tracks[t], (int32_t)t, it->second->keys);
        }
    }
    std::string result;
    for (size_t i = 0; i < lines.size(); i++) {
        if (lines[i].removed) continue;
        result += lines[i].text;
        if (i + 1 < lines.size()) result += '\n';
    }
    std::unordered_map<std::string, int> had;
    for (const Track& t : old.tracks) had.emplace(t.name, 1);
    for (const Track& t : set.tracks) {
        if (had.count(t.name)) continue;
        if (!result.empty() && result.back() != '\n') result += '\n';
        result += "\ntrack " + TextLine_FormatName(t.name.data(), t.name.size()) + "\n";
        for (const TrackKey& k : t.keys) result += FormatTrackKey(k) + '\n';
    }
    TrackSet back;
    if (!CompileTrackText(result, &back).ok || !SameSet(back, set)) {
        *out = FormatTrackText(set);
        return 0;
    }
    *out = std::move(result);
    return 1;
}
