// zelkor dev between frames: the saves seen, a build started once they are
// done and read without blocking, its end told (its errors over the picture,
// or the first frame with what it remade).
#include "dev.h"
#include "dev_errors.h"
#include "play_problems.h"

#include "engine/live.h"
#include "io/write_file.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

Dev g_dev;

namespace {

const char* const tool = DEV_TOOL;
const size_t kErrorLines = 8; // of a failed build, over the picture and on stderr
const double kQuietMs = 20;   // after the last save before a build starts: the save is done

double MonotonicMs() {
    return Dev_Ms(timespec(), Dev_Now(CLOCK_MONOTONIC));
}

timespec SavedAt(const std::string& path) {
    struct stat st;
    return stat((g_dev.project + path).c_str(), &st) == 0 ? st.st_mtim : Dev_Now();
}

// The whole output of the last build, for when the lines shown are not enough.
std::string LogFile() {
    return g_dev.shown + "build/zelkor-dev.log";
}

} // namespace

void Dev_KeepLog() {
    ZK_Status written = IO_WriteFile((g_dev.build + "zelkor-dev.log").c_str(),
                                     g_dev.job.output.data(), g_dev.job.output.size(), 0);
    if (!written.ok)
        fprintf(stderr, "%s: %s: %s\n", tool, LogFile().c_str(), written.problem.c_str());
}

// A failed step: its first error lines on stderr and over the picture.
void Dev_TellFailure(const char* what) {
    std::vector<std::string> lines =
        Dev_ErrorLines(g_dev.job.output, kErrorLines, g_dev.project, g_dev.shown);
    fprintf(stderr, "%s: %s (all of its output: %s):\n", tool, what, LogFile().c_str());
    std::vector<std::string> shown = {std::string(what) + ":"};
    for (const std::string& line : lines) {
        fprintf(stderr, "  %s\n", line.c_str());
        shown.push_back(Dev_PlainText(line));
    }
    Problems_SetBuild(shown);
}

timespec Dev_Now(clockid_t clock) {
    timespec t;
    clock_gettime(clock, &t);
    return t;
}

double Dev_Ms(const timespec& from, const timespec& to) {
    return (double)(to.tv_sec - from.tv_sec) * 1000.0 + (double)(to.tv_nsec - from.tv_nsec) / 1e6;
}

std::vector<std::string> Dev_BuildCommand() {
    std::vector<std::string> args = {"cmake", "--build", g_dev.build};
    // Make builds one step at a time unless told.
    if (!getenv("CMAKE_BUILD_PARALLEL_LEVEL")) {
        long cpus = sysconf(_SC_NPROCESSORS_ONLN);
        args.push_back("--parallel");
        args.push_back(std::to_string(cpus > 0 ? cpus : 1));
    }
    return args;
}

namespace {

// The newest file the build wrote into the show folder (or its shaders)
// that the show takes in, into *newest; 0 when there is none.
int Remade(timespec* newest) {
    int found = 0;
    for (const char* folder : {"build/show/", "build/show/shaders/"}) {
        std::string path = g_dev.project + folder;
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
                Dev_Ms(g_dev.buildStarted, st.st_mtim) >= 0 &&
                (!found || Dev_Ms(*newest, st.st_mtim) > 0)) {
                *newest = st.st_mtim;
                found = 1;
            }
        }
        closedir(dir);
    }
    return found;
}

void TellDrawn(const timespec& drawn) {
    fprintf(stderr, "%s: drawn %.0f ms after %s%s was saved\n", tool,
            Dev_Ms(g_dev.buildingSaved, drawn), g_dev.shown.c_str(), g_dev.building.c_str());
    g_dev.tell = 0;
}

