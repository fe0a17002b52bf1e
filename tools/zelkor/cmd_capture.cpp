// zelkor capture: runs the show from a show folder on the runner's virtual
// clock and writes chosen frames as PNG, or a range of it as a video file
// with its sound.
#include "commands.h"
#include "show_args.h"
#include "usage.h"

#include "cli/args.h"
#include "cli/times.h"

#include "capture_loop.h"
#include "capture_output.h"
#include "capture_video.h"
#include "io/png_write.h"
#include "engine/reload.h"
#include "engine/engine.h"
#include "engine/runner.h"
#include "engine/show_folder.h"
#include "engine/show_shaders.h"
#include "platform/draw_modern.h"
#include "platform/opengl.h"
#include "engine/timetable_nav.h"
#include "core/log.h"
#include "platform/draw.h"

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
    int fps = 0, simFps = 60;
    int crf = ZK_VideoSettings().crf;
    const char* preset = ZK_VideoSettings().preset; // the encoder's defaults, said once
    int noAudio = 0, quiet = 0, drawAll = 0;
    int renderer = -1; // none asked for
    int video = 0;     // OUT is a video file; else a folder of PNGs
    CaptureSchedule schedule;
    // --from/--to/--step stills, listed once the show's end is known: a range
    // far past it would otherwise take gigabytes only to be refused.
    uint32_t stepFrom = 0, stepTo = 0, step = 0;
    int toEnd = 0; // --to end: the range ends where the show does, known once it is read
    std::string showDir, out, tracks, scenes;
};

int Usage(const char* why, const char* arg = nullptr) {
    return CLI_UsageError(CaptureUsage, why, arg);
}

const CLI_Option kOptions[] = {
    {"--dir", CLI_TEXT},
    {"--size", CLI_SIZE, 1, 8192},
    {"--at", CLI_TIMES},
    {"--from", CLI_TIME},
    {"--to", CLI_TEXT}, // a time, or "end"
    {"--step", CLI_TIME, 1},
    {"--fps", CLI_NUMBER, 1, ZK_VIDEO_MAX_FPS},
    {"--sim-fps", CLI_NUMBER, 1, 240},
    {"--crf", CLI_NUMBER, 0, 63},
    {"--preset", CLI_TEXT},
    {"--no-audio"},
    {"--quiet"},
    {"--renderer", CLI_TEXT},
    {"--tracks", CLI_TEXT},
    {"--scenes", CLI_TEXT},
    {"--draw-every-frame"},
    {"-o", CLI_TEXT},
    {},
};

