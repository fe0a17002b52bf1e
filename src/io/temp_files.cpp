#include "io/temp_files.h"

#include <csignal>
#include <cstring>
#include <unistd.h>

namespace {

enum { SLOTS = 16, PATH_BYTES = 4096 };

// A slot's path is complete before `used` is set, so the handler never reads
// one half written.
struct Slot {
    volatile sig_atomic_t used;
    char path[PATH_BYTES];
};
Slot slots[SLOTS];

void OnTermination(int sig) {
    for (Slot& s : slots)
        if (s.used) unlink(s.path);
    signal(sig, SIG_DFL);
    raise(sig);
}

void CatchTermination() {
    static int caught = 0;
    if (caught) return;
    caught = 1;
    static const int signals[] = {SIGTERM, SIGHUP};
    for (int sig : signals) {
        struct sigaction old = {};
        sigaction(sig, nullptr, &old);
        if (old.sa_handler != SIG_DFL) continue; // the program's own, or ignored
        struct sigaction action = {};
        action.sa_handler = OnTermination;
        sigfillset(&action.sa_mask);
        sigaction(sig, &action, nullptr);
    }
}

} // namespace

int IO_RemoveOnTermination(const char* path) {
    if (strlen(path) >= PATH_BYTES) return 0;
    CatchTermination();
    for (Slot& s : slots) {
        if (s.used) continue;
        strcpy(s.path, path);
        s.used = 1;
        return 1;
    }
    return 0;
}

void IO_KeepOnTermination(const char* path) {
    for (Slot& s : slots)
        if (s.used && strcmp(s.path, path) == 0) s.used = 0;
}
