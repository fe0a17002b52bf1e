// zelkor play's seeks on the built show in an 800x600 window: how long from
// the key to a picture at the new time and to the exact picture, for a seek
// far ahead with no mark yet, back to a scene already passed, within the
// entry playing (a mark less than 5 s back), and into a swirl (whose last 120
// frames are drawn). Three ways: fast (the scenes keep their state), exact
// in one frame (the scenes run there from a mark before anything is shown),
// and exact as play seeks, with a slice of each frame: the fast picture at
// once, the exact one when its way is done; "longest" is the longest frame
// meanwhile, the most a key waits to be taken. Wall ms, the best of three (a
// shared machine only ever slows a run down). Runs on SDL's offscreen driver
// when no display is set.
// Usage: bench_seek [SHOW_DIR]
#include "engine/live.h"
#include "engine/offscreen.h"
#include "engine/runner.h"

#include <SDL.h>

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>

static double Now() {
    return std::chrono::duration<double, std::milli>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// One seek: ms to the frame after it, and (pending seeks) to the exact
// picture and the longest frame on the way.
struct Timing {
    double first = 1e9, exact = 1e9, longest = 1e9;
};

static Timing Seek(uint32_t to) {
    Timing t;
    double start = Now();
    Live_Seek(to);
    Live_Frame(0);
    t.first = t.exact = Now() - start;
    t.longest = 0;
    while (Live_SeekPending()) {
        double before = Now();
        Live_Frame(0);
        double after = Now();
        if (after - before > t.longest) t.longest = after - before;
        t.exact = after - start;
    }
    return t;
}

const uint32_t kSlice = 25; // as zelkor play's

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
    printf("show %s, 800x600, ms from the seek, best of 3\n", show.c_str());
    printf("  %-38s %6s %7s %19s %8s\n", "", "fast", "exact", "sliced: new/exact", "longest");
    enum { FAST, EXACT, SLICED };
    for (const Case& c : cases) {
        Timing best[3];
        for (int way = FAST; way <= SLICED; way++)
            for (int run = 0; run < 3; run++) {
                Live_SetExactSeeks(0);
                Live_SetSeekSlice(0);
                Live_Seek(c.from);
                Live_Frame(0);
                Live_SetExactSeeks(way != FAST);
                if (way != FAST && !c.fresh) { // the way there passed once, as a player would have
                    Live_Seek(c.from);
                    Live_Frame(0);
                }
                if (c.fresh) Live_ForgetMarks();
                Live_SetSeekSlice(way == SLICED ? kSlice : 0);
                Timing t = Seek(c.to);
                Timing& b = best[way];
                if (t.first < b.first) b.first = t.first;
                if (t.exact < b.exact) b.exact = t.exact;
                if (t.longest < b.longest) b.longest = t.longest;
            }
        printf("  %-38s %6.0f %7.0f %9.0f /%8.0f %8.0f\n", c.what, best[FAST].first,
               best[EXACT].exact, best[SLICED].first, best[SLICED].exact, best[SLICED].longest);
    }
    Live_Stop();
    SDL_Quit();
    return 0;
}
