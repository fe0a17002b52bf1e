#include "show_args.h"

#include "io/read_file.h"
#include "sequencing/tracks.h"

#include <algorithm>
#include <cstdio>
#include <dirent.h>
#include <unistd.h>
#include <vector>

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

int SceneLibraryIn(const char* tool, const std::string& folder, std::string* path) {
    path->clear();
    const char* shown = folder.empty() ? "." : folder.c_str();
    DIR* dir = opendir(shown);
    if (!dir) return 1;
    std::vector<std::string> found;
    while (dirent* entry = readdir(dir)) {
        std::string name = entry->d_name;
        const std::string suffix = "_scenes.so";
        if (name.size() > 3 + suffix.size() && name.compare(0, 3, "lib") == 0 &&
            name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0)
            found.push_back(name);
    }
    closedir(dir);
    if (found.empty()) return 1;
    // Playing the engine's scenes, or either one, would show something else
    // than the maker expects without a word.
    if (found.size() > 1) {
        std::sort(found.begin(), found.end());
        std::string names;
        for (size_t i = 0; i < found.size(); i++) names += (i ? ", " : "") + found[i];
        fprintf(stderr,
                "%s: %s: more than one scene library (%s); name the one to play with --scenes\n",
                tool, shown, names.c_str());
        return 0;
    }
    *path = folder.empty() ? found[0] : folder + "/" + found[0];
    return 1;
}
