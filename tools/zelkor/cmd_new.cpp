// zelkor new DIR [--name NAME]: a show project of one's own, written from the
// templates carried in the program, built against the installed engine.
#include "commands.h"
#include "embedded_files.h"
#include "usage.h"

#include "cli/args.h"
#include "io/write_file.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <ftw.h>
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

// Targets CMake keeps for itself, and the one the project's CMakeLists.txt
// adds: a program of that name would not configure.
static int ReservedName(const std::string& name) {
    static const char* const reserved[] = {
        "all",           "clean",          "help",      "install",
        "preinstall",    "package",        "test",      "edit_cache",
        "rebuild_cache", "package_source", "ALL_BUILD", "ZERO_CHECK",
        "RUN_TESTS",     "INSTALL",        "PACKAGE",   "list_install_components",
        "show_content",
    };
    for (const char* r : reserved)
        if (name == r) return 1;
    return 0;
}

// What is wrong with DIR as a new project's folder, or null. The project is
// written beside it and renamed into place, so DIR must name a folder of its
// own: not "", "/", "." or "..", which would aim it at a folder that holds
// other things (the root, or the one we are in).
static const char* FolderProblem(const std::string& dir) {
    if (dir.empty()) return "an empty folder name";
    if (dir.find_first_not_of('/') == std::string::npos) return "the root folder";
    std::string base = dir.substr(0, dir.find_last_not_of('/') + 1);
    base = base.substr(base.rfind('/') + 1);
    if (base == "." || base == "..") return "not a new folder's name (name the folder itself)";
    return nullptr;
}

static int MakeFolders(const std::string& path) {
    for (size_t at = path.find('/', 1); at != std::string::npos; at = path.find('/', at + 1))
        if (mkdir(path.substr(0, at).c_str(), 0777) != 0 && errno != EEXIST) return 0;
    return 1;
}

static int RemoveEntry(const char* path, const struct stat*, int, FTW*) {
    return remove(path) != 0;
}

// Every template file into `dir` (an empty folder of our own); 0 once one
// fails, said on stderr as `shown`/file.
static int WriteProject(const std::string& dir, const std::string& shown, const std::string& name) {
    for (const EmbeddedFile* f = NewShowFiles; f->path; f++) {
        std::string text(f->bytes, f->size);
        for (size_t at = text.find("@NAME@"); at != std::string::npos;
             at = text.find("@NAME@", at + name.size()))
            text.replace(at, 6, name);
        std::string path = dir + "/" + f->path;
        if (!MakeFolders(path)) {
            fprintf(stderr, "%s: %s/%s: cannot make its folder: %s\n", tool, shown.c_str(), f->path,
                    strerror(errno));
            return 0;
        }
        const char* why = nullptr;
        if (!IO_WriteFile(path.c_str(), text.data(), text.size(), 0, &why)) {
            fprintf(stderr, "%s: %s/%s: %s\n", tool, shown.c_str(), f->path, why);
            return 0;
        }
        // Scripts stay runnable.
        if (text.compare(0, 2, "#!") == 0 && chmod(path.c_str(), 0755) != 0) {
            fprintf(stderr, "%s: %s/%s: %s\n", tool, shown.c_str(), f->path, strerror(errno));
            return 0;
        }
    }
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
    if (const char* problem = FolderProblem(dir))
        return CLI_UsageError(NewUsage, problem, dir.c_str());
    std::string name = args["--name"].given ? args["--name"].text : NameOf(dir);
    if (!ValidName(name))
        return CLI_UsageError(NewUsage,
                              "--name wants a letter, then letters, digits or '_' "
                              "(32 at most)",
                              name.c_str());
    if (ReservedName(name))
        return CLI_UsageError(NewUsage,
                              "CMake keeps that name for a target of its own; choose "
                              "another with --name",
                              name.c_str());
    if (!EmptyOrAbsent(dir)) {
        fprintf(stderr, "%s: %s: %s\n", tool, dir.c_str(),
                errno == ENOENT || errno == 0 ? "exists and is not empty; nothing was written"
                                              : strerror(errno));
        return 1;
    }
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    // Written into a folder beside DIR and renamed into place at the end, so a
    // failure halfway (a full disk) leaves nothing behind to be refused next time.
    size_t slash = dir.rfind('/');
    std::string parent = slash == std::string::npos ? "." : slash == 0 ? "/" : dir.substr(0, slash);
    if (!MakeFolders(dir)) {
        fprintf(stderr, "%s: %s: cannot make its folder: %s\n", tool, parent.c_str(),
                strerror(errno));
        return 1;
    }
    std::string work = parent + "/.zelkor-new-XXXXXX";
    if (!mkdtemp(work.data())) {
        fprintf(stderr, "%s: %s: cannot write there: %s\n", tool, parent.c_str(), strerror(errno));
        return 1;
    }
    mode_t mask = umask(0);
    umask(mask);
    int ok = chmod(work.c_str(), 0777 & ~mask) == 0 && WriteProject(work, dir, name);
    if (ok && rename(work.c_str(), dir.c_str()) != 0) {
        fprintf(stderr, "%s: %s: %s; nothing was written\n", tool, dir.c_str(),
                errno == ENOTEMPTY || errno == EEXIST ? "it was filled meanwhile"
                                                      : strerror(errno));
        ok = 0;
    }
    if (!ok) {
        nftw(work.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS);
        return 1;
    }
    printf("%s: the show \"%s\" is in %s; build it with\n"
           "  cmake -S %s -B %s/build && cmake --build %s/build\n",
           tool, name.c_str(), dir.c_str(), dir.c_str(), dir.c_str(), dir.c_str());
    return 0;
}
