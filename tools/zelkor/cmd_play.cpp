// zelkor play: the show in a window with its music, for working on it:
// start anywhere, pause, seek, loop an entry, and take in changed files
// while it runs.
#include "commands.h"
#include "play_editor.h"
#include "usage.h"
#include "show_args.h"

#include "cli/args.h"
#include "cli/times.h"

#include "archive/vkz.h"
#include "io/watch.h"
#include "core/globals.h"
#include "core/log.h"
#include "engine/live.h"
#include "engine/reload.h"
#include "engine/engine.h"
#include "engine/runner.h"
#include "engine/scene_library.h"
#include "engine/timetable_nav.h"
#include "platform/draw.h"
#include "scenes/scene_names.h"
#include "sequencing/tracks.h"
#include "textures/texture_reload.h"

#include <SDL.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

struct Options {
    std::string showDir, timetable, scene, tracks, scenes, at;
    int width = 800, height = 600, loop = 0, haveAt = 0, fastSeek = 0;
    int renderer = DRAW_FIXED;
};

int Usage(const char* why, const char* arg = nullptr) {
    return CLI_UsageError(PlayUsage, why, arg);
}

const CLI_Option kOptions[] = {
    {"--dir", CLI_TEXT},
    {"--at", CLI_TEXT},
    {"--scene", CLI_TEXT},
    {"--window", CLI_SIZE, 1, 8192},
    {"--timetable", CLI_TEXT},
    {"--tracks", CLI_TEXT},
    {"--loop"},
    {"--renderer", CLI_TEXT},
    {"--scenes", CLI_TEXT},
    {"--fast-seek"},
    {},
};

int ParseArgs(int argc, char** argv, Options* o) {
    CLI_Args args;
    if (CLI_ParseArgs(PlayUsage, kOptions, argc, argv, &args, 0)) return CLI_USAGE;
    const CLI_Value &at = args["--at"], &scene = args["--scene"], &window = args["--window"];
    if (at.given && scene.given) return Usage("give either --at or --scene");
    if (args["--dir"].given) o->showDir = args["--dir"].text;
    if (args["--timetable"].given) o->timetable = args["--timetable"].text;
    if (args["--tracks"].given) o->tracks = args["--tracks"].text;
    if (scene.given) o->scene = scene.text;
    // A show of one's own plays its scenes without being told.
    o->scenes = args["--scenes"].given ? args["--scenes"].text : SceneLibraryIn(o->showDir);
    if (window.given) o->width = window.width, o->height = window.height;
    if (at.given) o->at = at.text;
    o->haveAt = at.given;
    o->loop = args["--loop"].on;
    o->fastSeek = args["--fast-seek"].on;
    if (args["--renderer"].given) {
        o->renderer = Draw_ParseRenderer(args["--renderer"].text);
        if (o->renderer < 0 || o->renderer == DRAW_NULL)
            return Usage("--renderer wants fixed or modern", args["--renderer"].text);
    }
    return 0;
}

// What the maker presses, caught as SDL queues it, so keys reach us even
// when a scene ("preload") pumps the message that carries them. Key events
// are queued by the pump, on this thread. Escape or the close box mean
// leaving; a quit message without them is the show's own end. A window
// uncovered or resized wants its picture drawn again, paused or not.
std::vector<SDL_Keysym> keys;
int leaving = 0, exposed = 0;

int CatchKeys(void*, SDL_Event* ev) {
    if (ev->type == SDL_QUIT) leaving = 1;
    if (ev->type == SDL_WINDOWEVENT) {
        Uint8 e = ev->window.event;
        leaving |= e == SDL_WINDOWEVENT_CLOSE;
        exposed |= e == SDL_WINDOWEVENT_EXPOSED || e == SDL_WINDOWEVENT_SIZE_CHANGED;
    }
    if (ev->type != SDL_KEYDOWN) return 1;
    leaving |= ev->key.keysym.sym == SDLK_ESCAPE;
    // Held arrows and pages repeat; the toggles do not.
    SDL_Keycode k = ev->key.keysym.sym;
    int repeats = k == SDLK_LEFT || k == SDLK_RIGHT || k == SDLK_PAGEUP || k == SDLK_PAGEDOWN ||
                  k == SDLK_UP || k == SDLK_DOWN || k == SDLK_PERIOD || k == SDLK_COMMA ||
                  k == SDLK_BACKSPACE;
    if (!ev->key.repeat || repeats) keys.push_back(ev->key.keysym);
    return 1;
}

