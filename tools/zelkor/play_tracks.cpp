// zelkor play's tracks file: which one plays, taking it in as it is saved
// (also through a link), and going back to the archive's tracks when it is
// deleted.
#include "play_editor.h"
#include "play_reload.h"
#include "show_args.h"

#include "core/globals.h"
#include "sequencing/tracks.h"

#include <SDL.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>

int Play_LoadTracks(Watched* w) {
    std::string text;
    int loaded = LoadTracksText("zelkor play", w->tracksPath, w->tracks, &text);
    if (loaded > 0) {
        w->tracksFromText = 1;
        Editor_FileRead(1, text);
    }
    return loaded;
}

void Play_SayTracks(const Watched& w, int archive, int loaded) {
    const char* file = w.tracks.c_str();
    if (loaded > 0) {
        fprintf(stderr, "zelkor play: the tracks of %s (the editor saves there)\n", file);
        return;
    }
    std::string playing = archive > 0 ? "the tracks of " + w.showPrefix + "data.vkz"
                                      : std::string("no tracks (the scenes' own values)");
    if (loaded == 0)
        fprintf(stderr, "zelkor play: %s; the editor saves to %s\n", playing.c_str(), file);
    else
        fprintf(stderr, "zelkor play: %s while %s does not read\n", playing.c_str(), file);
}

void Play_WatchTracks(Watched* w) {
    std::string dir = w->tracksPath.substr(0, w->tracksPath.rfind('/') + 1);
    if (w->tracksFolder < 0) w->tracksFolder = IO_WatchFolder(w->watch, dir.c_str());
    // A link is followed: what changes is the file it names, maybe elsewhere.
    char real[PATH_MAX];
    std::string target = realpath(w->tracksPath.c_str(), real) ? real : "";
    if (target.empty() || target == w->tracksPath || target == w->tracksTarget) return;
    w->tracksTarget = target;
    size_t slash = target.rfind('/');
    w->tracksTargetName = target.substr(slash + 1);
    w->tracksTargetFolder = IO_WatchFolder(w->watch, slash ? target.substr(0, slash).c_str() : "/");
}

namespace {

// The tracks file is gone: the archive's tracks play again, or none.
int Gone(Watched* w) {
    if (!w->tracksFromText) return 0;
    w->tracksFromText = 0;
    std::string archive = w->showPrefix + "data.vkz";
    ZK_Status loaded;
    int got = Tracks_LoadArchive(g_archive, &loaded);
    if (got < 0) {
        Tracks_Clear();
        fprintf(stderr, "zelkor play: %s is gone; %s: %s: no tracks now\n", w->tracks.c_str(),
                archive.c_str(), ZK_StatusText(loaded).c_str());
    } else if (got > 0) {
        fprintf(stderr, "zelkor play: %s is gone; the tracks of %s play again\n", w->tracks.c_str(),
                archive.c_str());
    } else {
        fprintf(stderr, "zelkor play: %s is gone; no tracks now (%s has none)\n", w->tracks.c_str(),
                archive.c_str());
    }
    Editor_FileRead(0, "");
    return 1;
}

} // namespace

int Play_TakeInTracks(Watched* w, const IO_Change& change) {
    int link = change.folder == w->tracksFolder && change.name == w->tracksName;
    int target = w->tracksTargetFolder >= 0 && change.folder == w->tracksTargetFolder &&
                 change.name == w->tracksTargetName;
    if (change.isFolder || (!link && !target)) return -1;
    if (link) Play_WatchTracks(w); // the link may name another file now
    struct stat st;
    if (stat(w->tracksPath.c_str(), &st) != 0 && (errno == ENOENT || errno == ENOTDIR))
        return Gone(w);
    // A file moved away or deleted whose name is taken again: that one's
    // own change follows.
    if (change.removed) return 0;
    Uint64 begin = SDL_GetPerformanceCounter();
    if (Play_LoadTracks(w) <= 0) return 0;
    double took = (double)(SDL_GetPerformanceCounter() - begin) * 1000.0 /
                  (double)SDL_GetPerformanceFrequency();
    Play_TellWhenDrawn(w->tracks, w->tracksPath, took);
    return 1;
}
