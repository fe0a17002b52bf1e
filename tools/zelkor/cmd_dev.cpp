// zelkor dev [DIR]: the maker's loop in one command. Builds the project,
// plays its show through play's loop, and between frames watches the
// project's sources: a save starts the build again beside the window, the
// show takes in what it remakes, and a failed build's first error lines go
// over the picture while the last good build plays on.
#include "commands.h"
#include "dev_errors.h"
#include "dev_job.h"
#include "dev_sources.h"
#include "play.h"
#include "play_problems.h"
#include "show_args.h"
#include "usage.h"

#include "engine/live.h"
#include "io/write_file.h"

#include <SDL.h>

#include <algorithm>
#include <climits>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* const tool = "zelkor dev";
const size_t kErrorLines = 8; // of a failed build, over the picture and on stderr
const double kQuietMs = 20;   // after the last save before a build starts: the save is done

struct Frame {
    timespec begun = {}, drawn = {};
};

// Everything dev keeps between frames.
struct Dev {
    std::string project; // absolute, ending in '/'
    std::string shown;   // the project's folder as given, ending in '/' ("" for the working one)
    std::string build;   // absolute, ending in '/'
    DevSources sources;
    DevJob job;
    // Saved since the last build began: the paths, the first one's save,
    // and when the last was seen.
    std::vector<std::string> saved;
    timespec firstSaved = {};
    double lastSeen = 0;
    // The build running: what it is for, and when it began.
    std::string building;
    timespec buildingSaved = {}, buildStarted = {};
    int failed = 0; // the last build failed: its lines are over the picture
    // The frames drawn while the build ran (its first ones): when their
    // iteration took in changed files, and when they were drawn.
    std::vector<Frame> frames;
    Frame frame;             // this iteration's
    uint64_t framesSeen = 0; // drawn before it
    // After a good build that changed the show, the first frame with what it
    // remade, told once drawn.
    int tell = 0;
    timespec remade = {}, tellUntil = {};
};
Dev dev;
volatile int interrupted = 0;

timespec Now(clockid_t clock = CLOCK_REALTIME) {
    timespec t;
    clock_gettime(clock, &t);
    return t;
}

double Ms(const timespec& from, const timespec& to) {
    return (double)(to.tv_sec - from.tv_sec) * 1000.0 + (double)(to.tv_nsec - from.tv_nsec) / 1e6;
}

double MonotonicMs() {
    return Ms(timespec(), Now(CLOCK_MONOTONIC));
}

timespec SavedAt(const std::string& path) {
    struct stat st;
    return stat((dev.project + path).c_str(), &st) == 0 ? st.st_mtim : Now();
}

std::vector<std::string> BuildCommand() {
    std::vector<std::string> args = {"cmake", "--build", dev.build};
    // Make builds one step at a time unless told.
    if (!getenv("CMAKE_BUILD_PARALLEL_LEVEL")) {
        long cpus = sysconf(_SC_NPROCESSORS_ONLN);
        args.push_back("--parallel");
        args.push_back(std::to_string(cpus > 0 ? cpus : 1));
    }
    return args;
}

// A new build folder finds the engine this zelkor belongs to, when it runs
// installed (PREFIX/libexec/zelkor/zelkor-dev).
std::vector<std::string> ConfigureCommand() {
    std::vector<std::string> args = {"cmake", "-S", dev.project, "-B", dev.build};
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    std::string own = n > 0 ? std::string(exe, (size_t)n) : "";
    const std::string installed = "/libexec/zelkor/zelkor-dev";
    if (own.size() > installed.size() &&
        own.compare(own.size() - installed.size(), installed.size(), installed) == 0)
        args.push_back("-DCMAKE_PREFIX_PATH=" + own.substr(0, own.size() - installed.size()));
    return args;
}

// The whole output of the last build, for when the lines shown are not enough.
std::string LogFile() {
    return dev.shown + "build/zelkor-dev.log";
}

void KeepLog() {
    const char* why = nullptr;
    if (!IO_WriteFile((dev.build + "zelkor-dev.log").c_str(), dev.job.output.data(),
                      dev.job.output.size(), 0, &why))
        fprintf(stderr, "%s: %s: %s\n", tool, LogFile().c_str(), why);
}

