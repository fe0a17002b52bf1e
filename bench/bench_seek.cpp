// zelkor play's seeks on the built show in an 800x600 window: how long from
// the key to the frame shown, fast (the scenes keep their state: the old
// way) against exact (the scenes run there from a mark), for a seek far
// ahead with no mark yet, back to a scene already passed, within the entry
// playing (a mark less than 5 s back), and into a swirl (whose last 120
// frames are drawn). Wall and CPU time of each, the best of three (a shared
// machine only ever slows a run down). Runs on SDL's offscreen driver when no
// display is set.
// Usage: bench_seek [SHOW_DIR]
#include "engine/live.h"
#include "engine/offscreen.h"
#include "engine/runner.h"

#include <SDL.h>

#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

static double CpuSeconds() {
    struct rusage r;
    getrusage(RUSAGE_SELF, &r);
    return r.ru_utime.tv_sec + r.ru_stime.tv_sec + (r.ru_utime.tv_usec + r.ru_stime.tv_usec) / 1e6;
}

// One seek and the frame after it; wall and CPU ms.
static void Seek(uint32_t to, double* wall, double* cpu) {
    auto start = std::chrono::steady_clock::now();
    double cpuStart = CpuSeconds();
    Live_Seek(to);
    Live_Frame(0);
    *cpu = 1000 * (CpuSeconds() - cpuStart);
    *wall = 1000 * std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

struct Case {
    const char* what;
    uint32_t from, to;
    int fresh; // the marks forgotten first: nothing passed yet
};

int main(int argc, char** argv) {
    std::string show = argc > 1 ? argv[1] : ZK_BINARY_DIR "/show";
    if (chdir(show.c_str()) != 0) {
        fprintf(stderr, "bench_seek: cannot enter %s\n", show.c_str());
        return 1;
    }
    Offscreen_Prepare();
    Live_SetLogPath("/tmp/zk_bench_seek.log");
    if (Live_Start(800, 600, 0, 0) != RUNNER_OK) {
        fprintf(stderr, "bench_seek: the show in %s did not start\n", show.c_str());
        return 1;
    }
    Live_SetPaused(1);
    const Case cases[] = {
        {"far ahead, no mark yet (0 -> 2:30)", 0, 150000, 1},
        {"back to a scene passed (2:30 -> 0:50)", 150000, 50000, 0},
        {"within the entry (0:50 -> 0:53)", 50000, 53000, 0},
        {"into a swirl (1:40, drawn 2 s)", 50000, 100000, 0},
        {"within a swirl (1:40 -> 1:42)", 100000, 102000, 0},
    };
    printf("show %s, 800x600, seek and its frame, best of 3 (ms)\n", show.c_str());
    printf("  %-40s %16s %16s\n", "", "fast wall/CPU", "exact wall/CPU");
    for (const Case& c : cases) {
        double best[2][2] = {{1e9, 1e9}, {1e9, 1e9}};
        for (int exact = 0; exact < 2; exact++)
            for (int run = 0; run < 3; run++) {
                Live_SetExactSeeks(0);
                Live_Seek(c.from);
                Live_Frame(0);
                Live_SetExactSeeks(exact);
                if (exact && !c.fresh) { // the way there passed once, as a player would have
                    Live_Seek(c.from);
                    Live_Frame(0);
                }
                if (c.fresh) Live_ForgetMarks();
                double wall, cpu;
                Seek(c.to, &wall, &cpu);
                if (wall < best[exact][0]) best[exact][0] = wall, best[exact][1] = cpu;
            }
        printf("  %-40s %7.0f /%7.0f %7.0f /%7.0f\n", c.what, best[0][0], best[0][1], best[1][0],
               best[1][1]);
    }
    Live_Stop();
    SDL_Quit();
    return 0;
}
