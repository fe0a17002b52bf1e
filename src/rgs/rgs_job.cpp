#include "rgs/rgs_job.h"

#include "rgs/rgs.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <thread>

struct RGS_Job {
    std::vector<std::vector<uint8_t>> scripts;
    RGS_JobResult result;
    std::atomic<int> cancel{0}, done{0};
    std::thread thread;
};

static int Cancelled(void* user) {
    return ((RGS_Job*)user)->cancel.load(std::memory_order_relaxed);
}

static void Run(RGS_Job* job) {
    auto begin = std::chrono::steady_clock::now();
    memset(RGS_Layers, 0, sizeof RGS_Layers);
    RGS_Random = 0;
    for (const std::vector<uint8_t>& script : job->scripts) {
        if (Cancelled(job)) break;
        RunRGSUntil(script.data(), (uint32_t)script.size(), Cancelled, job);
        job->result.layer0.emplace_back(RGS_Layers[0], RGS_Layers[0] + LAYER_SIZE);
    }
    job->result.cancelled = Cancelled(job);
    std::chrono::duration<double, std::milli> spent = std::chrono::steady_clock::now() - begin;
    job->result.ms = spent.count();
    job->done.store(1, std::memory_order_release);
}

RGS_Job* RGS_JobStart(std::vector<std::vector<uint8_t>> scripts) {
    RGS_Job* job = new RGS_Job;
    job->scripts = std::move(scripts);
    try {
        job->thread = std::thread(Run, job);
    } catch (...) {
        delete job;
        return nullptr;
    }
    return job;
}

int RGS_JobDone(RGS_Job* job) {
    return job->done.load(std::memory_order_acquire);
}

void RGS_JobCancel(RGS_Job* job) {
    job->cancel.store(1, std::memory_order_relaxed);
}

const RGS_JobResult& RGS_JobGetResult(RGS_Job* job) {
    return job->result;
}

void RGS_JobFree(RGS_Job* job) {
    if (!job) return;
    RGS_JobCancel(job);
    job->thread.join();
    delete job;
}
