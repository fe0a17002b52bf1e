#include "show_args.h"

#include "io/read_file.h"
#include "sequencing/tracks.h"

#include <cstdio>
#include <dirent.h>
#include <unistd.h>

std::string AbsolutePath(const std::string& p) {
    if (!p.empty() && p[0] == '/') return p;
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd)) return p;
    return std::string(cwd) + "/" + p;
}

int LoadTracksText(const char* tool, const std::string& path, const std::string& shown) {
    if (access(path.c_str(), F_OK) != 0) return 0;
    std::string text, why;
    const char* reason = nullptr;
    if (!IO_ReadText(path.c_str(), TRACK_MAX_BYTES, IO_REGULAR_ONLY, &text, &reason)) {
        fprintf(stderr, "%s: %s: %s\n", tool, shown.c_str(), reason);
        return -1;
    }
    if (!Tracks_InstallText(text, &why)) {
        fprintf(stderr, "%s: %s: %s; the tracks before it stay\n", tool, shown.c_str(),
                why.c_str());
        return -1;
    }
    return 1;
}

std::string SceneLibraryIn(const std::string& folder) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return "";
    std::string found;
    int count = 0;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        const std::string suffix = "_scenes.so";
        if (name.size() > 3 + suffix.size() && name.compare(0, 3, "lib") == 0 &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0) {
            found = name;
            count++;
        }
    }
    closedir(dir);
    if (count != 1) return "";
    return folder.empty() ? found : folder + "/" + found;
}
