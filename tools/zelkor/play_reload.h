// zelkor play takes in what changes while it runs: a timetable given as
// text, the archive, the music, pictures, the tracks' text, the scene
// library and the shaders, each from the folder watch, and says what it
// redid.
#pragma once
#include "io/watch.h"

#include <string>
#include <vector>

// The files play watches, and where.
struct Watched {
    IO_Watch* watch = nullptr;
    int showFolder = -1, timetableFolder = -1;
    int parentFolder = -1;                   // where the show folder may be replaced
    std::string showPath;                    // absolute, to enter a replacing folder
    std::string showName;                    // its name in its parent
    std::string showPrefix;                  // "SHOW/" for messages, or ""
    std::string timetable;                   // as given, for messages; "" when none
    std::string timetablePath, timetableDir; // absolute: the show folder is entered
    std::string timetableName;
    int tracksFolder = -1;
    std::string tracks;                 // for messages
    std::string tracksPath, tracksName; // absolute, and its name in its folder
    int tracksFromText = 0;             // the text file's tracks are installed
    int tracksTargetFolder = -1;        // a link's: the file it names, where it is
    std::string tracksTarget, tracksTargetName;
    int shadersFolder = -1;  // SHOW/shaders, when the show has one
    int libraryFolder = -1;  // the scene library's
    std::string library;     // as given, for messages; "" when none
    std::string libraryPath; // absolute
    std::string libraryName;
};

// The tracks' text file, when there is one: 1 installed, 0 absent, -1 refused
// (the reason on stderr, the tracks before it kept). The editor is told.
int Play_LoadTracks(Watched* w);
// Says which tracks play and where the editor saves (play's first lines);
// `archive` is what Tracks_LoadArchive gave, `loaded` Play_LoadTracks.
void Play_SayTracks(const Watched& w, int archive, int loaded);
// Watches the tracks file's folder and, when it is a link, the folder of the
// file it names (again when the link changes).
void Play_WatchTracks(Watched* w);
// A change to the tracks file (or the file its link names): taken in, or
// when it is gone, the archive's tracks (or none) play again. 1 when the
// tracks changed; -1 when the change is not the tracks file's.
int Play_TakeInTracks(Watched* w, const IO_Change& change);
// Loads the scene library at `scenes` and plays its scenes; 0 with the
// reason on stderr.
int Play_LoadScenes(Watched* w, const std::string& scenes);
void Play_UnloadScenes();
// Takes in one changed file; 1 when something was redone.
int Play_TakeIn(Watched& w, const IO_Change& change);
// A folder put in place of the show's (git checkout, some editors): entered
// and watched instead, and every file in it taken in. 1 when it was.
int Play_FollowReplacedFolder(Watched* w, const IO_Change& change);
// After a library, shader or tracks reload, once its first frame is drawn:
// how long it took, and how long after the file was written it was drawn.
void Play_TellReloaded();
// A reload of `path` (shown as `shown`) that took `ms`, for Play_TellReloaded.
void Play_TellWhenDrawn(const std::string& shown, const std::string& path, double ms);
// What `zelkor tmg compile` would say of a timetable just taken in.
void Play_Warn(const std::string& file, const std::vector<std::string>& warnings);
