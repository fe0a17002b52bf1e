// zelkor play takes in what changed while it runs: the timetable, the
// archive, the music, pictures, the tracks' text, the scene library and the
// shaders.
#include "play_reload.h"

#include "show_args.h"

#include "archive/vkz.h"
#include "core/globals.h"
#include "engine/engine.h"
#include "engine/live.h"
#include "engine/reload.h"
#include "engine/scene_library.h"
#include "engine/show_folder.h"
#include "platform/draw_modern.h"
#include "sequencing/tracks.h"
#include "textures/texture_reload.h"

#include <SDL.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// The scene library loaded now; the one before it is unloaded only once its
// successor is registered and prepared.
SceneLibrary* sceneLibrary = nullptr;
// After a reload of the library, a shader or the tracks, told once its
// first frame is drawn: the reload's time and the time from the file's last
// write to that frame.
struct Reloaded {
    std::string file; // as shown
    double ms = 0;
    timespec written = {};
};
std::vector<Reloaded> toTell;
timespec written; // of the file being taken in

double MsSince(const timespec& then) {
    timespec now;
    clock_gettime(CLOCK_REALTIME, &now);
    return (double)(now.tv_sec - then.tv_sec) * 1000.0 + (double)(now.tv_nsec - then.tv_nsec) / 1e6;
}

double MsSince(Uint64 begin) {
    return (double)(SDL_GetPerformanceCounter() - begin) * 1000.0 /
           (double)SDL_GetPerformanceFrequency();
}

// The file's last write, before taking it in.
void NoteWritten(const std::string& path) {
    struct stat info;
    if (stat(path.c_str(), &info) == 0)
        written = info.st_mtim;
    else
        clock_gettime(CLOCK_REALTIME, &written);
}

} // namespace

void Play_TellReloaded() {
    for (const Reloaded& r : toTell)
        fprintf(stderr, "zelkor play: reloaded %s (%.0f ms; drawn %.0f ms after it was written)\n",
                r.file.c_str(), r.ms, MsSince(r.written));
    toTell.clear();
}

void Play_TellWhenDrawn(const std::string& shown, const std::string& path, double ms) {
    NoteWritten(path);
    toTell.push_back(Reloaded{shown, ms, written});
}

namespace {

// Takes in a rebuilt scene library; 1 when its scenes now play.
int TakeInScenes(const Watched& w) {
    Uint64 begin = SDL_GetPerformanceCounter();
    NoteWritten(w.libraryPath);
    ZK_Status loaded;
    SceneLibrary* next = SceneLibrary_Load(w.libraryPath.c_str(), &loaded);
    if (!next) {
        fprintf(stderr, "zelkor play: %s: %s; the scenes before it play on\n", w.library.c_str(),
                loaded.problem.c_str());
        return 0;
    }
    std::vector<std::string> restarted;
    Engine_UseScenes(SceneLibrary_Scenes(next), &restarted);
    for (const std::string& line : restarted) fprintf(stderr, "zelkor play: %s\n", line.c_str());
    Live_ForgetMarks(); // they hold the old code's state
    SceneLibrary_Unload(sceneLibrary);
    sceneLibrary = next;
    toTell.push_back(Reloaded{w.library, MsSince(begin), written});
    return 1;
}

// Takes in a saved shader: the programs made from it compiled again before
// the next frame. One that does not compile keeps its last good code; its
// problem is told here and shown over the picture until it is mended.
int TakeInShader(const Watched& w, const std::string& name) {
    Uint64 begin = SDL_GetPerformanceCounter();
    NoteWritten("shaders/" + name);
    int built = DrawModern_ReloadShaders(name.c_str());
    if (built == 0) return 0; // no program is made from it
    std::string shown = w.showPrefix + "shaders/" + name;
    if (built < 0) {
        std::string own = "shaders/" + name.substr(0, name.rfind('.') + 1);
        for (int i = 0; const char* problem = DrawModern_ShaderProblem(i); i++)
            if (!strncmp(problem, own.c_str(), own.size()))
                fprintf(stderr, "zelkor play: %s%s; the last good code draws on\n",
                        w.showPrefix.c_str(), problem);
        return 1; // the problem goes on the picture
    }
    toTell.push_back(Reloaded{shown, MsSince(begin), written});
    return 1;
}

} // namespace

