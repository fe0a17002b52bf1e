#include "engine/show_folder.h"

#include "core/log.h"
#include "engine/engine.h"
#include "engine/scene_library.h"
#include "platform/stop_signals.h"

#include <SDL.h>

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <unistd.h>

static int ProgramFolder(std::string* folder) {
    char exe[PATH_MAX];
    ssize_t n = readlink("/proc/self/exe", exe, sizeof exe - 1);
    if (n <= 0) return 0;
    std::string own(exe, (size_t)n);
    *folder = own.substr(0, own.rfind('/'));
    return 1;
}

std::string Show_ProgramFolder() {
    std::string folder = ".";
    ProgramFolder(&folder);
    return folder;
}

void Show_TakeStopSignals() {
    SDL_SetMainReady();
    // Ours instead of SDL's, which a waiting message box never answers.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    ZELKOR_CatchStopSignals();
}

void Show_FindFolder(ShowFolder* f, const char* named) {
    f->path = named ? named : ".";
    if (named) return;
    if (!f->beside || access("data.vkz", F_OK) == 0) return;
    std::string own = ".";
    if (!ProgramFolder(&own) && f->installed) return;
    if (!f->installed) {
        f->path = strcmp(f->beside, ".") == 0 ? own : own + "/" + f->beside;
        return;
    }
    std::string show = own + "/" + f->beside;
    if (access((show + "/data.vkz").c_str(), R_OK) != 0) return;
    // Named before entering the show: the user's state folder, else the
    // working one.
    char cwd[PATH_MAX];
    std::string log = ZELKOR_StateLogPath();
    if (log.empty() && getcwd(cwd, sizeof cwd)) log = std::string(cwd) + "/zelkor.log";
    if (log.empty()) return;
    f->path = show;
    f->log = log;
    f->logOptional = 1;
}

int Show_EnterFolder(const ShowFolder* f) {
    if (chdir(f->path.c_str()) != 0) {
        fprintf(stderr, "%s: %s: cannot enter %sshow folder: %s\n", f->program, f->path.c_str(),
                f->tool ? "" : "the ", strerror(errno));
        return 0;
    }
    if (f->tool && access("data.vkz", R_OK) != 0) {
        fprintf(stderr, "%s: %sdata.vkz: cannot read the archive: %s\n", f->program,
                f->shown.c_str(), strerror(errno));
        return 0;
    }
    return 1;
}

void Show_PlaceLog(ShowFolder* f) {
    if (access(".", W_OK) == 0) return;
    std::string log = ZELKOR_StateLogPath();
    if (log.empty()) return;
    if (f->tool)
        fprintf(stderr, "%s: %s cannot be written; the log goes to %s\n", f->program,
                f->path.c_str(), log.c_str());
    else
        f->logOptional = 1;
    f->log = log;
}

void Show_TellFailedStart(const ShowFolder* f, const std::string& shownLog) {
    if (int error = Engine_LogOpenError())
        fprintf(stderr, "%s: %s: cannot write the log: %s\n", f->program, shownLog.c_str(),
                ZELKOR_LogProblem(error));
    else
        fprintf(stderr, "%s: %s: the show failed to start (see %s)\n", f->program, f->path.c_str(),
                shownLog.c_str());
}

SceneLibrary* Show_UseScenes(const char* program, const char* path, const char* shown) {
    ZK_Status loaded;
    SceneLibrary* library = SceneLibrary_Load(path, &loaded);
    if (!library) {
        fprintf(stderr, "%s: %s: %s\n", program, shown, loaded.problem.c_str());
        return nullptr;
    }
    Engine_UseScenes(SceneLibrary_Scenes(library));
    return library;
}
