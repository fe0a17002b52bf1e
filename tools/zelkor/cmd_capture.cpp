// zelkor capture: runs the show from a show folder on the runner's virtual
// clock and writes chosen frames as PNG.
#include "commands.h"
#include "usage.h"
#include "show_args.h"

#include "io/png_write.h"
#include "runner/runner.h"

#include <SDL.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct Options {
    int width = 800, height = 600;
    std::vector<uint32_t> times;
    std::string showDir, outDir;
};

int Usage(const char* why, const char* arg = nullptr) {
    return CLI_UsageError(CaptureUsage, why, arg);
}

int ParseTimeList(const char* s, std::vector<uint32_t>* out) {
    std::string list(s);
    size_t pos = 0;
    while (true) {
        size_t comma = list.find(',', pos);
        std::string item = list.substr(pos, comma == std::string::npos ? comma : comma - pos);
        uint32_t t;
        if (!ParseShowTime(item.c_str(), &t)) return 0;
        out->push_back(t);
        if (comma == std::string::npos) return 1;
        pos = comma + 1;
    }
}

int ParseArgs(int argc, char** argv, Options* o) {
    int haveAt = 0, haveFrom = 0, haveTo = 0, haveStep = 0;
    uint32_t from = 0, to = 0, step = 1000;
    // Every option takes a value: the arguments go in pairs.
    for (int i = 0; i < argc; i += 2) {
        const char* a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        if (!strcmp(a, "--size") && v) {
            if (!ParseShowSize(v, &o->width, &o->height))
                return Usage("--size wants WxH, each 1 to 8192");
        } else if (!strcmp(a, "--at") && v) {
            if (!ParseTimeList(v, &o->times)) return Usage("--at wants times in ms, T[,T...]");
            haveAt = 1;
        } else if (!strcmp(a, "--from") && v) {
            if (!ParseShowTime(v, &from)) return Usage("--from wants a time in ms");
            haveFrom = 1;
        } else if (!strcmp(a, "--to") && v) {
            if (!ParseShowTime(v, &to)) return Usage("--to wants a time in ms");
            haveTo = 1;
        } else if (!strcmp(a, "--step") && v) {
            if (!ParseShowTime(v, &step) || step == 0)
                return Usage("--step wants a time > 0 in ms");
            haveStep = 1;
        } else if (!strcmp(a, "--dir") && v) {
            o->showDir = v;
        } else if (!strcmp(a, "-o") && v) {
            o->outDir = v;
        } else {
            static const char* const options[] = {"--dir", "--size", "--at", "--from",
                                                  "--to",  "--step", "-o",   nullptr};
            return CLI_IsOption(a) ? CLI_OptionError(CaptureUsage, a, options)
                                   : Usage("unexpected argument", a);
        }
    }
    if (o->outDir.empty()) return Usage("no output folder (-o DIR)");
    if (haveAt == (haveFrom || haveTo || haveStep)) return Usage("give either --at or --from/--to");
    if (!haveAt) {
        if (!haveFrom || !haveTo || to < from)
            return Usage("--from T --to T with T(from) <= T(to)");
        for (uint64_t t = from; t <= to; t += step) o->times.push_back((uint32_t)t);
    }
    std::sort(o->times.begin(), o->times.end());
    o->times.erase(std::unique(o->times.begin(), o->times.end()), o->times.end());
    return 0;
}

int Capture(const Options& o) {
    std::string outDir = AbsolutePath(o.outDir);
    const char* show = o.showDir.empty() ? "." : o.showDir.c_str();
    if (chdir(show) != 0) {
        fprintf(stderr, "zelkor capture: %s: cannot enter show folder: %s\n", show,
                strerror(errno));
        return 1;
    }
    if (access("data.vkz", R_OK) != 0) {
        fprintf(stderr, "zelkor capture: %s/data.vkz: cannot read the archive: %s\n", show,
                strerror(errno));
        return 1;
    }
    if (mkdir(outDir.c_str(), 0777) != 0 && errno != EEXIST) {
        fprintf(stderr, "zelkor capture: %s: cannot create folder: %s\n", outDir.c_str(),
                strerror(errno));
        return 1;
    }

    int started = Runner_Start(o.width, o.height);
    if (started == RUNNER_START_FAILED) {
        fprintf(stderr, "zelkor capture: %s: the show failed to start (see %s/zelkor.log)\n", show,
                show);
        return 1;
    }
    if (started == RUNNER_NO_FRAMEBUFFER) {
        fprintf(stderr, "zelkor capture: no offscreen frame buffer of %dx%d\n", o.width, o.height);
        return 1;
    }

    std::vector<unsigned char> rgb((size_t)o.width * o.height * 3);
    IO_Image image;
    image.width = o.width, image.height = o.height, image.bytes = rgb.data();
    size_t next = 0;
    int result = 0;
    uint32_t music = Runner_FrameTime(0);
    for (uint64_t n = 0; next < o.times.size(); n++) {
        int drawn = Runner_DrawFrame(n);
        if (drawn == RUNNER_ENDED) {
            fprintf(stderr, "zelkor capture: the show ended at music time %u ms, before %u\n",
                    music, o.times[next]);
            result = 1;
            break;
        }
        music = Runner_FrameTime(n);
        if (drawn == RUNNER_STOPPED) {
            fprintf(stderr,
                    "zelkor capture: %s/data.vkz: the timetable stopped the show at music time "
                    "%u ms\n",
                    show, music);
            result = 1;
            break;
        }
        if (music < o.times[next]) continue;
        Runner_ReadRgb(rgb.data());
        while (next < o.times.size() && o.times[next] <= music) {
            char name[64];
            snprintf(name, sizeof name, "/frame_%06u.png", o.times[next]);
            std::string path = outDir + name;
            const char* why = nullptr;
            if (!IO_WritePng(path.c_str(), image, 3, &why)) {
                fprintf(stderr, "zelkor capture: %s: cannot write the image: %s\n", path.c_str(),
                        why);
                result = 1;
                break;
            }
            printf("%s %u\n", path.c_str(), music);
            next++;
        }
        if (result) break;
    }
    fflush(stdout);
    Runner_Stop();
    return result;
}

} // namespace

int CmdCapture(int argc, char** argv) {
    int status;
    if (CLI_Info(CaptureUsage, argc, argv, &status)) return status;
    Options o;
    int usage = ParseArgs(argc, argv, &o);
    if (usage) return usage;
    SDL_SetMainReady();
    int result = Capture(o);
    SDL_Quit();
    return result;
}
