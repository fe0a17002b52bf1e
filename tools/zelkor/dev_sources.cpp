#include "dev_sources.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

int Ends(const std::string& name, const char* end) {
    std::string e = end;
    return name.size() >= e.size() && name.compare(name.size() - e.size(), e.size(), e) == 0;
}

// What an editor or play leaves beside a file: swap, backup and lock files,
// vim's test file, the tracks play could not save over.
int Scratch(const std::string& name) {
    return name.empty() || name[0] == '.' || name[0] == '#' || Ends(name, "~") ||
           Ends(name, ".swp") || Ends(name, ".swx") || Ends(name, ".tmp") || name == "4913" ||
           Ends(name, ".play.txt");
}

// A folder that is no source: hidden, a build's.
int Skipped(const std::string& path, const std::string& name, int top) {
    if (name.empty() || name[0] == '.') return 1;
    if (top &&
        (name == "build" || name.compare(0, 6, "build-") == 0 || name.compare(0, 6, "build_") == 0))
        return 1;
    return access((path + "/CMakeCache.txt").c_str(), F_OK) == 0;
}

// Watches `under` (a path under the root, "" or ending in '/') and the
// folders below it.
void Watch(DevSources* s, const std::string& under, ZK_Status* status) {
    std::string path = s->root + under;
    int id = IO_WatchFolder(s->watch, path.c_str(), status);
    if (id < 0) return;
    s->folders[id] = under;
    DIR* dir = opendir(path.c_str());
    if (!dir) return;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name, inner = path + name;
        struct stat st;
        if (entry->d_type != DT_DIR &&
            (entry->d_type != DT_UNKNOWN || lstat(inner.c_str(), &st) != 0 || !S_ISDIR(st.st_mode)))
            continue;
        if (!Skipped(inner, name, under.empty())) Watch(s, under + name + "/", nullptr);
    }
    closedir(dir);
}

} // namespace

ZK_Status DevSources_Open(DevSources* s, const std::string& root) {
    *s = DevSources();
    s->root = root.back() == '/' ? root : root + "/";
    s->watch = IO_WatchOpen();
    if (!s->watch) return ZK_FailIn(root, "no file watching here");
    ZK_Status status;
    Watch(s, "", &status);
    return status;
}

void DevSources_Changed(DevSources* s, std::vector<DevChange>* paths) {
    paths->clear();
    std::vector<IO_Change> changes;
    IO_WatchChanges(s->watch, &changes);
    for (const IO_Change& change : changes) {
        auto folder = s->folders.find(change.folder);
        if (folder == s->folders.end()) continue;
        std::string path = folder->second + change.name;
        if (change.isFolder) {
            // A folder made or moved in (with what it holds) is watched, and
            // like one that went (its watch with it) counts as a change.
            if (Skipped(s->root + path, change.name, folder->second.empty())) continue;
            if (!change.removed) Watch(s, path + "/", nullptr);
        } else if (Scratch(change.name)) {
            continue;
        }
        paths->push_back(DevChange{path, change.removed});
    }
}

void DevSources_Close(DevSources* s) {
    IO_WatchClose(s->watch);
    *s = DevSources();
}
