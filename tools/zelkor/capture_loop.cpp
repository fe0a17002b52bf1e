#include "capture_loop.h"

#include "capture_progress.h"
#include "engine/engine.h"
#include "engine/runner.h"

#include <csignal>

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

uint64_t CaptureSchedule_Count(const CaptureSchedule* s) {
    if (s->fps <= 0) return s->times.size();
    if (s->to <= s->from) return 0;
    // The k with k x 1000 / fps < to - from.
    return ((uint64_t)(s->to - s->from) * (uint64_t)s->fps + 999) / 1000;
}

int CaptureSchedule_Due(const CaptureSchedule* s, uint64_t k, uint32_t music) {
    if (s->fps <= 0) return music >= s->times[k];
    // music >= from + k x 1000 / fps, in integers so nothing is rounded.
    return music >= s->from && (uint64_t)(music - s->from) * (uint64_t)s->fps >= k * 1000;
}

static int Simulate(void*, uint64_t frame) {
    return Runner_SimulateFrame(frame) == RUNNER_OK;
}

// A catch-up reaches frame n with output frame k due within the lead: where
// drawing starts so that k's frame is as in a run that drew every frame.
static uint64_t FirstToDraw(const CaptureSchedule* schedule, uint64_t k, uint64_t n, int* proven) {
    uint64_t due = n;
    while (!CaptureSchedule_Due(schedule, k, Runner_FrameTime(due))) due++;
    return Engine_FirstToDraw(n, due, Simulate, nullptr, proven);
}

int Capture_Run(const CaptureSchedule* schedule, int width, int height, const CaptureSink* sink,
                int quiet, uint32_t lead, CaptureReport* report) {
    const uint64_t total = CaptureSchedule_Count(schedule);
    std::vector<uint8_t> pixels((size_t)width * (size_t)height * (sink->bgra ? 4 : 3));
    uint32_t music = Runner_FrameTime(0);
    uint32_t last = schedule->fps > 0 ? schedule->to : total ? schedule->times.back() : music;
    uint32_t due = schedule->fps > 0 ? schedule->from : total ? schedule->times.front() : music;
    CaptureProgress progress;
    Progress_Begin(&progress, total, music, due, last, quiet);
    int end = CAPTURE_DONE;
    uint64_t k = 0;
    // Inside a lead the frames from drawFrom on are drawn.
    int leading = 0;
    uint64_t drawFrom = 0;
    // Where the picture last was as in a run that drew every frame (the end
    // of a lead, or the start): a lead that cannot be shown to come out so
    // (a trail longer than it) goes back there and draws on, up to its frame.
    EngineMark* exact = lead == CAPTURE_DRAW_ALL ? nullptr : Engine_Mark();
    uint64_t exactFrom = 0, drawAllFor = UINT64_MAX;
    for (uint64_t n = 0; k < total && end == CAPTURE_DONE; n++) {
        if (interrupted) {
            end = CAPTURE_INTERRUPTED;
            break;
        }
        int inLead = lead == CAPTURE_DRAW_ALL || drawAllFor == k ||
                     CaptureSchedule_Due(schedule, k, Runner_FrameTime(n + lead));
        if (!inLead && leading && exact) {
            Engine_FreeMark(exact);
            exact = Engine_Mark();
            exactFrom = n;
        }
        if (inLead && !leading && lead != CAPTURE_DRAW_ALL) {
            int proven = 1;
            drawFrom = FirstToDraw(schedule, k, n, &proven);
            if (!proven && exact) {
                // From there, the last frame that stands alone, if any.
                Engine_Rewind(exact);
                n = exactFrom;
                drawFrom = FirstToDraw(schedule, k, n, &proven);
                if (!proven) drawFrom = n;
                drawAllFor = k;
            }
        }
        leading = inLead;
        int draw = leading && n >= drawFrom;
        int drawn = draw ? Runner_DrawFrame(n) : Runner_SimulateFrame(n);
        if (drawn == RUNNER_ENDED) {
            end = CAPTURE_ENDED;
            break;
        }
        music = Runner_FrameTime(n);
        if (drawn == RUNNER_STOPPED) {
            end = CAPTURE_STOPPED;
            break;
        }
        if (CaptureSchedule_Due(schedule, k, music)) {
            // A plain read: with Mesa's software rasterizer a read into a pixel
            // buffer object waits for the frame just the same (measured: no gain).
            if (sink->bgra)
                Runner_ReadBgra(pixels.data());
            else
                Runner_ReadRgb(pixels.data());
            for (; k < total && CaptureSchedule_Due(schedule, k, music); k++)
                if (!sink->frame(sink->user, k, music, pixels.data())) {
                    end = CAPTURE_SINK_FAILED;
                    break;
                }
        }
        Progress_Update(&progress, k, music);
    }
    if (exact) Engine_FreeMark(exact);
    report->frames = k;
    report->music = music;
    report->seconds = Progress_End(&progress, k, music);
    return end;
}