// A line in the overlay font's ASCII: the compilers' typographic quotes
// (in a UTF-8 locale) made plain, any other character beyond ASCII a '?'.
std::string Plain(const std::string& line) {
    std::string plain;
    for (size_t i = 0; i < line.size(); i++) {
        unsigned char c = (unsigned char)line[i];
        if (c < 0x80) {
            plain += (char)c;
            continue;
        }
        if (line.compare(i, 2, "\xE2\x80") == 0 && i + 2 < line.size()) {
            unsigned char q = (unsigned char)line[i + 2];
            if (q == 0x98 || q == 0x99 || q == 0x9C || q == 0x9D) {
                plain += q < 0x9C ? '\'' : '"';
                i += 2;
                continue;
            }
        }
        plain += '?';
        while (i + 1 < line.size() && ((unsigned char)line[i + 1] & 0xC0) == 0x80) i++;
    }
    return plain;
}

// A failed step: its first error lines on stderr and over the picture.
void TellFailure(const char* what) {
    std::vector<std::string> lines =
        Dev_ErrorLines(dev.job.output, kErrorLines, dev.project, dev.shown);
    fprintf(stderr, "%s: %s (all of its output: %s):\n", tool, what, LogFile().c_str());
    std::vector<std::string> shown = {std::string(what) + ":"};
    for (const std::string& line : lines) {
        fprintf(stderr, "  %s\n", line.c_str());
        shown.push_back(Plain(line));
    }
    Problems_SetBuild(shown);
}

// Runs a step before the show starts, its output on stderr as it comes; 1
// when it succeeded.
int RunNow(const std::vector<std::string>& args) {
    std::string why;
    if (!DevJob_Start(&dev.job, args, 1, &why)) {
        fprintf(stderr, "%s: %s: cannot run: %s\n", tool, args[0].c_str(), why.c_str());
        return 0;
    }
    int ok = DevJob_Wait(&dev.job, &interrupted);
    KeepLog();
    return ok;
}

void StopAsked(int) {
    interrupted = 1;
}

