// zelkor dev [DIR]: the maker's loop in one command. Builds the project,
// plays its show through play's loop, and between frames watches the
// project's sources: a save starts the build again beside the window, the
// show takes in what it remakes, and a failed build's first error lines go
// over the picture while the last good build plays on.
#include "commands.h"
#include "dev.h"
#include "play.h"
#include "usage.h"

#include <SDL.h>

#include <climits>
#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

const char* const tool = DEV_TOOL;
volatile int interrupted = 0;

// A new build folder finds the engine this zelkor belongs to, when it runs
// installed (PREFIX/libexec/zelkor/zelkor-dev).
std::vector<std::string> ConfigureCommand() {
    std::vector<std::string> args = {"cmake", "-S", g_dev.project, "-B", g_dev.build};
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string own = n > 0 ? std::string(exe, (size_t)n) : "";
    const std::string installed = "/libexec/zelkor/zelkor-dev";
    if (own.size() > installed.size() &&
        own.compare(own.size() - installed.size(), installed.size(), installed) == 0)
        args.push_back("-DCMAKE_PREFIX_PATH=" + own.substr(0, own.size() - installed.size()));
    return args;
}

// Runs a step before the show starts, its output on stderr as it comes; 1
// when it succeeded.
int RunNow(const std::vector<std::string>& args) {
    ZK_Status started = DevJob_Start(&g_dev.job, args, 1);
    if (!started.ok) {
        fprintf(stderr, "%s: %s: cannot run: %s\n", tool, args[0].c_str(), started.problem.c_str());
        return 0;
    }
    int ok = DevJob_Wait(&g_dev.job, &interrupted);
    Dev_KeepLog();
    return ok;
}

void StopAsked(int) {
    interrupted = 1;
}

// Configures a new build folder and builds; 1 when there is a show to play
// (maybe one built before, when this build failed).
int FirstBuild() {
    if (access((g_dev.build + "CMakeCache.txt").c_str(), F_OK) != 0) {
        fprintf(stderr, "%s: configuring %sbuild\n", tool, g_dev.shown.c_str());
        if (!RunNow(ConfigureCommand())) {
            if (!interrupted) Dev_TellFailure("configuring the project failed");
            return 0;
        }
    }
    fprintf(stderr, "%s: building %s\n", tool, g_dev.shown.empty() ? "." : g_dev.shown.c_str());
    // A show built before plays on when this build fails.
    int played = access((g_dev.build + "show/data.vkz").c_str(), F_OK) == 0;
    g_dev.buildStarted = Dev_Now();
    if (RunNow(Dev_BuildCommand())) return 1;
    if (interrupted) return 0;
    Dev_TellFailure(played ? "the build failed; the show built before plays" : "the build failed");
    g_dev.failed = 1;
    return played;
}

} // namespace

int CmdDev(int argc, char** argv) {
    int status;
    if (CLI_Info(DevUsage, argc, argv, &status)) return status;
    CLI_Args args;
    if (CLI_ParseArgs(DevUsage, PlayOptionTable, argc, argv, &args, 1)) return CLI_USAGE;
    if (args["--dir"].given)
        return CLI_UsageError(DevUsage, "give the project's folder as DIR, not --dir",
                              args["--dir"].text);
    PlayOptions o;
    int usage = Play_ReadOptions(DevUsage, args, &o);
    if (usage) return usage;
    std::string dir = args.operands.empty() ? "." : args.operands[0];
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    if (access((dir + "/CMakeLists.txt").c_str(), F_OK) != 0) {
        fprintf(stderr, "%s: %s: not a show project (no CMakeLists.txt; zelkor new makes one)\n",
                tool, dir.c_str());
        return 1;
    }
    char real[PATH_MAX];
    if (!realpath(dir.c_str(), real)) {
        fprintf(stderr, "%s: %s: cannot enter it\n", tool, dir.c_str());
        return 1;
    }
    g_dev.project = std::string(real) + (real[1] ? "/" : "");
    g_dev.shown = dir == "." ? "" : dir + "/";
    g_dev.build = g_dev.project + "build/";
    // Watched from before the first build, so nothing saved meanwhile is missed.
    ZK_Status watched = DevSources_Open(&g_dev.sources, g_dev.project);
    if (!watched.ok)
        fprintf(stderr, "%s: %s: saves will not be seen: %s\n", tool, dir.c_str(),
                watched.problem.c_str());
    // Ctrl-C stops the first build and everything it started; then the
    // show's window takes it (SDL's own handler, installed only over the default).
    signal(SIGINT, StopAsked);
    signal(SIGTERM, StopAsked);
    int built = FirstBuild();
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    if (!built) {
        DevSources_Close(&g_dev.sources);
        return interrupted ? 130 : 1;
    }
    o.showDir = g_dev.shown + "build/show";
    PlayHooks hooks;
    hooks.beforeFrame = Dev_BeforeFrame;
    hooks.afterFrame = Dev_AfterFrame;
    SDL_SetMainReady();
    int result = Play_Run(o, hooks);
    DevJob_Stop(&g_dev.job);
    DevSources_Close(&g_dev.sources);
    SDL_Quit();
    return result;
}
