// zelkor new DIR [--name NAME] [--template NAME]: a show project of one's own,
// written from the templates carried in the program, built against the
// installed engine. The files of "common/" go into every project, those of
// the template's folder over them; the template's about.md is not written:
// its first line is the template's line in --list and the project's
// summary, the rest the README's opening.
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
#include <unistd.h>
#include <vector>

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

static const char* const kDefaultTemplate = "basic";
static const char* const kCommon = "common/";
static const char* const kAbout = "about.md";

// A template's folder part of an embedded path ("basic/"), or "".
static std::string FolderOf(const char* path) {
    const char* slash = strchr(path, '/');
    return slash ? std::string(path, slash - path + 1) : "";
}

// The templates' names, in the order they are carried.
static std::vector<std::string> Templates() {
    std::vector<std::string> names;
    for (const EmbeddedFile* f = NewShowFiles; f->path; f++) {
        std::string folder = FolderOf(f->path);
        if (folder.empty() || folder == kCommon) continue;
        std::string name = folder.substr(0, folder.size() - 1);
        if (names.empty() || names.back() != name) names.push_back(name);
    }
    return names;
}

static const EmbeddedFile* About(const std::string& name) {
    for (const EmbeddedFile* f = NewShowFiles; f->path; f++)
        if (f->path == name + "/" + kAbout) return f;
    return nullptr;
}

// The about.md's first line, and the rest after its blank line.
static void ReadAbout(const std::string& name, std::string* line, std::string* rest) {
    const EmbeddedFile* about = About(name);
    std::string text = about ? std::string(about->bytes, about->size) : "";
    size_t end = text.find('\n');
    *line = text.substr(0, end);
    *rest = end == std::string::npos ? "" : text.substr(text.find_first_not_of('\n', end));
    while (!rest->empty() && rest->back() == '\n') rest->pop_back();
}

// The folder the engine is installed in: the one above this program's bin/.
static std::string EnginePrefix() {
    char exe[4096];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return "/usr";
    std::string path(exe, (size_t)n);
    for (int up = 0; up < 2; up++) path = path.substr(0, path.rfind('/'));
    return path.empty() ? "/" : path;
}

static void Replace(std::string* text, const char* token, const std::string& value) {
    size_t length = strlen(token);
    for (size_t at = text->find(token); at != std::string::npos;
         at = text->find(token, at + value.size()))
        text->replace(at, length, value);
}

struct NewProject {
    std::string name, templateName, prefix;
};

// The file an embedded path becomes in the project, or "" when it is none
// of this template's. "gitignore" is written as ".gitignore": under its own
// name it would act on the engine's source tree.
static std::string ProjectPath(const char* path, const std::string& templateName) {
    std::string folder = FolderOf(path);
    if (folder != kCommon && folder != templateName + "/") return "";
    std::string rest = path + folder.size();
    if (folder != kCommon && rest == kAbout) return "";
    // The template's own file of that name wins over the common one.
    if (folder == kCommon)
        for (const EmbeddedFile* f = NewShowFiles; f->path; f++)
            if (f->path == templateName + "/" + rest) return "";
    return rest == "gitignore" ? ".gitignore" : rest;
}

// Every file of the template into `dir` (an empty folder of our own); 0
// once one fails, said on stderr as `shown`/file.
static int WriteProject(const std::string& dir, const std::string& shown, const NewProject& p) {
    std::string summary, about;
    ReadAbout(p.templateName, &summary, &about);
    for (const EmbeddedFile* f = NewShowFiles; f->path; f++) {
        std::string file = ProjectPath(f->path, p.templateName);
        if (file.empty()) continue;
        std::string text(f->bytes, f->size);
        Replace(&text, "@ABOUT@", about);
        Replace(&text, "@SUMMARY@", summary);
        Replace(&text, "@PREFIX@", p.prefix);
        Replace(&text, "@NAME@", p.name);
        std::string path = dir + "/" + file;
        if (!MakeFolders(path)) {
            fprintf(stderr, "%s: %s/%s: cannot make its folder: %s\n", tool, shown.c_str(),
                    file.c_str(), strerror(errno));
            return 0;
        }
        const char* why = nullptr;
        if (!IO_WriteFile(path.c_str(), text.data(), text.size(), 0, &why)) {
            fprintf(stderr, "%s: %s/%s: %s\n", tool, shown.c_str(), file.c_str(), why);
            return 0;
        }
        // Scripts stay runnable.
        if (text.compare(0, 2, "#!") == 0 && chmod(path.c_str(), 0755) != 0) {
            fprintf(stderr, "%s: %s/%s: %s\n", tool, shown.c_str(), file.c_str(), strerror(errno));
            return 0;
        }
    }
    return 1;
}

static int ListTemplates() {
    for (const std::string& name : Templates()) {
        std::string line, rest;
        ReadAbout(name, &line, &rest);
        printf("%-10s %s%s\n", name.c_str(), line.c_str(),
               name == kDefaultTemplate ? " (the default)" : "");
    }
    return 0;
}

int CmdNew(int argc, char** argv) {
    int status;
    if (CLI_Info(NewUsage, argc, argv, &status)) return status;
    static const CLI_Option options[] = {
        {"--name", CLI_TEXT}, {"--template", CLI_TEXT}, {"--list"}, {}};
    CLI_Args args;
    if (CLI_ParseArgs(NewUsage, options, argc, argv, &args, 1)) return CLI_USAGE;
    if (args["--list"].on) {
        if (!args.operands.empty() || args["--name"].given || args["--template"].given)
            return CLI_UsageError(NewUsage, "--list takes nothing else");
        return ListTemplates();
    }
    NewProject project;
    project.templateName = args["--template"].Or(kDefaultTemplate);
    if (!About(project.templateName)) {
        std::vector<std::string> names = Templates();
        std::vector<const char*> list;
        std::string problem = "--template names none of";
        for (const std::string& n : names) {
            problem += (list.empty() ? " " : ", ") + n;
            list.push_back(n.c_str());
        }
        problem += ":";
        list.push_back(nullptr);
        return CLI_UsageError(NewUsage, problem.c_str(), project.templateName.c_str(), list.data());
    }
    if (args.operands.empty()) return CLI_UsageError(NewUsage, "no folder given");
    std::string dir = args.operands[0];
    if (const char* problem = FolderProblem(dir))
        return CLI_UsageError(NewUsage, problem, dir.c_str());
    std::string& name = project.name;
    name = args["--name"].given ? args["--name"].text : NameOf(dir);
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
    project.prefix = EnginePrefix();
    int ok = chmod(work.c_str(), 0777 & ~mask) == 0 && WriteProject(work, dir, project);
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
    printf("%s: the show \"%s\" (the template %s) is in %s; build it with\n"
           "  cmake -S %s -B %s/build -DCMAKE_PREFIX_PATH=%s && cmake --build %s/build\n",
           tool, name.c_str(), project.templateName.c_str(), dir.c_str(), dir.c_str(), dir.c_str(),
           project.prefix.c_str(), dir.c_str());
    return 0;
}
