#include "show_args.h"

#include <dirent.h>
#include <unistd.h>

std::string AbsolutePath(const std::string& p) {
    if (!p.empty() && p[0] == '/') return p;
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd)) return p;
    return std::string(cwd) + "/" + p;
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
