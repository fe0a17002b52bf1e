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
    std::string tracks;                 // as given (or SHOW/tracks.txt), for messages
    std::string tracksPath, tracksName; // absolute, and its name in its folder
    int tracksFromText = 0;             // the text file's tracks are installed
    int shadersFolder = -1;             // SHOW/shaders, when the show has one
    int libraryFolder = -1;             // the scene library's
    std::string library;                // as given, for messages; "" when none
    std::string libraryPath;            // absolute
    std::string libraryName;
};

// The tracks' text file, when there is one: 1 installed, 0 absent, -1 refused
// (the reason on stderr, the tracks before it kept).
int Play_LoadTracks(Watched* w);
// Loads the scene library at `scenes` and plays its scenes; 0 with the
// reason on stderr.
int Play_LoadScenes(Watched* w, const std::string& scenes);
void Play_UnloadScenes();
// Takes in one changed file; 1 when something was redone.
int Play_TakeIn(Watched& w, const IO_Change& change);
// A folder put in place of the show's (git checkout, some editors): entered
// and watched instead, and every file in it taken in. 1 when it was.
int Play_FollowReplacedFolder(Watched* w, const IO_Change& change);
// After a library or shader reload, once its first frame is drawn: how long
// it took.
void Play_TellReloaded();
// What `zelkor tmg compile` would say of a timetable just taken in.
void Play_Warn(const std::string& file, const std::vector<std::string>& warnings);
