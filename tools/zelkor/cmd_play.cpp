// zelkor play: the show in a window with its music, for working on it:
// start anywhere, pause, seek, loop an entry, and take in changed files
// while it runs.
#include "commands.h"
#include "play.h"
#include "play_editor.h"
#include "play_keys.h"
#include "play_problems.h"
#include "play_reload.h"
#include "show_args.h"
#include "usage.h"

#include "archive/vkz.h"
#include "cli/args.h"
#include "cli/times.h"
#include "core/log.h"
#include "engine/engine.h"
#include "engine/live.h"
#include "engine/reload.h"
#include "engine/runner.h"
#include "engine/scene_library.h"
#include "engine/show_folder.h"
#include "engine/show_shaders.h"
#include "engine/timetable_nav.h"
#include "platform/draw.h"
#include "scenes/scene_names.h"
#include "sequencing/tracks.h"
#include "textures/texture_reload.h"

#include <SDL.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

const CLI_Option PlayOptionTable[] = {
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
    {"--no-sound"},
    {},
};

int Play_ReadOptions(const CLI_Usage& usage, const CLI_Args& args, PlayOptions* o) {
    const CLI_Value &at = args["--at"], &scene = args["--scene"], &window = args["--window"];
    if (at.given && scene.given) return CLI_UsageError(usage, "give either --at or --scene");
    if (args["--dir"].given) o->showDir = args["--dir"].text;
    if (args["--timetable"].given) o->timetable = args["--timetable"].text;
    if (args["--tracks"].given) o->tracks = args["--tracks"].text;
    if (scene.given) o->scene = scene.text;
    if (args["--scenes"].given) o->scenes = args["--scenes"].text;
    if (window.given) o->width = window.width, o->height = window.height;
    if (at.given) o->at = at.text;
    o->haveAt = at.given;
    o->loop = args["--loop"].on;
    o->fastSeek = args["--fast-seek"].on;
    o->noSound = args["--no-sound"].on;
    o->usage = &usage;
    if (args["--renderer"].given) {
        o->renderer = Draw_ParseRenderer(args["--renderer"].text);
        if (o->renderer < 0 || o->renderer == DRAW_NULL)
            return CLI_UsageError(usage, "--renderer wants fixed or modern",
                                  args["--renderer"].text);
    }
    return 0;
}

namespace {

// Of a frame while a seek's exact picture is pending: short enough for a key
// to be answered within a tenth of a second after a lead frame (about 20 ms
// at 800x600 here).
const uint32_t kSeekSlice = 25;

// The show reached its end ("ende", or a timetable saved with "ende" before
// the playhead): it stays there, paused, on the frame drawn at the end itself.
void HoldAtEnd() {
    Live_HoldAtEnd();
    uint32_t end = 0;
    if (Timetable_ShowEnd(&end) && Live_Time() != end) Live_Seek(end);
}

// Over the picture: the shaders' problems, then the editor.
void Overlay(const Draw* d, int width, int height, void* user) {
    Problems_Draw(d, width, height);
    Editor_Draw(d, width, height, user);
}

std::string Title(unsigned fps) {
    uint32_t t = Live_Time();
    char clock[32];
    snprintf(clock, sizeof clock, "%02u:%02u.%03u", t / 60000, t / 1000 % 60, t % 1000);
    std::string title = std::string("zelkor play  ") + clock + "  " +
                        MusicGrid_FormatBar(Tracks_Grid(), t) + "  " + Timetable_ActiveNames(t) +
                        "  " + std::to_string(fps) + " fps";
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
    if (Live_SeekPending()) title += " [exact pending]";
    return title;
}

} // namespace

