#include "capture_progress.h"

#include "cli/times.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>

static double Now() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

static void Show(CaptureProgress* p, uint64_t done, uint32_t music, double now, const char* end) {
    double elapsed = now - p->started;
    if (elapsed <= 0) elapsed = 1e-6;
    double covered = music > p->firstMusic ? (music - p->firstMusic) / 1000.0 : 0;
    double speed = covered / elapsed; // show seconds per second
    double left = music < p->lastMusic ? (p->lastMusic - music) / 1000.0 : 0;
    char eta[32] = "-";
    if (speed > 0) {
        long s = (long)(left / speed + 0.5);
        snprintf(eta, sizeof eta, "%ld:%02ld", s / 60, s % 60);
    }
    const char* cr = p->terminal ? "\r" : "";
    if (done == 0 && music < p->firstDue) {
        // "frame 0 of 90" for minutes would look like a hang.
        uint32_t way = p->firstDue - p->firstMusic;
        int percent = way ? (int)((uint64_t)(music - p->firstMusic) * 100 / way) : 100;
        fprintf(stderr, "%ssimulating up to %s, %d %%, %.2fx real time%s", cr,
                CLI_FormatTime(p->firstDue).c_str(), percent, speed, end);
    } else {
        fprintf(stderr, "%sframe %llu of %llu (%d%%), %.1f fps, %.2fx real time, ETA %s%s", cr,
                (unsigned long long)done, (unsigned long long)p->total,
                p->total ? (int)(100 * done / p->total) : 100, done / elapsed, speed, eta, end);
    }
    p->shown = now;
}

void Progress_Begin(CaptureProgress* p, uint64_t total, uint32_t firstMusic, uint32_t firstDue,
                    uint32_t lastMusic, int quiet) {
    p->total = total;
    p->firstMusic = firstMusic;
    p->firstDue = firstDue;
    p->lastMusic = lastMusic > firstMusic ? lastMusic : firstMusic;
    p->quiet = quiet;
    p->terminal = isatty(STDERR_FILENO);
    p->started = p->shown = Now();
    // A catch-up may be over before the first redraw: say it began.
    if (!quiet && p->terminal && firstDue > firstMusic)
        Show(p, 0, firstMusic, p->started, "\033[K");
}

void Progress_Update(CaptureProgress* p, uint64_t done, uint32_t music) {
    if (p->quiet) return;
    double now = Now();
    // A terminal line is redrawn a few times a second, a log gets one every 10 s.
    if (now - p->shown >= (p->terminal ? 0.25 : 10.0))
        Show(p, done, music, now, p->terminal ? "\033[K" : "\n");
}

double Progress_End(CaptureProgress* p, uint64_t done, uint32_t music) {
    double now = Now();
    // Elsewhere a run too short for a progress line gets no closing one either.
    if (!p->quiet && (p->terminal || p->shown > p->started))
        Show(p, done, music, now, p->terminal ? "\033[K\n" : "\n");
    return now - p->started;
}
