// zelkor: the authoring tool. Builds archives, timetables, tracks and texture scripts,
// decodes textures and runs the show for capture or play.
#include "commands.h"
#include "usage.h"

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
    const CLI_Usage* usage;
};

static const Command commands[] = {
    {"md5", CmdMd5, &Md5Usage},  {"codec", CmdCodec, &CodecUsage},    {"vkz", CmdVkz, &VkzUsage},
    {"tmg", CmdTmg, &TmgUsage},  {"trk", CmdTrk, &TrkUsage},          {"rgs", CmdRgs, &RgsUsage},
    {"tex", CmdTex, &TexUsage},  {"capture", nullptr, &CaptureUsage}, {"play", nullptr, &PlayUsage},
    {"dev", nullptr, &DevUsage}, {"new", CmdNew, &NewUsage},
};

// Every form of every command, one line each, in the order of the table.
static void PrintHelp() {
    CLI_PrintHelp(stdout, ZelkorUsage);
    printf("\nCommands:\n");
    for (const Command& c : commands) {
        std::string forms = c.usage->synopsis;
        if (c.run == CmdRgs) forms += std::string("\n") + RgsViewUsage.synopsis;
        for (size_t at = 0; at < forms.size();) {
            size_t end = forms.find('\n', at);
            if (end == std::string::npos) end = forms.size();
            printf("  %s\n", forms.substr(at, end - at).c_str());
            at = end + 1;
        }
    }
    printf("\n\"zelkor COMMAND --help\" describes a command; zelkor(1) has them all.\n");
}

static const Command* Find(const char* name) {
    for (const Command& c : commands)
        if (strcmp(name, c.name) == 0) return &c;
    return nullptr;
}

static int UnknownCommand(const char* name) {
    std::vector<const char*> names;
    for (const Command& c : commands) names.push_back(c.name);
    names.push_back(nullptr);
    return CLI_UsageError(ZelkorUsage, "unknown command", name, names.data());
}

static const char* self = "zelkor";

int RunBeside(const char* name, char** args) {
    std::string dir = ".";
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string own = n > 0 ? std::string(exe, (size_t)n) : std::string(self);
    size_t slash = own.rfind('/');
    if (slash != std::string::npos) dir = own.substr(0, slash);
    // Built, the programs stand beside zelkor; installed, in ../libexec/zelkor.
    std::string program = dir + "/zelkor-" + name;
    std::string installed = dir + "/../libexec/zelkor/zelkor-" + name;
    if (access(program.c_str(), X_OK) != 0 && access(installed.c_str(), X_OK) == 0)
        program = installed;
    std::vector<char*> argv = {program.data()};
    for (char** a = args; *a; a++) argv.push_back(*a);
    argv.push_back(nullptr);
    execv(program.c_str(), argv.data());
    fprintf(stderr, "zelkor: %s: %s\n", program.c_str(), strerror(errno));
    return 1;
}

int main(int argc, char** argv) {
    CLI_CheckStdoutAtExit("zelkor");
    self = argv[0];
    if (argc < 2) return CLI_UsageError(ZelkorUsage, "no command given");
    const char* first = argv[1];
    // "zelkor help [COMMAND]", as git has it.
    bool help = !strcmp(first, "help");
    if (!strcmp(first, "-h") || !strcmp(first, "--help") || (help && argc < 3)) {
        PrintHelp();
        return fflush(stdout) == 0 ? 0 : 1;
    }
    int status;
    if (!strcmp(first, "--version") && CLI_Info(ZelkorUsage, 1, argv + 1, &status)) return status;
    if (help) {
        const Command* c = Find(argv[2]);
        if (!c) return UnknownCommand(argv[2]);
        CLI_PrintHelp(stdout, *c->usage);
        return fflush(stdout) == 0 ? 0 : 1;
    }
    if (CLI_IsOption(first)) {
        static const char* const options[] = {"--help", "--version", nullptr};
        return CLI_UsageError(ZelkorUsage, "unknown option", first, options);
    }
    const Command* c = Find(first);
    if (!c) return UnknownCommand(first);
    if (c->run) return c->run(argc - 2, argv + 2);
    // Answered here, so they work whether or not the program is built.
    if (CLI_Info(*c->usage, argc - 2, argv + 2, &status)) return status;
    return RunBeside(c->name, argv + 2);
}
