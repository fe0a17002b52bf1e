#include "sequencing/tracks.h"

#include "archive/vkz.h"
#include "sequencing/track_file.h"

#include <cstdlib>
#include <unordered_map>
#include <vector>

static std::unordered_map<std::string, TrackHandle> handles;
static std::vector<std::string> handleNames;
static std::vector<const Track*> bound; // per handle, into `current`
static TrackSet current;
static int installed;
static uint64_t generation;
static double rowsPerMinute;

static const Track* FindInstalled(const std::string& name) {
    if (!installed) return nullptr;
    for (const Track& t : current.tracks)
        if (t.name == name) return &t;
    return nullptr;
}

TrackHandle Tracks_Intern(const char* name) {
    if (!name) return -1;
    auto [it, added] = handles.emplace(name, (TrackHandle)handleNames.size());
    if (added) {
        handleNames.push_back(name);
        bound.push_back(FindInstalled(handleNames.back()));
    }
    return it->second;
}

int Tracks_HandleCount() {
    return (int)handleNames.size();
}

const char* Tracks_HandleName(TrackHandle handle) {
    return handle >= 0 && handle < (TrackHandle)handleNames.size()
               ? handleNames[(size_t)handle].c_str()
               : nullptr;
}

const Track* Tracks_Find(TrackHandle handle) {
    return handle >= 0 && (size_t)handle < bound.size() ? bound[(size_t)handle] : nullptr;
}

float Tracks_ValueAtRow(TrackHandle handle, double row, float fallback) {
    const Track* track = Tracks_Find(handle);
    return track ? EvaluateTrack(*track, row, fallback) : fallback;
}

float Tracks_Value(TrackHandle handle, double ms, float fallback) {
    const Track* track = Tracks_Find(handle);
    // As MusicGrid_RowAt, with the product taken once per install.
    return track ? EvaluateTrack(*track, ms * rowsPerMinute / 60000.0, fallback) : fallback;
}

void Tracks_Install(TrackSet* set) {
    current = std::move(*set);
    installed = 1;
    generation++;
    rowsPerMinute = (double)current.grid.bpm * current.grid.rowsPerBeat;
    std::unordered_map<std::string, const Track*> byName;
    for (const Track& t : current.tracks) byName.emplace(t.name, &t);
    for (size_t h = 0; h < handleNames.size(); h++) {
        auto it = byName.find(handleNames[h]);
        bound[h] = it == byName.end() ? nullptr : it->second;
    }
}

void Tracks_Clear() {
    current = TrackSet();
    installed = 0;
    generation++;
    for (const Track*& b : bound) b = nullptr;
}

uint64_t Tracks_Generation() {
    return generation;
}

const TrackSet* Tracks_Current() {
    return installed ? &current : nullptr;
}

const MusicGrid& Tracks_Grid() {
    static const MusicGrid show = TrackSet().grid;
    return installed ? current.grid : show;
}

int Tracks_InstallFile(const void* data, size_t size, std::string* error) {
    TrackSet set;
    if (!DecodeTrackFile((const uint8_t*)data, size, &set, error)) return 0;
    Tracks_Install(&set);
    return 1;
}

int Tracks_LoadArchive(VKZ_Archive* archive, std::string* error) {
    char name[] = "default.trk"; // the lookup lower-cases it in place
    VKZ_EntryRecord* record = archive ? VKZ_FindEntry(archive, name) : nullptr;
    if (!record) {
        Tracks_Clear();
        return 0;
    }
    if (record->size > TRACK_MAX_BYTES) {
        *error = "default.trk: larger than 64 MiB";
        return -1;
    }
    void* buffer = malloc(record->size ? record->size : 1);
    if (!buffer) {
        *error = "default.trk: out of memory";
        return -1;
    }
    const char* why = "";
    int ok = VKZ_ReadEntryWhy(archive, record, buffer, &why) == 1;
    if (!ok)
        *error = std::string("default.trk: ") + why;
    else if (!(ok = Tracks_InstallFile(buffer, record->size, error)))
        *error = "default.trk: " + *error;
    free(buffer);
    return ok ? 1 : -1;
}