void SeekBy(int64_t delta) {
    int64_t t = (int64_t)Live_Time() + delta;
    Live_Seek(t < 0 ? 0 : t > CLI_MAX_TIME ? CLI_MAX_TIME : (uint32_t)t);
}

// Loops the entry playing now (none in a gap), or stops looping.
void ToggleLoop() {
    if (Live_Looping()) {
        Live_ClearLoop();
        return;
    }
    int entry = Timetable_EntryAt(Live_Time());
    if (entry >= 0) Live_SetLoop(Timetable_Start(entry), Timetable_End(entry));
}

const MusicGrid& Grid() {
    static const MusicGrid show = {128, 4};
    const TrackSet* set = Tracks_Current();
    return set ? set->grid : show;
}

// By rows of the grid: forward to the next row's start; back to this row's
// start, or the one before when already there.
void SeekRows(int64_t rows, int forward) {
    uint32_t t = Live_Time();
    int64_t row = (int64_t)std::floor(MusicGrid_RowAt(Grid(), t));
    int64_t at = row - row % rows;
    int64_t to = forward ? at + rows : MusicGrid_RowStart(Grid(), at) < t ? at : at - rows;
    Live_Seek(std::min<uint32_t>(MusicGrid_RowStart(Grid(), to), CLI_MAX_TIME));
}

// One frame of 60 a second, on the frames' grid from music time 0.
void StepFrame(int forward) {
    uint64_t t = Live_Time(), n = t * 60 / 1000;
    auto start = [](uint64_t f) { return (uint32_t)((f * 1000 + 59) / 60); };
    if (forward)
        Live_Advance(std::min<uint32_t>(start(n + 1), CLI_MAX_TIME));
    else
        Live_Seek(start(n) < t ? start(n) : n ? start(n - 1) : 0);
}

void HandleKey(const SDL_Keysym& key) {
    if (key.sym == SDLK_TAB) {
        Editor_Toggle();
        return;
    }
    if (Editor_HandleKey(key, Live_Time())) return;
    int64_t step = (key.mod & KMOD_SHIFT) ? 10000 : 2000;
    int ctrl = (key.mod & KMOD_CTRL) != 0;
    int64_t bar = (int64_t)Grid().rowsPerBeat * MUSIC_BEATS_PER_BAR;
    uint32_t t = Live_Time(), to = 0;
    switch (key.sym) {
    case SDLK_SPACE:
        Live_SetPaused(!Live_Paused());
        break;
    case SDLK_LEFT:
        if (ctrl)
            SeekRows(bar, 0);
        else
            SeekBy(-step);
        break;
    case SDLK_RIGHT:
        if (ctrl)
            SeekRows(bar, 1);
        else
            SeekBy(step);
        break;
    case SDLK_UP:
        SeekRows(1, 0);
        break;
    case SDLK_DOWN:
        SeekRows(1, 1);
        break;
    case SDLK_PERIOD:
    case SDLK_COMMA:
        if (Live_Paused()) StepFrame(key.sym == SDLK_PERIOD);
        break;
    case SDLK_LEFTBRACKET:
        Live_SetSpeed(Live_Speed() / 2);
        break;
    case SDLK_RIGHTBRACKET:
        Live_SetSpeed(Live_Speed() * 2);
        break;
    case SDLK_PAGEUP:
        if (Timetable_PreviousStart(t, &to)) Live_Seek(to);
        break;
    case SDLK_PAGEDOWN:
        if (Timetable_NextStart(t, &to)) Live_Seek(to);
        break;
    case SDLK_HOME:
        Live_Seek(0);
        break;
    case SDLK_l:
        ToggleLoop();
        break;
    case SDLK_f:
        Live_ToggleFullscreen();
        break;
    case SDLK_s:
        Live_SetExactSeeks(!Live_ExactSeeks());
        break;
    default:
        break;
    }
}

struct Watched {
    IO_Watch* watch = nullptr;
    int showFolder = -1, timetableFolder = -1;
    int parentFolder = -1;                   // where the show folder may be replaced
    std::string showPath;                    // absolute, to enter a replacing folder
    std::string showName;                    // its name in its parent
    std::string showPrefix;                  // "SHOW/" for messages, or ""
    std::string timetable;                   // as given, for messages; "" when none
    std::string timetablePath, timetableDir; // absolute: the show folder is entered
    std::string timetableName;
    int tracksFolder = -1;
    std::string tracks;                 // as given (or SHOW/tracks.txt), for messages
    std::string tracksPath, tracksName; // absolute, and its name in its folder
    int tracksFromText = 0;             // the text file's tracks are installed
    int libraryFolder = -1;             // the scene library's
    std::string library;                // as given, for messages; "" when none
    std::string libraryPath;            // absolute
    std::string libraryName;
};

