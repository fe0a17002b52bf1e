#include "track_edit.h"

#include <algorithm>
#include <cmath>

namespace {

// Undo keeps at most this many keys of old tracks (about 48 MB).
constexpr size_t HISTORY_KEYS = 4u << 20;

Track* Find(TrackSet* set, const std::string& name) {
    for (Track& t : set->tracks)
        if (t.name == name) return &t;
    return nullptr;
}

std::vector<TrackKey>::iterator At(std::vector<TrackKey>* keys, uint32_t row) {
    return std::lower_bound(keys->begin(), keys->end(), row,
                            [](const TrackKey& k, uint32_t r) { return k.row < r; });
}

// Puts the track back as a step holds it; returns the step that undoes that.
TrackEditStep Restore(TrackSet* set, TrackEditStep step) {
    Track* t = Find(set, step.track);
    TrackEditStep back{step.what, step.track, t != nullptr, t ? t->keys : std::vector<TrackKey>()};
    if (!step.existed) {
        set->tracks.erase(set->tracks.begin() + (t - set->tracks.data()));
    } else if (t) {
        t->keys = std::move(step.keys);
    } else {
        set->tracks.push_back(Track{step.track, std::move(step.keys)});
    }
    return back;
}

void Bound(TrackEditor* ed) {
    while (ed->historyKeys > HISTORY_KEYS && !ed->undo.empty()) {
        ed->historyKeys -= ed->undo.front().keys.size();
        ed->undo.erase(ed->undo.begin());
    }
}

// Runs `edit` on the track's keys (the track made when missing); kept only
// when the set still keeps every rule, and then undoable.
template <class Edit>
int Apply(TrackEditor* ed, TrackSet* set, const std::string& name, const std::string& what,
          std::string* status, Edit edit) {
    Track* t = Find(set, name);
    TrackEditStep step{what, name, t != nullptr, t ? t->keys : std::vector<TrackKey>()};
    if (!t) {
        set->tracks.push_back(Track{name, {}});
        t = &set->tracks.back();
    }
    if (!edit(&t->keys)) {
        Restore(set, step);
        return 0;
    }
    ZK_Status kept = TrackSet_Check(*set);
    if (!kept.ok) {
        Restore(set, step);
        *status = "not done: " + kept.problem;
        return 0;
    }
    *status = what;
    for (const TrackEditStep& s : ed->redo) ed->historyKeys -= s.keys.size();
    ed->redo.clear();
    ed->historyKeys += step.keys.size();
    ed->undo.push_back(std::move(step));
    Bound(ed);
    return 1;
}

std::string Value(double v) {
    char text[32];
    snprintf(text, sizeof text, "%.7g", v);
    return text;
}

} // namespace

int TrackEdit_SetKey(TrackEditor* ed, TrackSet* set, const std::string& track, uint32_t row,
                     float value, std::string* status) {
    return Apply(ed, set, track, "key set at row " + std::to_string(row), status, [&](auto* keys) {
        auto at = At(keys, row);
        if (at != keys->end() && at->row == row) {
            at->value = value;
            return 1;
        }
        // A new key moves on as the one before it does.
        uint8_t interp = at == keys->begin() ? (uint8_t)TRACK_STEP : (at - 1)->interp;
        keys->insert(at, TrackKey{row, value, interp});
        return 1;
    });
}

int TrackEdit_RemoveKey(TrackEditor* ed, TrackSet* set, const std::string& track, uint32_t row,
                        std::string* status) {
    *status = "no key at row " + std::to_string(row);
    return Apply(ed, set, track, "key removed at row " + std::to_string(row), status,
                 [&](auto* keys) {
                     auto at = At(keys, row);
                     if (at == keys->end() || at->row != row) return 0;
                     keys->erase(at);
                     return 1;
                 });
}

int TrackEdit_CycleInterp(TrackEditor* ed, TrackSet* set, const std::string& track, uint32_t row,
                          std::string* status) {
    *status = "no key at row " + std::to_string(row);
    const Track* t = Find(set, track);
    std::vector<TrackKey> keys = t ? t->keys : std::vector<TrackKey>();
    auto at = At(&keys, row);
    if (at == keys.end() || at->row != row) return 0;
    int next = (at->interp + 1) % TRACK_INTERP_COUNT;
    return Apply(ed, set, track, std::string("interpolation ") + TrackInterpName(next), status,
                 [&](auto* k) {
                     At(k, row)->interp = (uint8_t)next;
                     return 1;
                 });
}