// What `zelkor tmg compile` would say of the timetable just taken in.
void Play_Warn(const std::string& file, const std::vector<std::string>& warnings) {
    for (const std::string& w : warnings)
        fprintf(stderr, "zelkor play: %s: %s\n", file.c_str(), w.c_str());
}

// Takes in one changed file; 1 when something was redone.
int Play_TakeIn(Watched& w, const IO_Change& change) {
    int tracks = Play_TakeInTracks(&w, change);
    if (tracks >= 0) return tracks;
    if (change.isFolder || change.removed) return 0;
    const std::string& name = change.name;
    if (!w.library.empty() && change.folder == w.libraryFolder && name == w.libraryName)
        return TakeInScenes(w);
    if (change.folder == w.shadersFolder) return TakeInShader(w, name);
    int inShow = change.folder == w.showFolder;
    std::string shown = w.showPrefix + name, why;
    std::vector<std::string> warnings;
    Uint64 begin = SDL_GetPerformanceCounter();
    auto taken = [&why](const ZK_Status& status) {
        why = status.problem;
        return status.ok;
    };
    int ok;
    if (!w.timetable.empty() && change.folder == w.timetableFolder && name == w.timetableName) {
        shown = w.timetable;
        ok = taken(Reload_TimetableText(w.timetablePath.c_str(), &warnings));
    } else if (inShow && name == "data.vkz") {
        // A timetable given as text replaces the archive's.
        if (!w.timetable.empty()) return 0;
        ok = taken(Reload_Archive(name.c_str(), &warnings));
        // The archive's tracks, unless the text file's are in use.
        ZK_Status loaded;
        if (ok && !w.tracksFromText && Tracks_LoadArchive(g_archive, &loaded) < 0)
            fprintf(stderr, "zelkor play: %s: %s\n", shown.c_str(), ZK_StatusText(loaded).c_str());
    } else if (inShow && name == "sound.mp3") {
        ok = taken(Reload_Music(name.c_str()));
    } else if (inShow) {
        ZK_Status reloaded;
        int n = Textures_Reload(name.c_str(), &reloaded);
        why = reloaded.problem;
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
    fprintf(stderr, "zelkor play: reloaded %s (%.0f ms)\n", shown.c_str(), MsSince(begin));
    Play_Warn(shown, warnings);
    return 1;
}

// A folder put in place of the show's (git checkout, some editors): entered
// and watched instead, and every file in it taken in. 1 when it was.
int Play_FollowReplacedFolder(Watched* w, const IO_Change& change) {
    if (!change.isFolder || change.removed || change.folder != w->parentFolder ||
        change.name != w->showName)
        return 0;
    ZK_Status watched;
    int entered = chdir(w->showPath.c_str()) == 0;
    int folder = entered ? IO_WatchFolder(w->watch, ".", &watched) : -1;
    if (folder < 0) {
        fprintf(stderr, "zelkor play: %s: the folder was replaced and cannot be entered: %s\n",
                w->showPath.c_str(), entered ? watched.problem.c_str() : strerror(errno));
        return 0;
    }
    if (w->tracksFolder == w->showFolder) w->tracksFolder = folder;
    if (w->tracksTargetFolder == w->showFolder) w->tracksTargetFolder = folder;
    w->showFolder = folder;
    fprintf(stderr, "zelkor play: %s: the folder was replaced; taking in the new one\n",
            w->showPath.c_str());
    if (DIR* dir = opendir(".")) {
        while (dirent* entry = readdir(dir))
            if (entry->d_type == DT_REG || entry->d_type == DT_UNKNOWN)
                Play_TakeIn(*w, IO_Change{folder, entry->d_name});
        closedir(dir);
    }
    return 1;
}

int Play_LoadScenes(Watched* w, const std::string& scenes) {
    w->library = scenes;
    w->libraryPath = AbsolutePath(scenes);
    w->libraryName = w->libraryPath.substr(w->libraryPath.rfind('/') + 1);
    sceneLibrary = Show_UseScenes("zelkor play", w->libraryPath.c_str(), scenes.c_str());
    return sceneLibrary != nullptr;
}

void Play_UnloadScenes() {
    Engine_UseScenes(nullptr);
    SceneLibrary_Unload(sceneLibrary);
    sceneLibrary = nullptr;
}