// The newest file the build wrote into the show folder (or its shaders)
// that the show takes in, into *newest; 0 when there is none.
int Remade(timespec* newest) {
    int found = 0;
    for (const char* folder : {"build/show/", "build/show/shaders/"}) {
        std::string path = dev.project + folder;
        DIR* dir = opendir(path.c_str());
        if (!dir) continue;
        while (dirent* entry = readdir(dir)) {
            std::string name = entry->d_name;
            size_t dot = name.rfind('.');
            std::string kind = dot == std::string::npos ? "" : name.substr(dot);
            // Not the program, the log, the record of the sources.
            if (kind != ".so" && kind != ".vkz" && kind != ".mp3" && kind != ".tga" &&
                kind != ".bmp" && kind != ".png" && kind != ".rgs" && kind != ".frag" &&
                kind != ".vert")
                continue;
            struct stat st;
            if (stat((path + name).c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
                Ms(dev.buildStarted, st.st_mtim) >= 0 && (!found || Ms(*newest, st.st_mtim) > 0)) {
                *newest = st.st_mtim;
                found = 1;
            }
        }
        closedir(dir);
    }
    return found;
}

void TellDrawn(const timespec& drawn) {
    fprintf(stderr, "%s: drawn %.0f ms after %s%s was saved\n", tool, Ms(dev.buildingSaved, drawn),
            dev.shown.c_str(), dev.building.c_str());
    dev.tell = 0;
}

void StartBuild() {
    dev.tell = 0;
    dev.frames.clear();
    dev.building = dev.saved[0];
    dev.buildingSaved = dev.firstSaved;
    if (dev.saved.size() > 1)
        fprintf(stderr, "%s: %s%s and %zu more saved; building\n", tool, dev.shown.c_str(),
                dev.building.c_str(), dev.saved.size() - 1);
    else
        fprintf(stderr, "%s: %s%s saved; building\n", tool, dev.shown.c_str(),
                dev.building.c_str());
    dev.saved.clear();
    dev.buildStarted = Now();
    std::string why;
    if (!DevJob_Start(&dev.job, BuildCommand(), 0, &why))
        fprintf(stderr, "%s: cmake: cannot run: %s\n", tool, why.c_str());
}

// The build ended; 1 when the picture's word about it changed.
int Finished(int succeeded) {
    KeepLog();
    double took = Ms(dev.buildStarted, Now()) / 1000.0;
    if (!succeeded) {
        char what[96];
        snprintf(what, sizeof what, "the build failed in %.1f s; the last good build plays on",
                 took);
        TellFailure(what);
        dev.failed = 1;
        return 1;
    }
    int changed = Remade(&dev.remade);
    fprintf(stderr, "%s: built in %.1f s%s\n", tool, took,
            changed ? "" : "; nothing in the show changed");
    // The show may have taken in what it remade while the build went on.
    for (const Frame& f : dev.frames)
        if (changed && Ms(dev.remade, f.begun) > 0) {
            TellDrawn(f.drawn);
            changed = 0;
            break;
        }
    dev.tell = changed;
    dev.tellUntil = Now();
    dev.tellUntil.tv_sec += 5; // a picture no scene shows draws nothing
    int mended = dev.failed;
    dev.failed = 0;
    if (mended) Problems_SetBuild({});
    return mended;
}

// Notes what was saved since the last build began. A file that came and
// went (the temporary file an editor renames over the source) was no save.
void NoteChanges() {
    std::vector<DevChange> changes;
    DevSources_Changed(&dev.sources, &changes);
    for (const DevChange& change : changes) {
        auto known = std::find(dev.saved.begin(), dev.saved.end(), change.path);
        if (change.removed && known != dev.saved.end()) {
            dev.saved.erase(known);
        } else if (known == dev.saved.end()) {
            if (dev.saved.empty()) dev.firstSaved = SavedAt(change.path);
            dev.saved.push_back(change.path);
        }
        dev.lastSeen = MonotonicMs();
    }
}

int BeforeFrame(void*) {
    NoteChanges();
    int redraw = 0, succeeded = 0;
    if (dev.job.pid >= 0 && !DevJob_Poll(&dev.job, &succeeded)) redraw = Finished(succeeded);
    if (dev.job.pid < 0 && !dev.saved.empty() && MonotonicMs() - dev.lastSeen >= kQuietMs)
        StartBuild();
    // What was written before now is taken in by this iteration.
    dev.frame.begun = Now();
    dev.framesSeen = Live_FramesDrawn();
    return redraw;
}

// A frame with what the build remade: how long after the save it was drawn.
void AfterFrame(void*) {
    if (Live_FramesDrawn() == dev.framesSeen) return;
    dev.frame.drawn = Now();
    if (dev.job.pid >= 0 && dev.frames.size() < 4096) dev.frames.push_back(dev.frame);
    if (dev.tell && Ms(dev.remade, dev.frame.begun) > 0) TellDrawn(dev.frame.drawn);
    if (dev.tell && Ms(dev.tellUntil, dev.frame.drawn) > 0) dev.tell = 0;
}

// Configures a new build folder and builds; 1 when there is a show to play
// (maybe one built before, when this build failed).
int FirstBuild() {
    if (access((dev.build + "CMakeCache.txt").c_str(), F_OK) != 0) {
        fprintf(stderr, "%s: configuring %sbuild\n", tool, dev.shown.c_str());
        if (!RunNow(ConfigureCommand())) {
            if (!interrupted) TellFailure("configuring the project failed");
            return 0;
        }
    }
    fprintf(stderr, "%s: building %s\n", tool, dev.shown.empty() ? "." : dev.shown.c_str());
    // A show built before plays on when this build fails.
    int played = access((dev.build + "show/data.vkz").c_str(), F_OK) == 0;
    dev.buildStarted = Now();
    if (RunNow(BuildCommand())) return 1;
    if (interrupted) return 0;
    TellFailure(played ? "the build failed; the show built before plays" : "the build failed");
    dev.failed = 1;
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
    dev.project = std::string(real) + (real[1] ? "/" : "");
    dev.shown = dir == "." ? "" : dir + "/";
    dev.build = dev.project + "build/";
    std::string why;
    // Watched from before the first build, so nothing saved meanwhile is missed.
    if (!DevSources_Open(&dev.sources, dev.project, &why))
        fprintf(stderr, "%s: %s: saves will not be seen: %s\n", tool, dir.c_str(), why.c_str());
    // Ctrl-C stops the first build and everything it started; then the
    // show's window takes it (SDL's own handler, installed only over the default).
    signal(SIGINT, StopAsked);
    signal(SIGTERM, StopAsked);
    int built = FirstBuild();
    signal(SIGINT, SIG_DFL);
    signal(SIGTERM, SIG_DFL);
    if (!built) {
        DevSources_Close(&dev.sources);
        return interrupted ? 130 : 1;
    }
    o.showDir = dev.shown + "build/show";
    PlayHooks hooks;
    hooks.beforeFrame = BeforeFrame;
    hooks.afterFrame = AfterFrame;
    SDL_SetMainReady();
    int result = Play_Run(o, hooks);
    DevJob_Stop(&dev.job);
    DevSources_Close(&dev.sources);
    SDL_Quit();
    return result;
}