// The tracks' text file, when there is one: 1 installed, 0 absent, -1 refused
// (the reason on stderr, the tracks before it kept).
int LoadTracks(Watched* w) {
    int loaded = LoadTracksText("zelkor play", w->tracksPath, w->tracks);
    if (loaded > 0) w->tracksFromText = 1;
    return loaded;
}

// The scene library loaded now; the one before it is unloaded only once its
// successor is registered and prepared.
SceneLibrary* sceneLibrary = nullptr;
// After a reload, told once its first frame is drawn: the load's time and
// the time from the library's last write to that frame.
std::string reloadedLibrary;
double reloadMs = 0;
timespec libraryWritten = {};

double MsSince(const timespec& then) {
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return (double)(now.tv_sec - then.tv_sec) * 1000.0 + (double)(now.tv_nsec - then.tv_nsec) / 1e6;
}

void TellReloaded() {
    if (reloadedLibrary.empty()) return;
    fprintf(stderr, "zelkor play: reloaded %s (%.0f ms; drawn %.0f ms after it was written)\n",
            reloadedLibrary.c_str(), reloadMs, MsSince(libraryWritten));
    reloadedLibrary.clear();
}

// Takes in a rebuilt scene library; 1 when its scenes now play.
int TakeInScenes(const Watched& w) {
    Uint64 begin = SDL_GetPerformanceCounter();
    struct stat info;
    if (stat(w.libraryPath.c_str(), &info) == 0) libraryWritten = info.st_mtim;
    std::string why;
    SceneLibrary* next = SceneLibrary_Load(w.libraryPath.c_str(), &why);
    if (!next) {
        fprintf(stderr, "zelkor play: %s: %s; the scenes before it play on\n", w.library.c_str(),
                why.c_str());
        return 0;
    }
    Engine_UseScenes(SceneLibrary_Scenes(next));
    Live_ForgetMarks(); // they hold the old code's state
    SceneLibrary_Unload(sceneLibrary);
    sceneLibrary = next;
    reloadMs = (double)(SDL_GetPerformanceCounter() - begin) * 1000.0 /
               (double)SDL_GetPerformanceFrequency();
    reloadedLibrary = w.library;
    return 1;
}

// What `zelkor tmg compile` would say of the timetable just taken in.
void Warn(const std::string& file, const std::vector<std::string>& warnings) {
    for (const std::string& w : warnings)
        fprintf(stderr, "zelkor play: %s: %s\n", file.c_str(), w.c_str());
}

// The show reached its end ("ende", or a timetable saved with "ende" before
// the playhead): it stays there, paused, on the frame drawn at the end itself.
void HoldAtEnd() {
    Live_HoldAtEnd();
    uint32_t end = 0;
    if (Timetable_ShowEnd(&end) && Live_Time() != end) Live_Seek(end);
}

