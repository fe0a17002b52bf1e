// zelkor rgs view: the layers texture scripts make, in a window, made again
// whenever a script is saved.
#include "commands.h"
#include "tool_io.h"
#include "usage.h"

#include "cli/args.h"

#include "io/read_file.h"
#include "io/watch.h"
#include "platform/message.h"
#include "rgs/rgs.h"
#include "rgs/rgs_job.h"
#include "rgs/rgs_text.h"

#include <SDL.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

namespace {

const char* tool = "zelkor rgs view";

int Usage(const char* why, const char* arg = nullptr) {
    return CLI_UsageError(RgsViewUsage, why, arg);
}

struct Script {
    std::string path, name;
    int folder = -1;
};

// A ".rgs" file is taken as compiled, anything else as text.
int IsCompiled(const std::string& path) {
    size_t dot = path.rfind('.');
    return dot != std::string::npos && strcasecmp(path.c_str() + dot, ".rgs") == 0;
}

// Reads and assembles every script before any runs, so a script with an
// error, or cut short (still being written), leaves the layers (and the
// picture) as they were. Watched files are read as the show reads its own:
// regular files only, checked without waiting on a FIFO. The first error
// ("FILE: line N: problem") also goes to stderr.
ZK_Status Compile(const std::vector<Script>& scripts, std::vector<std::vector<uint8_t>>* out) {
    out->assign(scripts.size(), {});
    for (size_t i = 0; i < scripts.size(); i++) {
        const std::string& path = scripts[i].path;
        std::vector<uint8_t> bytes;
        std::string error, after;
        ZK_Status read = IO_ReadFile(path.c_str(), RGS_MAX_FILE_BYTES, IO_REGULAR_ONLY, &bytes);
        if (!read.ok)
            error = read.problem;
        else if (!IsCompiled(path))
            error = RGS_Assemble(std::string(bytes.begin(), bytes.end()), &(*out)[i]).problem;
        else if (!(error = RGS_CutShort(bytes.data(), (uint32_t)bytes.size()).problem).empty())
            after = "; the last good picture stays";
        else
            (*out)[i] = std::move(bytes);
        if (!error.empty()) {
            ZK_Status failed = ZK_FailIn(path, error);
            fprintf(stderr, "%s: %s%s\n", tool, ZK_StatusText(failed).c_str(), after.c_str());
            return failed;
        }
    }
    return ZK_Ok();
}

struct View {
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    SDL_Texture* texture = nullptr;
    int first = 0, count = RGS_LAYER_COUNT; // the layers shown
    std::string files;                      // the title's FILE
    RGS_Job* job = nullptr;                 // the scripts running, off this thread
    int again = 0;                          // saved again while they ran
};

// Starts the scripts as `rgs run` runs them, on a thread of their own so the
// window keeps answering; a run still going is stopped and started again
// once it has. A script with an error keeps the last good picture, and its
// error goes in the title.
void Render(View* v, const std::vector<Script>& scripts) {
    if (v->job) {
        RGS_JobCancel(v->job);
        v->again = 1;
        return;
    }
    std::vector<std::vector<uint8_t>> compiled;
    ZK_Status assembled = Compile(scripts, &compiled);
    if (!assembled.ok) {
        // Until the next good run the title says what is wrong.
        std::string title =
            std::string(tool) + "  " + ZK_StatusText(assembled) + "  (the last good picture)";
        SDL_SetWindowTitle(v->window, title.c_str());
        return;
    }
    v->job = RGS_JobStart(std::move(compiled));
    if (!v->job) fprintf(stderr, "%s: cannot start a thread to run the scripts\n", tool);
}

// Shows the picture of a run that has ended.
void ShowRun(View* v, const std::vector<Script>& scripts) {
    if (!v->job || !RGS_JobDone(v->job)) return;
    int cancelled = RGS_JobGetResult(v->job).cancelled;
    double ms = RGS_JobGetResult(v->job).ms;
    RGS_JobFree(v->job);
    v->job = nullptr;
    if (cancelled || v->again) {
        v->again = 0;
        Render(v, scripts);
        return;
    }

    // Row 0 is the first row OpenGL gets, the bottom of the picture.
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(v->texture, nullptr, &pixels, &pitch) == 0) {
        for (int y = 0; y < RGS_SIZE; y++) {
            uint8_t* row = (uint8_t*)pixels + (size_t)(RGS_SIZE - 1 - y) * pitch;
            for (int l = 0; l < v->count; l++)
                memcpy(row + (size_t)l * RGS_SIZE * 3, RGS_Layers[v->first + l] + y * RGS_SIZE * 3,
                       RGS_SIZE * 3);
        }
        SDL_UnlockTexture(v->texture);
    }
    char title[512];
    snprintf(title, sizeof title, "zelkor rgs view  %s  %.0f ms  random %u", v->files.c_str(), ms,
             RGS_Random);
    SDL_SetWindowTitle(v->window, title);
}