int ParseArgs(int argc, char** argv, Options* o) {
    CLI_Args args;
    if (CLI_ParseArgs(CaptureUsage, kOptions, argc, argv, &args, 0)) return CLI_USAGE;
    const CLI_Value &at = args["--at"], &from = args["--from"], &to = args["--to"];
    const CLI_Value &step = args["--step"], &crf = args["--crf"], &preset = args["--preset"];
    const CLI_Value& noAudio = args["--no-audio"];
    if (args["--size"].given) o->width = args["--size"].width, o->height = args["--size"].height;
    if (args["--fps"].given) o->fps = (int)args["--fps"].number;
    if (args["--sim-fps"].given) o->simFps = (int)args["--sim-fps"].number;
    if (crf.given) o->crf = (int)crf.number;
    if (preset.given) o->preset = preset.text;
    o->noAudio = noAudio.on;
    o->quiet = args["--quiet"].on;
    o->drawAll = args["--draw-every-frame"].on;
    if (args["--dir"].given) o->showDir = FolderName(args["--dir"].text);
    if (args["-o"].given) o->out = args["-o"].text;
    if (args["--tracks"].given) o->tracks = args["--tracks"].text;
    if (args["--renderer"].given) {
        o->renderer = Draw_ParseRenderer(args["--renderer"].text);
        if (o->renderer < 0 || o->renderer == DRAW_NULL)
            return Usage("--renderer wants fixed or modern", args["--renderer"].text);
    }

    if (args["--scenes"].given)
        o->scenes = args["--scenes"].text;
    else if (!SceneLibraryIn("zelkor capture", o->showDir, &o->scenes))
        return 1;
    if (o->out.empty()) return Usage("no output (-o DIR or -o FILE.mp4|.mkv|.webm)");
    o->video = Capture_IsVideoName(o->out);
    if (!o->video && Capture_IsOtherVideoName(o->out))
        return Usage("unknown video format (use .mp4, .mkv or .webm; a folder of PNGs is "
                     "named without one)");
    if (const char* problem =
            o->video ? Capture_VideoNameProblem(o->out) : Capture_FolderProblem(o->out))
        return Usage(problem, o->out.c_str());
    if (!o->video) o->out = FolderName(o->out);
    if (!o->video && (crf.given || preset.given || noAudio.given))
        return Usage("--crf, --preset and --no-audio are for video files");
    if (o->video && !o->fps) o->fps = 60;
    CaptureSchedule& s = o->schedule;
    uint32_t first = (uint32_t)from.number, last = 0;
    o->toEnd = to.given && !strcmp(to.text, "end");
    if (to.given && !o->toEnd && !CLI_ParseTime(to.text, &last))
        return Usage("--to wants a time (ms, M:SS or M:SS.mmm) or \"end\"", to.text);
    if (o->toEnd) last = UINT32_MAX; // for the checks below; the end itself comes later
    if (o->fps) {
        if (at.given || step.given)
            return Usage("--at and --step are for PNG stills without --fps");
        if (!from.given || !to.given || last <= first)
            return Usage("--from T --to T with T(from) < T(to)");
        s.from = first, s.to = last, s.fps = o->fps;
    } else {
        if (!at.given == !(from.given || to.given || step.given))
            return Usage("give either --at or --from/--to");
        std::vector<uint32_t> times = at.times;
        if (!at.given) {
            if (!from.given || !to.given || last < first)
                return Usage("--from T --to T with T(from) <= T(to)");
            o->stepFrom = first, o->stepTo = last;
            o->step = step.given ? (uint32_t)step.number : 1000;
        }
        std::sort(times.begin(), times.end());
        times.erase(std::unique(times.begin(), times.end()), times.end());
        s.times = times;
    }
    if (o->video) {
        // The writer's own check, before the show spends its start-up.
        ZK_VideoSettings v;
        v.path = o->out.c_str();
        v.width = o->width, v.height = o->height, v.fps = o->fps;
        v.crf = o->crf, v.preset = o->preset;
        ZK_Status checked = ZK_VideoCheck(&v);
        if (!checked.ok) return Usage(ZK_StatusText(checked).c_str());
    }
    return 0;
}