int TrackEdit_Nudge(TrackEditor* ed, TrackSet* set, const std::string& track, uint32_t row,
                    int steps, int coarse, std::string* status) {
    const Track* t = Find(set, track);
    if (!t || t->keys.empty()) {
        *status = "no keys yet: type a value and Enter first";
        return 0;
    }
    double v = EvaluateTrack(*t, row, 0.0f);
    double unit = v == 0 ? 0.1 : std::pow(10.0, std::floor(std::log10(std::fabs(v))) - 1);
    if (coarse) unit *= 10;
    float value = (float)((std::round(v / unit) + steps) * unit);
    if (!std::isfinite(value)) {
        *status = "not done: out of a float's range";
        return 0;
    }
    return Apply(ed, set, track, track + " = " + Value(value) + " at row " + std::to_string(row),
                 status, [&](auto* keys) {
                     auto at = At(keys, row);
                     if (at != keys->end() && at->row == row) {
                         at->value = value;
                     } else {
                         uint8_t interp =
                             at == keys->begin() ? (uint8_t)TRACK_STEP : (at - 1)->interp;
                         keys->insert(at, TrackKey{row, value, interp});
                     }
                     return 1;
                 });
}

void TrackEdit_Copy(TrackEditor* ed, const TrackSet& set, const std::string& track, uint32_t first,
                    uint32_t last, std::string* status) {
    if (first > last) std::swap(first, last);
    ed->clip.clear();
    for (const Track& t : set.tracks)
        if (t.name == track)
            for (const TrackKey& k : t.keys)
                if (k.row >= first && k.row <= last)
                    ed->clip.push_back(TrackKey{k.row - first, k.value, k.interp});
    ed->clipRows = last - first + 1;
    if (ed->clipRows == 0) ed->clipRows = UINT32_MAX; // the whole range of rows
    *status = "copied " + std::to_string(ed->clip.size()) + " keys of rows " +
              std::to_string(first) + "-" + std::to_string(last);
}

int TrackEdit_Paste(TrackEditor* ed, TrackSet* set, const std::string& track, uint32_t row,
                    std::string* status) {
    if (!ed->clipRows) {
        *status = "nothing copied: B marks a row, Ctrl+C copies up to the current one";
        return 0;
    }
    if ((uint64_t)row + ed->clipRows - 1 > UINT32_MAX) {
        *status = "not done: the rows would pass 4294967295";
        return 0;
    }
    uint32_t last = row + (ed->clipRows - 1);
    return Apply(ed, set, track,
                 "pasted " + std::to_string(ed->clip.size()) + " keys at rows " +
                     std::to_string(row) + "-" + std::to_string(last),
                 status, [&](auto* keys) {
                     auto from = At(keys, row);
                     auto to =
                         std::upper_bound(from, keys->end(), last,
                                          [](uint32_t r, const TrackKey& k) { return r < k.row; });
                     std::vector<TrackKey> put;
                     for (const TrackKey& k : ed->clip)
                         put.push_back(TrackKey{row + k.row, k.value, k.interp});
                     keys->insert(keys->erase(from, to), put.begin(), put.end());
                     return 1;
                 });
}

// Takes the last step of `from` back, keeping the step that takes it back
// again in `to`.
static int Step(TrackEditor* ed, std::vector<TrackEditStep>* from, std::vector<TrackEditStep>* to,
                TrackSet* set, const char* done, const char* none, std::string* status) {
    if (from->empty()) {
        *status = none;
        return 0;
    }
    TrackEditStep step = std::move(from->back());
    from->pop_back();
    ed->historyKeys -= step.keys.size();
    *status = done + step.what;
    to->push_back(Restore(set, std::move(step)));
    ed->historyKeys += to->back().keys.size();
    Bound(ed);
    return 1;
}

int TrackEdit_Undo(TrackEditor* ed, TrackSet* set, std::string* status) {
    return Step(ed, &ed->undo, &ed->redo, set, "undone: ", "nothing to undo", status);
}

int TrackEdit_Redo(TrackEditor* ed, TrackSet* set, std::string* status) {
    return Step(ed, &ed->redo, &ed->undo, set, "redone: ", "nothing to redo", status);
}

void TrackEdit_Forget(TrackEditor* ed) {
    ed->undo.clear();
    ed->redo.clear();
    ed->historyKeys = 0;
}