void StartBuild() {
    g_dev.tell = 0;
    g_dev.frames.clear();
    g_dev.building = g_dev.saved[0];
    g_dev.buildingSaved = g_dev.firstSaved;
    if (g_dev.saved.size() > 1)
        fprintf(stderr, "%s: %s%s and %zu more saved; building\n", tool, g_dev.shown.c_str(),
                g_dev.building.c_str(), g_dev.saved.size() - 1);
    else
        fprintf(stderr, "%s: %s%s saved; building\n", tool, g_dev.shown.c_str(),
                g_dev.building.c_str());
    g_dev.saved.clear();
    g_dev.buildStarted = Dev_Now();
    ZK_Status started = DevJob_Start(&g_dev.job, Dev_BuildCommand(), 0);
    if (!started.ok) fprintf(stderr, "%s: cmake: cannot run: %s\n", tool, started.problem.c_str());
}

// The build ended; 1 when the picture's word about it changed.
int Finished(int succeeded) {
    Dev_KeepLog();
    double took = Dev_Ms(g_dev.buildStarted, Dev_Now()) / 1000.0;
    if (!succeeded) {
        char what[96];
        snprintf(what, sizeof what, "the build failed in %.1f s; the last good build plays on",
                 took);
        Dev_TellFailure(what);
        g_dev.failed = 1;
        return 1;
    }
    int changed = Remade(&g_dev.remade);
    fprintf(stderr, "%s: built in %.1f s%s\n", tool, took,
            changed ? "" : "; nothing in the show changed");
    // The show may have taken in what it remade while the build went on.
    for (const DevFrame& f : g_dev.frames)
        if (changed && Dev_Ms(g_dev.remade, f.begun) > 0) {
            TellDrawn(f.drawn);
            changed = 0;
            break;
        }
    g_dev.tell = changed;
    g_dev.tellUntil = Dev_Now();
    g_dev.tellUntil.tv_sec += 5; // a picture no scene shows draws nothing
    int mended = g_dev.failed;
    g_dev.failed = 0;
    if (mended) Problems_SetBuild({});
    return mended;
}

// Notes what was saved since the last build began. A file that came and
// went (the temporary file an editor renames over the source) was no save.
void NoteChanges() {
    std::vector<DevChange> changes;
    DevSources_Changed(&g_dev.sources, &changes);
    for (const DevChange& change : changes) {
        auto known = std::find(g_dev.saved.begin(), g_dev.saved.end(), change.path);
        if (change.removed && known != g_dev.saved.end()) {
            g_dev.saved.erase(known);
        } else if (known == g_dev.saved.end()) {
            if (g_dev.saved.empty()) g_dev.firstSaved = SavedAt(change.path);
            g_dev.saved.push_back(change.path);
        }
        g_dev.lastSeen = MonotonicMs();
    }
}

} // namespace

int Dev_BeforeFrame(void*) {
    NoteChanges();
    int redraw = 0, succeeded = 0;
    if (g_dev.job.pid >= 0 && !DevJob_Poll(&g_dev.job, &succeeded)) redraw = Finished(succeeded);
    if (g_dev.job.pid < 0 && !g_dev.saved.empty() && MonotonicMs() - g_dev.lastSeen >= kQuietMs)
        StartBuild();
    // What was written before now is taken in by this iteration.
    g_dev.frame.begun = Dev_Now();
    g_dev.framesSeen = Live_FramesDrawn();
    return redraw;
}

// A frame with what the build remade: how long after the save it was drawn.
void Dev_AfterFrame(void*) {
    if (Live_FramesDrawn() == g_dev.framesSeen) return;
    g_dev.frame.drawn = Dev_Now();
    if (g_dev.job.pid >= 0 && g_dev.frames.size() < 4096) g_dev.frames.push_back(g_dev.frame);
    if (g_dev.tell && Dev_Ms(g_dev.remade, g_dev.frame.begun) > 0) TellDrawn(g_dev.frame.drawn);
    if (g_dev.tell && Dev_Ms(g_dev.tellUntil, g_dev.frame.drawn) > 0) g_dev.tell = 0;
}
