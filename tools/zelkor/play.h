// zelkor play's options and loop, which zelkor dev runs too: dev builds the
// project, then plays its show through this same loop, looking at its build
// between frames.
#pragma once
#include "cli/args.h"

#include <string>

struct PlayOptions {
    std::string showDir, timetable, scene, tracks, scenes, at;
    int width = 800, height = 600, loop = 0, haveAt = 0, fastSeek = 0, noSound = 0;
    int renderer = -1;                // none asked for
    const CLI_Usage* usage = nullptr; // whose words a usage error takes (null: play's)
};

// Play's options, for CLI_ParseArgs.
extern const CLI_Option PlayOptionTable[];
// The options parsed into *o; a usage error (CLI_USAGE) is told in `usage`'s words.
int Play_ReadOptions(const CLI_Usage& usage, const CLI_Args& args, PlayOptions* o);

// Run between the frames of the loop, for a host around it (zelkor dev).
struct PlayHooks {
    // Before the frame's changes are taken in; 1 asks for the frame to be
    // drawn even while paused.
    int (*beforeFrame)(void* user) = nullptr;
    // After the frame (drawn or not).
    void (*afterFrame)(void* user) = nullptr;
    void* user = nullptr;
};

// Plays the show until Escape or the window's close: 0, or 1 when it does
// not start (the reason on stderr), 2 for a usage error found only then
// (--at BAR.BEAT needs the tracks' grid). Enters the show folder.
int Play_Run(const PlayOptions& o, const PlayHooks& hooks);
