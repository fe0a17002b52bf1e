// The tracks the show plays by. Code names a track once and keeps the handle;
// a lookup per frame is then an index and a binary search. Handles outlive
// reloads: when a new set is installed, each handle finds the track of its
// name in it, or none (its lookups then give the caller's default).
//
//   static TrackHandle fade = Tracks_Intern("global.fade");
//   float f = Tracks_Value(fade, musicMs, 0.0f);
//
// One set at a time, replaced whole: a file with errors leaves the old one.
#pragma once
#include "core/status.h"
#include "core/api.h"
#include "sequencing/track_set.h"

#include <cstddef>
#include <cstdint>
#include <string>

struct VKZ_Archive;

typedef int32_t TrackHandle; // from 0; -1 is no track

// The handle of `name`: the same for the same name, for the whole process.
ZELKOR_API TrackHandle Tracks_Intern(const char* name);
// The track's value at music time `ms`, or `fallback` when no track of the
// handle's name is installed, or it has no keys.
ZELKOR_API float Tracks_Value(TrackHandle handle, double ms, float fallback);
// The same at a row of the grid.
ZELKOR_API float Tracks_ValueAtRow(TrackHandle handle, double row, float fallback);
// The names handed out so far, by handle (what the scenes have asked for).
int Tracks_HandleCount();
const char* Tracks_HandleName(TrackHandle handle);
// The installed track of the handle's name, or null.
ZELKOR_API const Track* Tracks_Find(TrackHandle handle);

// Installs the set (moved from), rebinding every handle.
void Tracks_Install(TrackSet* set);
// Parses the text form (not in the web build) or a "default.trk" file and
// installs it; on a failure ("line N: ..." or "offset N: ..."; no file
// named) the old set is kept.
ZK_Status Tracks_InstallText(const std::string& text);
ZK_Status Tracks_InstallFile(const void* data, size_t size);
// "default.trk" from the archive: 1 installed; 0 the archive has none, so the
// show runs on its defaults (any set installed before is removed); -1 the
// entry does not read or parse (*status, when given, says why, naming
// "default.trk"; the old set is kept).
int Tracks_LoadArchive(VKZ_Archive* archive, ZK_Status* status = nullptr);
// Removes the set: every lookup gives its default.
void Tracks_Clear();
// The installed set, or null.
const TrackSet* Tracks_Current();
// The installed set's grid, or the show's (128 bpm, 4 rows a beat) without one.
ZELKOR_API const MusicGrid& Tracks_Grid();
// Counts installs and clears: state computed from the tracks (a player's
// marks of the scenes) holds while this stays the same.
uint64_t Tracks_Generation();
