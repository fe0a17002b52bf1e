#include "capture_loop.h"

#include "capture_progress.h"
#include "engine/runner.h"

#include <csignal>
#include <vector>

static volatile sig_atomic_t interrupted = 0;

static void OnInterrupt(int) {
    interrupted = 1;
}

void Capture_CatchInterrupt() {
    struct sigaction action = {};
    action.sa_handler = OnInterrupt;
    sigemptyset(&action.sa_mask);
    sigaction(SIGINT, &action, nullptr);
}

int Capture_Run(const CaptureSchedule* schedule, int width, int height, const CaptureSink* sink,
                int quiet, uint32_t lead, CaptureReport* report) {
    const uint64_t total = CaptureSchedule_Count(schedule);
    std::vector<uint8_t> pixels;
    if (!sink->buffer) pixels.resize((size_t)width * height * (sink->bgra ? 4 : 3));
    uint32_t music = Runner_FrameTime(0);
    uint32_t last = schedule->fps > 0 ? schedule->to : total ? schedule->times.back() : music;
    uint32_t due = schedule->fps > 0 ? schedule->from : total ? schedule->times.front() : music;
    CaptureProgress progress;
    Progress_Begin(&progress, total, music, due, last, quiet);
    int end = CAPTURE_DONE;
    CaptureRun run;
    CaptureRun_Begin(&run, schedule, lead);
    while (run.k < total && end == CAPTURE_DONE) {
        if (interrupted) {
            end = CAPTURE_INTERRUPTED;
            break;
        }
        int drawn = CaptureRun_Frame(&run, &music);
        if (drawn == RUNNER_ENDED) {
            end = CAPTURE_ENDED;
            break;
        }
        if (drawn == RUNNER_STOPPED) {
            end = CAPTURE_STOPPED;
            break;
        }
        if (CaptureSchedule_Due(schedule, run.k, music)) {
            // A plain read: with Mesa's software rasterizer a read into a pixel
            // buffer object waits for the frame just the same (measured: no gain).
            uint8_t* into = sink->buffer ? sink->buffer(sink->user) : pixels.data();
            if (!into) {
                end = CAPTURE_SINK_FAILED;
                break;
            }
            if (sink->picture)
                Runner_ReadPictureRgba(into);
            else if (sink->bgra)
                Runner_ReadBgra(into);
            else
                Runner_ReadRgb(into);
            for (; run.k < total && CaptureSchedule_Due(schedule, run.k, music); run.k++)
                if (!sink->frame(sink->user, run.k, music, into)) {
                    end = CAPTURE_SINK_FAILED;
                    break;
                }
        }
        Progress_Update(&progress, run.k, music);
    }
    uint64_t k = run.k;
    CaptureRun_End(&run);
    report->frames = k;
    report->music = music;
    report->seconds = Progress_End(&progress, k, music);
    return end;
}
