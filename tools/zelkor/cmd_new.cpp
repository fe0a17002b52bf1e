// zelkor new DIR [--name NAME]: a show project of one's own, written from the
// templates carried in the program, built against the installed engine.
#include "commands.h"
#include "embedded_files.h"
#include "usage.h"
#include "tool_io.h"

#include "cli/args.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <string>
#include <sys/stat.h>

static const char* tool = "zelkor new";

// A folder that does not exist yet, or an empty one: nothing is overwritten.
static int EmptyOrAbsent(const std::string& dir) {
    DIR* d = opendir(dir.c_str());
    if (!d) return errno == ENOENT;
    int empty = 1;
    while (dirent* e = readdir(d))
        if (strcmp(e->d_name, ".") && strcmp(e->d_name, "..")) empty = 0;
    closedir(d);
    return empty;
}

// The folder's last part made into a name: letters, digits and '_', a letter first.
static std::string NameOf(std::string dir) {
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    std::string base = dir.substr(dir.rfind('/') + 1), name;
    for (char c : base) name += isalnum((unsigned char)c) ? (char)tolower((unsigned char)c) : '_';
    if (name.empty() || !isalpha((unsigned char)name[0])) name = "show_" + name;
    return name.substr(0, 32);
}

static int ValidName(const std::string& name) {
    if (name.empty() || name.size() > 32 || !isalpha((unsigned char)name[0])) return 0;
    for (char c : name)
        if (!isalnum((unsigned char)c) && c != '_') return 0;
    return 1;
}

static int MakeFolders(const std::string& path) {
    for (size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1))
        if (mkdir(path.substr(0, at).c_str(), 0777) != 0 && errno != EEXIST) return 0;
    return 1;
}

int CmdNew(int argc, char** argv) {
    int status;
    if (CLI_Info(NewUsage, argc, argv, &status)) return status;
    static const CLI_Option options[] = {{"--name", CLI_TEXT}, {}};
    CLI_Args args;
    if (CLI_ParseArgs(NewUsage, options, argc, argv, &args, 1)) return CLI_USAGE;
    if (args.operands.empty()) return CLI_UsageError(NewUsage, "no folder given");
    std::string dir = args.operands[0];
    std::string name = args["--name"].given ? args["--name"].text : NameOf(dir);
    if (!ValidName(name))
        return CLI_UsageError(NewUsage,
                              "--name wants a letter, then letters, digits or '_' "
                              "(32 at most)",
                              name.c_str());
    if (!EmptyOrAbsent(dir)) {
        fprintf(stderr, "%s: %s: %s\n", tool, dir.c_str(),
                errno == ENOENT || errno == 0 ? "exists and is not empty; nothing was written"
                                              : strerror(errno));
        return 1;
    }
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    for (const EmbeddedFile* f = NewShowFiles; f->path; f++) {
        std::string text(f->bytes, f->size);
        for (size_t at = text.find("@NAME@"); at != std::string::npos;
             at = text.find("@NAME@", at + name.size()))
            text.replace(at, 6, name);
        std::string path = dir + "/" + f->path;
        if (!MakeFolders(path)) {
            fprintf(stderr, "%s: %s: cannot make its folder: %s\n", tool, path.c_str(),
                    strerror(errno));
            return 1;
        }
        if (!WriteOutput(tool, path.c_str(), text.data(), text.size())) return 1;
        // Scripts stay runnable.
        if (text.compare(0, 2, "#!") == 0 && chmod(path.c_str(), 0755) != 0) {
            fprintf(stderr, "%s: %s: %s\n", tool, path.c_str(), strerror(errno));
            return 1;
        }
    }
    printf("%s: the show \"%s\" is in %s; build it with\n"
           "  cmake -S %s -B %s/build && cmake --build %s/build\n",
           tool, name.c_str(), dir.c_str(), dir.c_str(), dir.c_str(), dir.c_str());
    return 0;
}
