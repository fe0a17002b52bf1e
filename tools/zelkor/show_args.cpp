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

int LoadTracksText(const char* tool, const std::string& path, const std::string& shown,
                   std::string* read) {
    if (access(path.c_str(), F_OK) != 0) return 0;
    std::string text, why;
    ZK_Status readText = IO_ReadText(path.c_str(), TRACK_MAX_BYTES, IO_REGULAR_ONLY, &text);
    if (!readText.ok) {
        fprintf(stderr, "%s: %s: %s\n", tool, shown.c_str(), readText.problem.c_str());
        return -1;
    }
    ZK_Status installed = Tracks_InstallText(text);
    if (!installed.ok) {
        fprintf(stderr, "%s: %s: %s; the tracks before it stay\n", tool, shown.c_str(),
                installed.problem.c_str());
        return -1;
    }
    if (read) *read = std::move(text);
    return 1;
}

// An absolute path without "." and ".." parts, as a person would write it.
static std::string Normal(const std::string& path) {
    std::vector<std::string> parts;
    size_t at = 0;
    while (at <= path.size()) {
        size_t slash = std::min(path.find('/', at), path.size());
        std::string part = path.substr(at, slash - at);
        at = slash + 1;
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
    }
    std::string out;
    for (const std::string& p : parts) out += "/" + p;
    return out.empty() ? "/" : out;
}

int ShowSources_Read(const std::string& folder, ShowSources* out) {
    std::string dir = folder.empty() ? "." : folder, text;
    if (!IO_ReadText((dir + "/" SHOW_SOURCES_FILE).c_str(), 1 << 16, IO_REGULAR_ONLY, &text).ok)
        return 0;
    *out = ShowSources();
    size_t at = 0;
    while (at < text.size()) {
        size_t eol = std::min(text.find('\n', at), text.size());
        std::string line = text.substr(at, eol - at);
        at = eol + 1;
        size_t space = line.find(' ');
        if (line.empty() || line[0] == '#' || space == std::string::npos) continue;
        std::string key = line.substr(0, space), path = line.substr(space + 1);
        if (path.empty()) continue;
        path = Normal(path[0] == '/' ? path : AbsolutePath(dir + "/" + path));
        if (key == "source") out->source = path;
        if (key == "tracks") out->tracks = path;
    }
    return 1;
}

// `path` as messages name it: from the working folder when it is under it.
static std::string Shown(const std::string& path) {
    std::string cwd = AbsolutePath(""); // ends in '/'
    if (path.size() > cwd.size() && path.compare(0, cwd.size(), cwd) == 0)
        return path.substr(cwd.size());
    return path;
}

std::string TracksFileFor(const char* tool, const std::string& show, const std::string& given,
                          std::string* shown) {
    if (!given.empty()) {
        *shown = given;
        return AbsolutePath(given);
    }
    std::string prefix = show.empty() ? "" : show + "/";
    ShowSources sources;
    if (ShowSources_Read(show, &sources) && !sources.tracks.empty()) {
        *shown = Shown(sources.tracks);
        if (access((prefix + "tracks.txt").c_str(), F_OK) == 0 &&
            AbsolutePath(prefix + "tracks.txt") != sources.tracks)
            fprintf(stderr,
                    "%s: %stracks.txt is passed over: this built show's tracks are %s (delete "
                    "it, or name it with --tracks)\n",
                    tool, prefix.c_str(), shown->c_str());
        return sources.tracks;
    }
    *shown = prefix + "tracks.txt";
    return AbsolutePath(*shown);
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