// Takes in one changed file; 1 when something was redone.
int TakeIn(Watched& w, const IO_Change& change) {
    if (change.isFolder) return 0;
    const std::string& name = change.name;
    if (!w.library.empty() && change.folder == w.libraryFolder && name == w.libraryName)
        return TakeInScenes(w);
    int inShow = change.folder == w.showFolder;
    std::string shown = w.showPrefix + name, why;
    std::vector<std::string> warnings;
    Uint64 begin = SDL_GetPerformanceCounter();
    int ok;
    if (change.folder == w.tracksFolder && name == w.tracksName) {
        if (LoadTracks(&w) <= 0) return 0;
        double took = (double)(SDL_GetPerformanceCounter() - begin) * 1000.0 /
                      (double)SDL_GetPerformanceFrequency();
        fprintf(stderr, "zelkor play: reloaded %s (%.0f ms)\n", w.tracks.c_str(), took);
        return 1;
    }
    if (!w.timetable.empty() && change.folder == w.timetableFolder && name == w.timetableName) {
        shown = w.timetable;
        ok = Reload_TimetableText(w.timetablePath.c_str(), &why, &warnings);
    } else if (inShow && name == "data.vkz") {
        // A timetable given as text replaces the archive's.
        if (!w.timetable.empty()) return 0;
        ok = Reload_Archive(name.c_str(), &why, &warnings);
        // The archive's tracks, unless the text file's are in use.
        std::string trackWhy;
        if (ok && !w.tracksFromText && Tracks_LoadArchive(g_archive, &trackWhy) < 0)
            fprintf(stderr, "zelkor play: %s: %s\n", shown.c_str(), trackWhy.c_str());
    } else if (inShow && name == "sound.mp3") {
        ok = Reload_Music(name.c_str(), &why);
    } else if (inShow) {
        int n = Textures_Reload(name.c_str(), &why);
        if (n == 0) return 0;                       // no scene uses it
        if (n == TEXTURES_RELOAD_RUNNING) return 0; // told when its pictures are in
        ok = n > 0;
    } else {
        return 0;
    }
    if (!ok) {
        fprintf(stderr, "zelkor play: %s: %s\n", shown.c_str(), why.c_str());
        return 0;
    }
    if (name == "data.vkz" || shown == w.timetable) Live_ForgetMarks();
    double ms = (double)(SDL_GetPerformanceCounter() - begin) * 1000.0 /
                (double)SDL_GetPerformanceFrequency();
    fprintf(stderr, "zelkor play: reloaded %s (%.0f ms)\n", shown.c_str(), ms);
    Warn(shown, warnings);
    return 1;
}

// A folder put in place of the show's (git checkout, some editors): entered
// and watched instead, and every file in it taken in. 1 when it was.
int FollowReplacedFolder(Watched* w, const IO_Change& change) {
    if (!change.isFolder || change.folder != w->parentFolder || change.name != w->showName)
        return 0;
    const char* why = nullptr;
    int folder = chdir(w->showPath.c_str()) == 0 ? IO_WatchFolder(w->watch, ".", &why) : -1;
    if (folder < 0) {
        fprintf(stderr, "zelkor play: %s: the folder was replaced and cannot be entered: %s\n",
                w->showPath.c_str(), why ? why : strerror(errno));
        return 0;
    }
    if (w->tracksFolder == w->showFolder) w->tracksFolder = folder;
    w->showFolder = folder;
    fprintf(stderr, "zelkor play: %s: the folder was replaced; taking in the new one\n",
            w->showPath.c_str());
    if (DIR* dir = opendir(".")) {
        while (dirent* entry = readdir(dir))
            if (entry->d_type == DT_REG || entry->d_type == DT_UNKNOWN)
                TakeIn(*w, IO_Change{folder, entry->d_name});
        closedir(dir);
    }
    return 1;
}

// Beside the show when it may be written there, else in the user's state
// folder, said on stderr.
std::string LogPath(const char* show) {
    if (access(".", W_OK) == 0) return "zelkor.log";
    std::string log = ZELKOR_StateLogPath();
    if (log.empty()) return "zelkor.log";
    fprintf(stderr, "zelkor play: %s cannot be written; the log goes to %s\n", show, log.c_str());
    return log;
}

std::string Title(unsigned fps) {
    uint32_t t = Live_Time();
    char clock[32];
    snprintf(clock, sizeof clock, "%02u:%02u.%03u", t / 60000, t / 1000 % 60, t % 1000);
    std::string title = std::string("zelkor play  ") + clock + "  " +
                        MusicGrid_FormatBar(Grid(), t) + "  " + Timetable_ActiveNames(t) + "  " +
                        std::to_string(fps) + " fps";
    uint32_t end = 0;
    if (Live_Paused() && Timetable_ShowEnd(&end) && t >= end)
        title += " [end: Escape leaves]";
    else if (Live_Paused())
        title += " [paused]";
    if (Live_Looping()) title += " [loop]";
    if (Live_Speed() != 1.0) {
        char speed[32];
        snprintf(speed, sizeof speed, " [%gx, silent]", Live_Speed());
        title += speed;
    }
    if (!Live_ExactSeeks()) title += " [fast seek]";
    return title;
}