int Play_Run(const PlayOptions& given, const PlayHooks& hooks) {
    // A show of one's own plays its scenes without being told.
    PlayOptions o = given;
    if (o.scenes.empty() && !SceneLibraryIn("zelkor play", o.showDir, &o.scenes)) return 1;
    Watched w;
    if (!o.timetable.empty()) {
        w.timetable = o.timetable;
        w.timetablePath = AbsolutePath(o.timetable);
        size_t slash = w.timetablePath.rfind('/');
        w.timetableDir = w.timetablePath.substr(0, slash + 1);
        w.timetableName = w.timetablePath.substr(slash + 1);
    }
    if (!o.scenes.empty()) {
        if (!Play_LoadScenes(&w, o.scenes)) return 1;
    }
    ShowFolder folder;
    folder.program = "zelkor play", folder.tool = 1;
    Show_FindFolder(&folder, o.showDir.empty() ? nullptr : o.showDir.c_str());
    const char* show = folder.path.c_str();
    if (!o.showDir.empty()) w.showPrefix = o.showDir + "/";
    folder.shown = w.showPrefix;
    w.showPath = AbsolutePath(show);
    while (w.showPath.size() > 1 && w.showPath.back() == '/') w.showPath.pop_back();
    // The tracks' text: the one given, else the project's when the show was
    // built by one, else tracks.txt in the show folder.
    w.tracksPath = TracksFileFor("zelkor play", o.showDir, o.tracks, &w.tracks);
    w.tracksName = w.tracksPath.substr(w.tracksPath.rfind('/') + 1);
    Editor_SetFile(w.tracksPath, w.tracks);
    if (!Show_EnterFolder(&folder)) return 1;
    int renderer = Engine_ShowRenderer("zelkor play", w.showPrefix.c_str(), o.renderer);
    if (renderer < 0) return 1;
    // The timetable first: --scene needs it, and a bad one is better told now.
    std::vector<std::string> warnings;
    ZK_Status loaded = w.timetable.empty()
                           ? Reload_Archive("data.vkz", &warnings)
                           : Reload_TimetableText(w.timetablePath.c_str(), &warnings);
    std::string file = w.timetable.empty() ? w.showPrefix + "data.vkz" : w.timetable;
    if (!loaded.ok) {
        fprintf(stderr, "zelkor play: %s: %s\n", file.c_str(), loaded.problem.c_str());
        return 1;
    }
    Play_Warn(file, warnings);
    // The tracks before the start: their grid reads --at BAR.BEAT.
    int archiveTracks = 0;
    if (VKZ_Archive* archive = VKZ_Open("data.vkz")) {
        archiveTracks = Tracks_LoadArchive(archive); // said at the start-up
        VKZ_Close(archive);
    }
    Play_SayTracks(w, archiveTracks, Play_LoadTracks(&w));
    uint32_t start = 0;
    if (o.haveAt && !CLI_ParseTime(o.at.c_str(), &start) &&
        (!MusicGrid_ParseBarBeat(Tracks_Grid(), o.at.c_str(), &start) || start > CLI_MAX_TIME))
        return CLI_UsageError(o.usage ? *o.usage : PlayUsage,
                              "--at wants ms, M:SS.mmm or BAR.BEAT (bar from 1, beat 1 to 4)",
                              o.at.c_str());
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
    // Beside the show when it may be written there, else in the user's state
    // folder, said on stderr.
    Show_PlaceLog(&folder);
    const std::string& log = folder.log;
    Live_SetLogPath(log.c_str());
    Live_SetExactSeeks(!o.fastSeek);
    // A seek shows its fast picture at once; the exact one takes a slice of
    // each frame, so keys and the title answer meanwhile.
    Live_SetSeekSlice(kSeekSlice);
    // Without a working audio device play goes on silent, and says why.
    Live_SetSound(o.noSound ? ENGINE_SOUND_OFF : ENGINE_SOUND_IF_ANY);
    if (Live_Start(o.width, o.height, start, renderer) != RUNNER_OK) {
        Show_TellFailedStart(&folder, log[0] == '/' ? log : w.showPrefix + log);
        return 1;
    }
    if (const char* silent = Engine_SoundProblem())
        fprintf(stderr,
                "zelkor play: no sound (%s); the show plays silent on its clock (--no-sound "
                "starts so without trying)\n",
                silent);
    // The start-up took the archive's tracks; the text file's go over them.
    if (w.tracksFromText) Play_LoadTracks(&w);
    Engine_TellShaderProblems("zelkor play", w.showPrefix.c_str());
    Live_SetOverlay(Overlay, nullptr);

    ZK_Status watched;
    w.watch = IO_WatchOpen();
    w.showFolder = IO_WatchFolder(w.watch, ".", &watched);
    if (w.showFolder < 0)
        fprintf(stderr, "zelkor play: %s: changes will not be seen: %s\n", show,
                watched.problem.c_str());
    if (renderer == DRAW_MODERN && access("shaders", F_OK) == 0)
        w.shadersFolder = IO_WatchFolder(w.watch, "shaders");
    size_t slash = w.showPath.rfind('/');
    w.showName = w.showPath.substr(slash + 1);
    w.parentFolder = IO_WatchFolder(w.watch, slash ? w.showPath.substr(0, slash).c_str() : "/");
    if (!w.timetable.empty()) w.timetableFolder = IO_WatchFolder(w.watch, w.timetableDir.c_str());
    std::string tracksDir = w.tracksPath.substr(0, w.tracksPath.rfind('/') + 1);
    if (tracksDir == w.showPath + "/") w.tracksFolder = w.showFolder;
    Play_WatchTracks(&w);
    if (!w.library.empty()) {
        std::string dir = w.libraryPath.substr(0, w.libraryPath.rfind('/'));
        w.libraryFolder = IO_WatchFolder(w.watch, dir.empty() ? "/" : dir.c_str());
    }
    // --scene with --loop loops that very entry, whatever else starts with it.
    if (o.loop && entry >= 0)
        Live_SetLoop(Timetable_Start(entry), Timetable_End(entry));
    else if (o.loop)
        Play_ToggleLoop();
    Play_WatchKeys(1);

    std::vector<IO_Change> changes;
    Uint32 fpsSince = SDL_GetTicks();
    uint64_t fpsFrames = Live_FramesDrawn();
    unsigned fps = 0;
    std::string shownTitle = Title(0);
    Live_SetTitle(shownTitle.c_str());
    for (;;) {
        for (const SDL_Keysym& key : Play_TakeKeys()) Play_HandleKey(key);
        int redraw = hooks.beforeFrame ? hooks.beforeFrame(hooks.user) : 0;
        IO_WatchChanges(w.watch, &changes);
        for (const IO_Change& change : changes)
            redraw |= Play_FollowReplacedFolder(&w, change) || Play_TakeIn(w, change);
        std::string reloaded;
        double ms = 0;
        if (Textures_Reloaded(&reloaded, &ms)) {
            fprintf(stderr, "zelkor play: reloaded %s%s (%.0f ms)\n", w.showPrefix.c_str(),
                    reloaded.c_str(), ms);
            redraw = 1;
        }
        redraw |= Play_TakeExposed();
        int r = Live_Frame(redraw);
        Play_TellReloaded();
        if (hooks.afterFrame) hooks.afterFrame(hooks.user);
        // Escape or the close box, whatever the frame made of the quit message
        // (a pending seek's way takes back what the show posts on it).
        if (Play_Leaving()) break;
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
    Play_WatchKeys(0);
    IO_WatchClose(w.watch);
    Textures_StopReloads();
    Live_Stop();
    Play_UnloadScenes();
    return 0;
}

int CmdPlay(int argc, char** argv) {
    int status;
    if (CLI_Info(PlayUsage, argc, argv, &status)) return status;
    CLI_Args args;
    if (CLI_ParseArgs(PlayUsage, PlayOptionTable, argc, argv, &args, 0)) return CLI_USAGE;
    PlayOptions o;
    int usage = Play_ReadOptions(PlayUsage, args, &o);
    if (usage) return usage;
    SDL_SetMainReady();
    int result = Play_Run(o, PlayHooks());
    SDL_Quit();
    return result;
}
