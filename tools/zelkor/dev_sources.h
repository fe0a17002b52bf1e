// zelkor dev's watch over a project's sources: every file under the
// project's folder and its subfolders (scenes, shaders, pictures and their
// scripts, score, timetable, tracks, CMakeLists.txt), but the build folders
// (build, build-*, any holding a CMakeCache.txt), hidden ones, and the
// files editors leave beside what they save.
#pragma once
#include "io/watch.h"

#include <map>
#include <string>
#include <vector>

struct DevSources {
    IO_Watch* watch = nullptr;
    std::string root;                   // absolute, ending in '/'
    std::map<int, std::string> folders; // watched: id -> path under root ("" or "scenes/")
};

// Watches `root` and the folders under it; a failure when the root cannot be.
ZK_Status DevSources_Open(DevSources* s, const std::string& root);
struct DevChange {
    std::string path; // under the root
    int removed = 0;  // deleted or moved away
};
// The sources saved, made, deleted or moved since the last call, in order;
// folders made since are watched from now on.
void DevSources_Changed(DevSources* s, std::vector<DevChange>* changes);
void DevSources_Close(DevSources* s);
