#include "engine/capture_run.h"

#include "engine/engine.h"
#include "engine/runner.h"

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

void CaptureRun_Begin(CaptureRun* run, const CaptureSchedule* schedule, uint32_t lead) {
    *run = CaptureRun();
    run->schedule = schedule;
    run->lead = lead;
    run->exact = lead == CAPTURE_DRAW_ALL ? nullptr : Engine_Mark();
}

int CaptureRun_Frame(CaptureRun* run, uint32_t* music) {
    const CaptureSchedule* schedule = run->schedule;
    const uint32_t lead = run->lead;
    const uint64_t k = run->k;
    uint64_t& n = run->n;
    int inLead = lead == CAPTURE_DRAW_ALL || run->drawAllFor == k ||
                 CaptureSchedule_Due(schedule, k, Runner_FrameTime(n + lead));
    if (!inLead && run->leading && run->exact) {
        Engine_FreeMark(run->exact);
        run->exact = Engine_Mark();
        run->exactFrom = n;
    }
    if (inLead && !run->leading && lead != CAPTURE_DRAW_ALL) {
        int proven = 1;
        run->drawFrom = FirstToDraw(schedule, k, n, &proven);
        if (!proven && run->exact) {
            // From there, the last frame that stands alone, if any.
            Engine_Rewind(run->exact);
            n = run->exactFrom;
            run->drawFrom = FirstToDraw(schedule, k, n, &proven);
            if (!proven) run->drawFrom = n;
            run->drawAllFor = k;
        }
    }
    run->leading = inLead;
    int draw = run->leading && n >= run->drawFrom;
    int result = draw ? Runner_DrawFrame(n) : Runner_SimulateFrame(n);
    if (result != RUNNER_ENDED) *music = Runner_FrameTime(n);
    n++;
    return result;
}

void CaptureRun_End(CaptureRun* run) {
    if (run->exact) Engine_FreeMark(run->exact);
    run->exact = nullptr;
}
