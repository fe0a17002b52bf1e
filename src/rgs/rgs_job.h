// Texture scripts run on a thread of their own, so that a window keeps
// drawing and answering keys while a heavy script runs (play, rgs view). The
// scripts run in order from zeroed layers and a zero generator state, as a
// fresh start runs them. While a job runs, the layer store and the generator
// are its own: nothing else may touch them until RGS_JobDone says so.
#pragma once
#include <cstdint>
#include <vector>

struct RGS_Job;

struct RGS_JobResult {
    std::vector<std::vector<uint8_t>> layer0; // layer 0 as each script left it
    double ms = 0;                            // the run's wall time
    int cancelled = 0;                        // stopped early: the rest is not to be used
};

// Starts running the compiled scripts (copied); null when no thread can start.
RGS_Job* RGS_JobStart(std::vector<std::vector<uint8_t>> scripts);
// 1 once the run has ended; the result and RGS_Layers / RGS_Random (as the
// last script left them) are then the caller's.
int RGS_JobDone(RGS_Job* job);
// Asks the run to stop before its next command.
void RGS_JobCancel(RGS_Job* job);
// After RGS_JobDone.
const RGS_JobResult& RGS_JobGetResult(RGS_Job* job);
// Cancels the run if it is still going, waits for it and frees the job.
void RGS_JobFree(RGS_Job* job);