int OpenView(View* v, double scale) {
    // A real display only, as the show: never a window nobody can see.
    if (!ZELKOR_StartVideo()) return 0;
    double side = (double)RGS_SIZE * scale;
    int w = (int)lround(side * v->count), h = (int)lround(side);
    std::string title = std::string(tool) + "  " + v->files;
    v->window = SDL_CreateWindow(title.c_str(), SDL_WINDOWPOS_UNDEFINED, SDL_WINDOWPOS_UNDEFINED,
                                 w > 0 ? w : 1, h > 0 ? h : 1, 0);
    if (v->window) v->renderer = SDL_CreateRenderer(v->window, -1, 0);
    SDL_SetHint(SDL_HINT_RENDER_SCALE_QUALITY, "0"); // whole pixels, not blurred ones
    if (v->renderer)
        v->texture = SDL_CreateTexture(v->renderer, SDL_PIXELFORMAT_RGB24,
                                       SDL_TEXTUREACCESS_STREAMING, RGS_SIZE * v->count, RGS_SIZE);
    if (!v->texture) return 0;
    // Black until a script has run.
    void* pixels = nullptr;
    int pitch = 0;
    if (SDL_LockTexture(v->texture, nullptr, &pixels, &pitch) == 0) {
        memset(pixels, 0, (size_t)pitch * RGS_SIZE);
        SDL_UnlockTexture(v->texture);
    }
    return 1;
}

void CloseView(View* v) {
    if (v->texture) SDL_DestroyTexture(v->texture);
    if (v->renderer) SDL_DestroyRenderer(v->renderer);
    if (v->window) SDL_DestroyWindow(v->window);
}

int ViewScripts(std::vector<Script>& scripts, int layer, double scale) {
    View v;
    if (layer >= 0) v.first = layer, v.count = 1;
    for (const Script& s : scripts) v.files += (v.files.empty() ? "" : "+") + s.path;
    // A file that cannot be read at all is a mistake on the command line.
    std::vector<uint8_t> probe;
    for (const Script& s : scripts)
        if (!ReadInput(tool, s.path.c_str(), RGS_MAX_FILE_BYTES, &probe, IO_REGULAR_ONLY)) return 1;
    if (!OpenView(&v, scale)) {
        fprintf(stderr, "%s: cannot open a window: %s\n", tool, SDL_GetError());
        CloseView(&v);
        return 1;
    }
    IO_Watch* watch = IO_WatchOpen();
    for (Script& s : scripts) {
        size_t slash = s.path.rfind('/');
        std::string folder = slash == std::string::npos ? "." : s.path.substr(0, slash + 1);
        s.name = slash == std::string::npos ? s.path : s.path.substr(slash + 1);
        ZK_Status watched;
        s.folder = IO_WatchFolder(watch, folder.c_str(), &watched);
        if (s.folder < 0)
            fprintf(stderr, "%s: %s: changes will not be seen: %s\n", tool, s.path.c_str(),
                    watched.problem.c_str());
    }
    Render(&v, scripts);

    std::vector<IO_Change> changes;
    for (int running = 1; running;) {
        SDL_Event ev;
        // Wakes at least every 50 ms to look for saved scripts.
        for (int got = SDL_WaitEventTimeout(&ev, 50); got; got = SDL_PollEvent(&ev)) {
            if (ev.type == SDL_QUIT || (ev.type == SDL_KEYDOWN && ev.key.keysym.sym == SDLK_ESCAPE))
                running = 0;
        }
        IO_WatchChanges(watch, &changes);
        int changed = 0;
        for (const IO_Change& c : changes)
            for (const Script& s : scripts)
                changed |= c.folder == s.folder && c.name == s.name && !c.isFolder && !c.removed;
        if (changed) Render(&v, scripts);
        ShowRun(&v, scripts);
        SDL_RenderClear(v.renderer);
        SDL_RenderCopy(v.renderer, v.texture, nullptr, nullptr);
        SDL_RenderPresent(v.renderer);
    }
    IO_WatchClose(watch);
    RGS_JobFree(v.job);
    CloseView(&v);
    return 0;
}

} // namespace

int CmdRgsView(int argc, char** argv) {
    int status;
    if (CLI_Info(RgsViewUsage, argc, argv, &status)) return status;
    static const CLI_Option options[] = {
        {"--layer", CLI_NUMBER, 0, RGS_LAYER_COUNT - 1}, {"--scale", CLI_REAL, 0, 8}, {}};
    CLI_Args args;
    if (CLI_ParseArgs(RgsViewUsage, options, argc, argv, &args)) return CLI_USAGE;
    std::vector<Script> scripts;
    for (const char* path : args.operands) scripts.push_back(Script{path, "", -1});
    int layer = args["--layer"].given ? (int)args["--layer"].number : -1;
    double scale = args["--scale"].given ? args["--scale"].real : 1.0;
    if (scripts.empty()) return Usage("no script");
    SDL_SetMainReady();
    int result = ViewScripts(scripts, layer, scale);
    SDL_Quit();
    return result;
}
