// zelkor dev's builds: a command run as a child process in a process group
// of its own, its output (stdout and stderr together) gathered without
// blocking, so the window plays on while it runs.
#pragma once
#include "core/status.h"

#include <string>
#include <sys/types.h>
#include <vector>

struct DevJob {
    pid_t pid = -1;     // -1: none running
    int out = -1;       // the read end of its output
    std::string output; // everything it wrote
    int echo = 0;       // its lines also go to stderr as they come
    size_t echoed = 0;  // how much of output went there
};

// Starts `argv` (found on the PATH) with `echo`; the system's reason when it
// cannot (the caller names the command).
ZK_Status DevJob_Start(DevJob* job, const std::vector<std::string>& argv, int echo);
// Takes what it wrote since; 1 while it runs, 0 once it has ended, with
// *succeeded 1 for an exit status of 0.
int DevJob_Poll(DevJob* job, int* succeeded);
// Blocks until it ends, or until *stop becomes nonzero (a signal), when
// it is stopped; 1 for an exit status of 0.
int DevJob_Wait(DevJob* job, volatile int* stop);
// Stops it and everything it started, and waits for it; nothing when none runs.
void DevJob_Stop(DevJob* job);
