// zelkor dev's record, which its command (cmd_dev.cpp) and its steps
// between frames (dev_loop.cpp) share, and what they call of each other.
#pragma once
#include "dev_job.h"
#include "dev_sources.h"

#include <cstdint>
#include <ctime>
#include <string>
#include <vector>

#define DEV_TOOL "zelkor dev"

struct DevFrame {
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
    std::vector<DevFrame> frames;
    DevFrame frame;          // this iteration's
    uint64_t framesSeen = 0; // drawn before it
    // After a good build that changed the show, the first frame with what it
    // remade, told once drawn.
    int tell = 0;
    timespec remade = {}, tellUntil = {};
};
extern Dev g_dev;

timespec Dev_Now(clockid_t clock = CLOCK_REALTIME);
// Milliseconds from one time to another.
double Dev_Ms(const timespec& from, const timespec& to);
// cmake --build on the project's build folder.
std::vector<std::string> Dev_BuildCommand();
// The job's whole output into DIR/build/zelkor-dev.log.
void Dev_KeepLog();
// A failed step: its first error lines on stderr and over the picture,
// after `what`.
void Dev_TellFailure(const char* what);
// Play's hooks: the saves seen, the build started and its end told, before
// each frame (1 when the picture's word about the build changed); after
// it, the first frame with what a build remade told.
int Dev_BeforeFrame(void* user);
void Dev_AfterFrame(void* user);
