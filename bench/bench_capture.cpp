// The cost of writing the show to a video: over 0-32 s of the built show at
// 640x480 and 1280x720, frames per second of rendering with read-back only
// ("stills to nowhere") against the whole export to .mp4 (read-back, the
// encoder's queue, H.264 and AAC, the file), their ratio, and the export's
// peak memory; then the whole show at 640x480 as a multiple of real time.
// Each case runs in a process of its own, so its peak memory is its own; the
// two compared cases run twice, alternating, and the faster run counts, since
// a shared machine's load only ever slows a run down. CPU time per frame (all
// threads) is the steadier figure there.
// Usage: bench_capture [SHOW_DIR] [--quick] (default: the build's show
// folder; --quick: 640x480 only); runs on SDL's offscreen driver when no
// display is set.
#include "capture_loop.h"
#include "capture_video.h"
#include "engine/runner.h"

#include <SDL.h>

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>

enum Mode { STILLS_RGB, STILLS_BGRA, EXPORT };

struct Result {
    int ok = 0;
    double frames = 0, seconds = 0, showSeconds = 0;
    double cpuSeconds = 0; // of every thread of the process, over the same span
};

static double ProcessSeconds() {
    struct rusage r;
    getrusage(RUSAGE_SELF, &r);
    return r.ru_utime.tv_sec + r.ru_stime.tv_sec + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

static int Nowhere(void*, uint64_t, uint32_t, const uint8_t*) {
    return 1;
}

// One case in this (child) process.
static Result RunCase(const char* show, Mode mode, int w, int h, uint32_t to) {
    Result r;
    if (chdir(show) != 0) return r;
    std::string scratch = "/tmp/zk_bench_capture_" + std::to_string(getpid());
    std::string log = scratch + ".log", path = scratch + ".mp4";
    CaptureSchedule schedule;
    schedule.from = 0, schedule.to = to, schedule.fps = 60;
    CaptureSink sink;
    sink.frame = Nowhere;
    sink.bgra = mode != STILLS_RGB;
    CaptureVideo* video = nullptr;
    ZK_Status error, soundProblem;
    if (mode == EXPORT) {
        ZK_VideoSettings s;
        s.path = path.c_str();
        s.width = w, s.height = h;
        s.pixelFormat = ZK_VIDEO_BGRA;
        s.bottomUp = 1;
        video = CaptureVideo_Open(&s, &schedule, "sound.mp3", &soundProblem, &error);
        if (!video) {
            fprintf(stderr, "bench_capture: %s\n", ZK_StatusText(error).c_str());
            return r;
        }
        sink.frame = CaptureVideo_Frame, sink.user = video;
    }
    Runner_SetLogPath(log.c_str());
    if (Runner_Start(w, h) != RUNNER_OK) {
        fprintf(stderr, "bench_capture: the show in %s did not start\n", show);
        CaptureVideo_Abort(video);
        return r;
    }
    auto start = std::chrono::steady_clock::now();
    double cpuStart = ProcessSeconds();
    CaptureReport report;
    int end = Capture_Run(&schedule, w, h, &sink, 1, CAPTURE_DRAW_ALL, &report);
    r.ok = end == CAPTURE_DONE || end == CAPTURE_ENDED;
    if (video) r.ok = CaptureVideo_Finish(video).ok && r.ok;
    r.cpuSeconds = ProcessSeconds() - cpuStart;
    r.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    r.frames = (double)report.frames;
    r.showSeconds = (report.music - Runner_FrameTime(0)) / 1000.0;
    Runner_Stop();
    SDL_Quit();
    remove(log.c_str());
    remove(path.c_str());
    return r;
}

// The case in a child process; its result and peak resident memory (MiB).
static Result Fork(const char* show, Mode mode, int w, int h, uint32_t to, double* peakMiB) {
    Result r;
    int fds[2];
    if (pipe(fds) != 0) return r;
    fflush(stdout);
    pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        Result mine = RunCase(show, mode, w, h, to);
        ssize_t n = write(fds[1], &mine, sizeof mine);
        _exit(n == (ssize_t)sizeof mine ? 0 : 1);
    }
    close(fds[1]);
    if (pid < 0 || read(fds[0], &r, sizeof r) != (ssize_t)sizeof r) r = Result();
    close(fds[0]);
    int status = 0;
    struct rusage usage = {};
    if (pid > 0) wait4(pid, &status, 0, &usage);
    *peakMiB = usage.ru_maxrss / 1024.0;
    return r;
}

static void Line(const char* what, const Result& r, double peakMiB) {
    printf("  %-32s %6.1f fps  %6.2f ms CPU a frame  peak %6.1f MiB\n", what, r.frames / r.seconds,
           1000 * r.cpuSeconds / r.frames, peakMiB);
}

int main(int argc, char** argv) {
    int quick = argc > 1 && std::string(argv[argc - 1]) == "--quick";
    if (quick) argc--;
    std::string show = argc > 1 ? argv[1] : ZK_BINARY_DIR "/show";
    printf("show %s, 60 fps simulated and written, H.264 crf 18 realtime (the default), AAC\n",
           show.c_str());
    const int sizes[][2] = {{640, 480}, {1280, 720}};
    for (const auto& size : sizes) {
        const int w = size[0], h = size[1];
        double peak[3] = {};
        Result rgb = Fork(show.c_str(), STILLS_RGB, w, h, 32000, &peak[0]);
        Result bgra, video;
        for (int run = 0; run < 2; run++) {
            double p = 0;
            Result b = Fork(show.c_str(), STILLS_BGRA, w, h, 32000, &p);
            if (!run || b.seconds < bgra.seconds) bgra = b, peak[1] = p;
            Result v = Fork(show.c_str(), EXPORT, w, h, 32000, &p);
            if (!run || v.seconds < video.seconds) video = v, peak[2] = p;
        }
        if (!rgb.ok || !bgra.ok || !video.ok) {
            fprintf(stderr, "bench_capture: a case failed at %dx%d\n", w, h);
            return 1;
        }
        printf("0-32 s at %dx%d, %.0f frames:\n", w, h, video.frames);
        Line("stills to nowhere, RGB read-back", rgb, peak[0]);
        Line("stills to nowhere, BGRA", bgra, peak[1]);
        Line("export to .mp4 (BGRA)", video, peak[2]);
        printf("  export / stills (BGRA): %.3f in time, %.3f in CPU\n",
               bgra.frames / bgra.seconds / (video.frames / video.seconds),
               video.cpuSeconds / bgra.cpuSeconds);
        if (quick) return 0;
    }
    double peak = 0;
    Result whole = Fork(show.c_str(), EXPORT, 640, 480, 86400000u, &peak);
    if (!whole.ok) {
        fprintf(stderr, "bench_capture: the whole show failed\n");
        return 1;
    }
    printf("whole show at 640x480 to .mp4: %.1f s of show in %.1f s, %.2fx real time\n",
           whole.showSeconds, whole.seconds, whole.showSeconds / whole.seconds);
    Line("whole show", whole, peak);
    return 0;
}
