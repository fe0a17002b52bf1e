#include "sequencing/tracks.h"

#include "archive/vkz.h"
#include "sequencing/track_file.h"

#include <cstdlib>
#include <unordered_map>
#include <vector>

// Handles live as long as the process (scenes keep theirs in statics); the
// installed set comes and goes.
static struct {
    std::unordered_map<std::string, TrackHandle> handles;
    std::vector<std::string> handleNames;
    std::vector<const Track*> bound; // per handle, into `current`
    TrackSet current;
    int installed = 0;
    uint64_t generation = 0;
    double rowsPerMinute = 0.0;
} tracks;

static const Track* FindInstalled(const std::string& name) {
    if (!tracks.installed) return nullptr;
    for (const Track& t : tracks.current.tracks)
        if (t.name == name) return &t;
    return nullptr;
}

TrackHandle Tracks_Intern(const char* name) {
    if (!name) return -1;
    auto [it, added] = tracks.handles.emplace(name, (TrackHandle)tracks.handleNames.size());
    if (added) {
        tracks.handleNames.push_back(name);
        tracks.bound.push_back(FindInstalled(tracks.handleNames.back()));
    }
    return it->second;
}

int Tracks_HandleCount() {
    return (int)tracks.handleNames.size();
}

const char* Tracks_HandleName(TrackHandle handle) {
    return handle >= 0 && handle < (TrackHandle)tracks.handleNames.size()
               ? tracks.handleNames[(size_t)handle].c_str()
               : nullptr;
}

const Track* Tracks_Find(TrackHandle handle) {
    return handle >= 0 && (size_t)handle < tracks.bound.size() ? tracks.bound[(size_t)handle]
                                                               : nullptr;
}

float Tracks_ValueAtRow(TrackHandle handle, double row, float fallback) {
    const Track* track = Tracks_Find(handle);
    return track ? EvaluateTrack(*track, row, fallback) : fallback;
}

float Tracks_Value(TrackHandle handle, double ms, float fallback) {
    const Track* track = Tracks_Find(handle);
    // As MusicGrid_RowAt, with the product taken once per install.
    return track ? EvaluateTrack(*track, ms * tracks.rowsPerMinute / 60000.0, fallback) : fallback;
}

void Tracks_Install(TrackSet* set) {
    tracks.current = std::move(*set);
    tracks.installed = 1;
    tracks.generation++;
    tracks.rowsPerMinute = (double)tracks.current.grid.bpm * tracks.current.grid.rowsPerBeat;
    std::unordered_map<std::string, const Track*> byName;
    for (const Track& t : tracks.current.tracks) byName.emplace(t.name, &t);
    for (size_t h = 0; h < tracks.handleNames.size(); h++) {
        auto it = byName.find(tracks.handleNames[h]);
        tracks.bound[h] = it == byName.end() ? nullptr : it->second;
    }
}

void Tracks_Clear() {
    tracks.current = TrackSet();
    tracks.installed = 0;
    tracks.generation++;
    for (const Track*& b : tracks.bound) b = nullptr;
}

uint64_t Tracks_Generation() {
    return tracks.generation;
}

const TrackSet* Tracks_Current() {
    return tracks.installed ? &tracks.current : nullptr;
}

const MusicGrid& Tracks_Grid() {
    static const MusicGrid show = TrackSet().grid;
    return tracks.installed ? tracks.current.grid : show;
}

ZK_Status Tracks_InstallFile(const void* data, size_t size) {
    TrackSet set;
    ZK_Status decoded = DecodeTrackFile((const uint8_t*)data, size, &set);
    if (decoded.ok) Tracks_Install(&set);
    return decoded;
}

int Tracks_LoadArchive(VKZ_Archive* archive, ZK_Status* status) {
    char name[] = "default.trk"; // the lookup lower-cases it in place
    VKZ_EntryRecord* record = archive ? VKZ_FindEntry(archive, name) : nullptr;
    if (!record) {
        Tracks_Clear();
        return 0;
    }
    if (record->size > TRACK_MAX_BYTES)
        return ZK_Report(status, ZK_FailIn("default.trk", "larger than 64 MiB")), -1;
    void* buffer = malloc(record->size ? record->size : 1);
    if (!buffer) return ZK_Report(status, ZK_FailIn("default.trk", "out of memory")), -1;
    ZK_Status loaded;
    if (VKZ_ReadEntry(archive, record, buffer, &loaded) == 1)
        loaded = Tracks_InstallFile(buffer, record->size);
    free(buffer);
    return ZK_Report(status, ZK_StatusIn(loaded, "default.trk")) ? 1 : -1;
}