int Play(const Options& o) {
    Watched w;
    if (!o.timetable.empty()) {
        w.timetable = o.timetable;
        w.timetablePath = AbsolutePath(o.timetable);
        size_t slash = w.timetablePath.rfind('/');
        w.timetableDir = w.timetablePath.substr(0, slash + 1);
        w.timetableName = w.timetablePath.substr(slash + 1);
    }
    if (!o.scenes.empty()) {
        w.library = o.scenes;
        w.libraryPath = AbsolutePath(o.scenes);
        size_t at = w.libraryPath.rfind('/');
        w.libraryName = w.libraryPath.substr(at + 1);
        std::string why;
        sceneLibrary = SceneLibrary_Load(w.libraryPath.c_str(), &why);
        if (!sceneLibrary) {
            fprintf(stderr, "zelkor play: %s: %s\n", o.scenes.c_str(), why.c_str());
            return 1;
        }
        Engine_UseScenes(SceneLibrary_Scenes(sceneLibrary));
    }
    const char* show = o.showDir.empty() ? "." : o.showDir.c_str();
    if (!o.showDir.empty()) w.showPrefix = o.showDir + "/";
    w.showPath = AbsolutePath(show);
    while (w.showPath.size() > 1 && w.showPath.back() == '/') w.showPath.pop_back();
    // The tracks' text: the one given, else tracks.txt in the show folder.
    w.tracks = o.tracks.empty() ? w.showPrefix + "tracks.txt" : o.tracks;
    w.tracksPath = o.tracks.empty() ? w.showPath + "/tracks.txt" : AbsolutePath(o.tracks);
    w.tracksName = w.tracksPath.substr(w.tracksPath.rfind('/') + 1);
    Editor_SetFile(w.tracksPath, w.tracks);
    if (chdir(show) != 0) {
        fprintf(stderr, "zelkor play: %s: cannot enter show folder: %s\n", show, strerror(errno));
        return 1;
    }
    if (access("data.vkz", R_OK) != 0) {
        fprintf(stderr, "zelkor play: %sdata.vkz: cannot read the archive: %s\n",
                w.showPrefix.c_str(), strerror(errno));
        return 1;
    }
    // The timetable first: --scene needs it, and a bad one is better told now.
    std::string why;
    std::vector<std::string> warnings;
    int loaded = w.timetable.empty()
                     ? Reload_Archive("data.vkz", &why, &warnings)
                     : Reload_TimetableText(w.timetablePath.c_str(), &why, &warnings);
    std::string file = w.timetable.empty() ? w.showPrefix + "data.vkz" : w.timetable;
    if (!loaded) {
        fprintf(stderr, "zelkor play: %s: %s\n", file.c_str(), why.c_str());
        return 1;
    }
    Warn(file, warnings);
    // The tracks before the start: their grid reads --at BAR.BEAT.
    if (VKZ_Archive* archive = VKZ_Open("data.vkz")) {
        std::string trackWhy;
        Tracks_LoadArchive(archive, &trackWhy); // said again at the start-up
        VKZ_Close(archive);
    }
    LoadTracks(&w);
    uint32_t start = 0;
    if (o.haveAt && !CLI_ParseTime(o.at.c_str(), &start) &&
        (!MusicGrid_ParseBarBeat(Grid(), o.at.c_str(), &start) || start > CLI_MAX_TIME))
        return Usage("--at wants ms, M:SS.mmm or BAR.BEAT (bar from 1, beat 1 to 4)", o.at.c_str());
    int entry = -1;
    if (!o.scene.empty()) {
        entry = Timetable_Find(o.scene.c_str());
        if (entry < 0) {
            fprintf(stderr, "zelkor play: no timetable entry named \"%s\"\n", o.scene.c_str());
            return 1;
        }
        start = Timetable_Start(entry);
    }
    // Past the end nothing is drawn: the show's last frame is held instead.
    uint32_t end = 0;
    if (Timetable_ShowEnd(&end) && start >= end) {
        fprintf(stderr,
                "zelkor play: the show ends at %s (%u ms), where \"%s\" starts; %s is at or past "
                "it, so play holds the last frame (Left or Home go back, Escape leaves)\n",
                CLI_FormatTime(end).c_str(), end, EndeSceneName,
                o.scene.empty() ? CLI_FormatTime(start).c_str() : ("--scene " + o.scene).c_str());
        start = end;
    }
    std::string log = LogPath(show);
    Live_SetLogPath(log.c_str());
    Live_SetExactSeeks(!o.fastSeek);
    if (Live_Start(o.width, o.height, start, o.renderer) != RUNNER_OK) {
        std::string shown = log[0] == '/' ? log : w.showPrefix + log;
        if (Runner_LogOpenError())
            fprintf(stderr, "zelkor play: %s: cannot write the log: %s\n", shown.c_str(),
                    ZELKOR_LogProblem(Runner_LogOpenError()));
        else
            fprintf(stderr, "zelkor play: %s: the show failed to start (see %s)\n", show,
                    shown.c_str());
        return 1;
    }
    // The start-up took the archive's tracks; the text file's go over them.
    if (w.tracksFromText) LoadTracks(&w);
    Live_SetOverlay(Editor_Draw, nullptr);

    const char* reason = nullptr;
    w.watch = IO_WatchOpen();
    w.showFolder = IO_WatchFolder(w.watch, ".", &reason);
    if (w.showFolder < 0)
        fprintf(stderr, "zelkor play: %s: changes will not be seen: %s\n", show, reason);
    size_t slash = w.showPath.rfind('/');
    w.showName = w.showPath.substr(slash + 1);
    w.parentFolder =
        IO_WatchFolder(w.watch, slash ? w.showPath.substr(0, slash).c_str() : "/", &reason);
    if (!w.timetable.empty())
        w.timetableFolder = IO_WatchFolder(w.watch, w.timetableDir.c_str(), &reason);
    std::string tracksDir = w.tracksPath.substr(0, w.tracksPath.rfind('/') + 1);
    w.tracksFolder = tracksDir == w.showPath + "/"
                         ? w.showFolder
                         : IO_WatchFolder(w.watch, tracksDir.c_str(), &reason);
    if (!w.library.empty()) {
        std::string dir = w.libraryPath.substr(0, w.libraryPath.rfind('/'));
        w.libraryFolder = IO_WatchFolder(w.watch, dir.empty() ? "/" : dir.c_str(), &reason);
    }
    // --scene with --loop loops that very entry, whatever else starts with it.
    if (o.loop && entry >= 0)
        Live_SetLoop(Timetable_Start(entry), Timetable_End(entry));
    else if (o.loop)
        ToggleLoop();
    SDL_AddEventWatch(CatchKeys, nullptr);

    std::vector<IO_Change> changes;
    Uint32 fpsSince = SDL_GetTicks();
    uint64_t fpsFrames = Live_FramesDrawn();
    unsigned fps = 0;
    std::string shownTitle = Title(0);
    Live_SetTitle(shownTitle.c_str());
    for (;;) {
        std::vector<SDL_Keysym> pressed;
        pressed.swap(keys);
        for (const SDL_Keysym& key : pressed) HandleKey(key);
        int redraw = 0;
        IO_WatchChanges(w.watch, &changes);
        for (const IO_Change& change : changes)
            redraw |= FollowReplacedFolder(&w, change) || TakeIn(w, change);
        std::string reloaded;
        double ms = 0;
        if (Textures_Reloaded(&reloaded, &ms)) {
            fprintf(stderr, "zelkor play: reloaded %s%s (%.0f ms)\n", w.showPrefix.c_str(),
                    reloaded.c_str(), ms);
            redraw = 1;
        }
        redraw |= exposed;
        exposed = 0;
        int r = Live_Frame(redraw);
        TellReloaded();
        if (r == RUNNER_ENDED && leaving) break;
        if (r == RUNNER_ENDED) HoldAtEnd();
        if (r == RUNNER_STOPPED) {
            fprintf(stderr, "zelkor play: the timetable stopped the show\n");
            break;
        }
        if (SDL_GetTicks() - fpsSince >= 1000) {
            fps = (unsigned)(Live_FramesDrawn() - fpsFrames);
            fpsFrames = Live_FramesDrawn();
            fpsSince = SDL_GetTicks();
        }
        std::string title = Title(fps);
        if (title != shownTitle) Live_SetTitle((shownTitle = title).c_str());
    }
    SDL_DelEventWatch(CatchKeys, nullptr);
    IO_WatchClose(w.watch);
    Textures_StopReloads();
    Live_Stop();
    Engine_UseScenes(nullptr);
    SceneLibrary_Unload(sceneLibrary);
    sceneLibrary = nullptr;
    return 0;
}

} // namespace

int CmdPlay(int argc, char** argv) {
    int status;
    if (CLI_Info(PlayUsage, argc, argv, &status)) return status;
    Options o;
    int usage = ParseArgs(argc, argv, &o);
    if (usage) return usage;
    SDL_SetMainReady();
    int result = Play(o);
    SDL_Quit();
    return result;
}
