// Watching folders for files that were written or replaced (inotify): saved
// in place, or written elsewhere and renamed over, as editors do. Polled,
// never blocking, so a frame loop can ask every frame at the cost of one
// system call.
#pragma once
#include "core/status.h"

#include <string>
#include <vector>

struct IO_Watch;

struct IO_Change {
    int folder;       // as IO_WatchFolder returned it
    std::string name; // the file's name within that folder
    int isFolder = 0; // a folder made or moved into it (a folder put in place of another)
    int removed = 0;  // deleted or moved away (a file, or a folder with isFolder)
};

// Null when the system offers no file watching.
IO_Watch* IO_WatchOpen();
// Watches one folder (not its subfolders); its id, or -1 with *status (when
// given) saying why. A folder watched twice under two names has one id.
int IO_WatchFolder(IO_Watch* watch, const char* folder, ZK_Status* status = nullptr);
// Files finished since the last call, each once, in the order they finished,
// folders that appeared, and files and folders that went (removed).
void IO_WatchChanges(IO_Watch* watch, std::vector<IO_Change>* changes);
void IO_WatchClose(IO_Watch* watch);