std::string FolderOf(const std::string& path) {
    size_t slash = path.rfind('/');
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The PNG sink: frames named by their time (--at, --step) or by index (--fps).
struct Stills {
    const Options* options;
    std::string folder;
};

int WriteStill(void* user, uint64_t k, uint32_t music, const uint8_t* pixels) {
    const Stills* st = (const Stills*)user;
    const Options& o = *st->options;
    char name[64];
    if (o.fps)
        snprintf(name, sizeof name, "/frame_%06llu.png", (unsigned long long)k);
    else
        snprintf(name, sizeof name, "/frame_%06u.png", o.schedule.times[k]);
    std::string path = st->folder + name;
    IO_Image image;
    image.width = o.width, image.height = o.height, image.bytes = pixels;
    ZK_Status written = IO_WritePng(path.c_str(), image, 3);
    if (!written.ok) {
        fprintf(stderr, "zelkor capture: %s: cannot write the image: %s\n", path.c_str(),
                written.problem.c_str());
        return 0;
    }
    printf("%s %u\n", path.c_str(), music);
    return 1;
}

int Capture(Options& o) {
    const std::string out = AbsolutePath(o.out);
    // The log goes with the output: the show folder is only read.
    const std::string log = (o.video ? FolderOf(out) : out) + "/zelkor.log";
    ShowFolder folder;
    folder.program = "zelkor capture", folder.tool = 1;
    Show_FindFolder(&folder, o.showDir.empty() ? nullptr : o.showDir.c_str());
    const char* show = folder.path.c_str();
    folder.shown = folder.path + "/";
    // The tracks as play takes them: the text given, else the project's (a
    // built show's record names them), else SHOW/tracks.txt.
    std::string tracks;
    const std::string tracksPath = TracksFileFor("zelkor capture", o.showDir, o.tracks, &tracks);
    if (!o.tracks.empty() && access(tracksPath.c_str(), F_OK) != 0) {
        fprintf(stderr, "zelkor capture: %s: %s\n", tracks.c_str(), strerror(errno));
        return 1;
    }
    // A show's own scenes (the library stays loaded until the program ends).
    if (!o.scenes.empty() && !Show_UseScenes(folder.program, o.scenes.c_str(), o.scenes.c_str()))
        return 1;
    if (!Show_EnterFolder(&folder)) return 1;
    int renderer = Engine_ShowRenderer(folder.program, folder.shown.c_str(), o.renderer);
    if (renderer < 0) return 1;
    // Unasked, a capture draws with the modern backend: the same picture
    // within the scenes' bounds, and fewer pixels filled where the show is
    // slowest to make. --renderer fixed draws the reference.
    if (o.renderer < 0) renderer = DRAW_MODERN;
    // The timetable before the start-up, which would spend its time on one
    // that cannot be captured (overlapping entries of a scene), or simulate
    // a range from the end on all the way there only to find nothing.
    ZK_Status loaded = Reload_Archive("data.vkz");
    if (!loaded.ok) {
        fprintf(stderr, "zelkor capture: %s/data.vkz: %s\n", show, loaded.problem.c_str());
        return 1;
    }
    uint32_t showEnd = 0;
    uint32_t first = o.fps ? o.schedule.from : o.step ? o.stepFrom : o.schedule.times.front();
    int ends = Timetable_ShowEnd(&showEnd);
    if (ends && first >= showEnd) {
        fprintf(stderr,
                "zelkor capture: %s/data.vkz: the show ends at %s (%u ms), where \"ende\" "
                "starts; nothing to capture from %s on\n",
                show, CLI_FormatTime(showEnd).c_str(), showEnd, CLI_FormatTime(first).c_str());
        return 1;
    }
    if (o.toEnd) {
        if (!ends) {
            fprintf(stderr,
                    "zelkor capture: %s/data.vkz: the timetable has no end (no \"ende\" entry); "
                    "give --to a time\n",
                    show);
            return 1;
        }
        // Every frame before the end: the last still, or the video's last frame.
        if (o.fps)
            o.schedule.to = showEnd;
        else
            o.stepTo = showEnd - 1;
    }
    // The range's stills up to the first one past the end, which is then
    // refused as a still past the end is.
    for (uint64_t t = o.stepFrom; o.step && t <= o.stepTo; t += o.step) {
        o.schedule.times.push_back((uint32_t)t);
        if (ends && t >= showEnd) break;
    }
    Capture_CatchInterrupt();

    CaptureVideo* video = nullptr;
    Stills stills = {&o, out};
    CaptureSink sink;
    if (o.video) {
        ZK_VideoSettings settings;
        settings.path = out.c_str();
        settings.width = o.width, settings.height = o.height;
        settings.crf = o.crf, settings.preset = o.preset;
        settings.pixelFormat = ZK_VIDEO_BGRA;
        settings.bottomUp = 1;
        // Only the picture is read and converted, and the encoder's side fills
        // the bars, where they fall on whole chroma samples (any 16:9 size does).
        int x, y, w, h;
        ZELKOR_PictureArea(o.width, o.height, &x, &y, &w, &h);
        const int picture = !((x | y | w | h) & 1);
        if (picture)
            settings.pictureX = x, settings.pictureY = y, settings.pictureWidth = w,
            settings.pictureHeight = h, settings.pixelFormat = ZK_VIDEO_RGBA;
        ZK_Status soundProblem, opened;
        video = CaptureVideo_Open(&settings, &o.schedule, o.noAudio ? nullptr : "sound.mp3",
                                  &soundProblem, &opened);
        if (!video) {
            fprintf(stderr, "zelkor capture: %s\n", ZK_StatusText(opened).c_str());
            return 1;
        }
        if (!soundProblem.ok)
            fprintf(stderr, "zelkor capture: %s/%s; the video has no sound track\n", show,
                    ZK_StatusText(soundProblem).c_str());
        sink.frame = CaptureVideo_Frame, sink.buffer = CaptureVideo_Buffer, sink.user = video;
        sink.bgra = 1;
        sink.picture = picture;
    } else {
        if (mkdir(out.c_str(), 0777) != 0 && errno != EEXIST) {
            fprintf(stderr, "zelkor capture: %s: cannot create folder: %s\n", out.c_str(),
                    strerror(errno));
            return 1;
        }
        sink.frame = WriteStill, sink.user = &stills;
    }

    Runner_SetFrameRate(o.simFps);
    Runner_SetRenderer(renderer);
    Runner_SetLogPath(log.c_str());
    int started = Runner_Start(o.width, o.height);
    if (started != RUNNER_OK) {
        if (started == RUNNER_START_FAILED)
            Show_TellFailedStart(&folder, log);
        else
            fprintf(stderr, "zelkor capture: no offscreen frame buffer of %dx%d\n", o.width,
                    o.height);
        CaptureVideo_Abort(video);
        return 1;
    }
    // A shader that does not compile would be captured as something else.
    if (DrawModern_ShaderProblem(0)) {
        Engine_TellShaderProblems(folder.program, folder.shown.c_str());
        Runner_Stop();
        CaptureVideo_Abort(video);
        return 1;
    }

    // Over the archive's, which the start-up took.
    if (LoadTracksText("zelkor capture", tracksPath, tracks) < 0) {
        Runner_Stop();
        CaptureVideo_Abort(video);
        return 1;
    }

    CaptureReport report;
    uint32_t lead = CAPTURE_LEAD;
    if (o.drawAll) lead = CAPTURE_DRAW_ALL;
    int end = Capture_Run(&o.schedule, o.width, o.height, &sink, o.quiet, lead, &report);
    fflush(stdout);
    Runner_Stop();
    // A range ends with the show; chosen stills must all be there.
    int result = 0;
    uint64_t total = CaptureSchedule_Count(&o.schedule);
    if (end == CAPTURE_ENDED && o.fps && report.frames > 0) {
        fprintf(stderr,
                "zelkor capture: the show ended at music time %u ms, before %u; the capture "
                "ends there after %llu of %llu frames\n",
                report.music, o.schedule.to, (unsigned long long)report.frames,
                (unsigned long long)total);
    } else if (end == CAPTURE_ENDED) {
        uint32_t wanted = o.fps ? o.schedule.from : o.schedule.times[report.frames];
        fprintf(stderr, "zelkor capture: the show ended at music time %u ms, before %u\n",
                report.music, wanted);
        result = 1;
    } else if (end == CAPTURE_STOPPED) {
        fprintf(stderr,
                "zelkor capture: %s/data.vkz: the timetable stopped the show at music time %u "
                "ms\n",
                show, report.music);
        result = 1;
    } else if (end == CAPTURE_SINK_FAILED) {
        result = 1;
    } else if (end == CAPTURE_INTERRUPTED) {
        fprintf(stderr, "zelkor capture: interrupted at music time %u ms after %llu frames\n",
                report.music, (unsigned long long)report.frames);
        result = 130;
    }
    if (video) {
        // What was captured before Ctrl-C is completed, so it plays.
        if ((result == 0 || (result == 130 && report.frames > 0))) {
            ZK_Status finished = CaptureVideo_Finish(video);
            if (!finished.ok) {
                fprintf(stderr, "zelkor capture: %s\n", ZK_StatusText(finished).c_str());
                if (result == 0) result = 1;
            }
        } else {
            CaptureVideo_Abort(video);
        }
    }
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
    // Ctrl-C is ours (it completes the file); SDL's handler would end the show instead.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    int result = Capture(o);
    SDL_Quit();
    return result;
}
