// zelkor: the authoring tool. Builds archives, timetables and texture scripts,
// decodes textures and captures frames of the show.
#include "commands.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

struct Command {
    const char* name;
    int (*run)(int argc, char** argv); // null: a program of its own, see RunBeside
    const char* usage;
};

static const Command commands[] = {
    {"md5", CmdMd5, "md5 FILE..."},
    {"codec", CmdCodec, "codec compress|decompress --codec C [--size N] IN OUT"},
    {"vkz", CmdVkz, "vkz create|list|extract|verify ARCHIVE ..."},
    {"tmg", CmdTmg, "tmg compile SRC.txt -o OUT.tmg | tmg dump FILE.tmg"},
    {"rgs", CmdRgs, "rgs asm|disasm|run ..."},
    {"tex", CmdTex, "tex decode FILE [--raw OUT]"},
    {"capture", nullptr,
     "capture [--size WxH] [--fps N] --from T --to T -o OUT.mp4|.mkv|.webm|DIR | --at T,... -o "
     "DIR"},
};

static int Usage() {
    fprintf(stderr, "usage: zelkor COMMAND ...\n");
    for (const Command& c : commands) fprintf(stderr, "  zelkor %s\n", c.usage);
    return 2;
}

// The commands that run the show are programs of their own, "zelkor-NAME"
// beside this one (git's way), so the content commands link no GL, SDL or
// scenes and the content build never waits for the engine.
static int RunBeside(const char* self, const char* name, char** args) {
    std::string dir = ".";
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string own = n > 0 ? std::string(exe, (size_t)n) : std::string(self);
    size_t slash = own.rfind('/');
    if (slash != std::string::npos) dir = own.substr(0, slash);
    std::string program = dir + "/zelkor-" + name;
    std::vector<char*> argv = {program.data()};
    for (char** a = args; *a; a++) argv.push_back(*a);
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    fprintf(stderr, "zelkor %s: %s: %s\n", name, program.c_str(), strerror(errno));
    return 1;
}

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    for (const Command& c : commands) {
        if (strcmp(argv[1], c.name) != 0) continue;
        return c.run ? c.run(argc - 2, argv + 2) : RunBeside(argv[0], c.name, argv + 2);
    }
    fprintf(stderr, "zelkor: unknown command '%s'\n", argv[1]);
    return Usage();
}
