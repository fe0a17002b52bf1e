#include "platform/stop_signals.h"

#include <csignal>
#include <pthread.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

static volatile sig_atomic_t endShow = 0, caught = 0;

static void OnStop(int sig) {
    if (!endShow || caught) _exit(128 + sig);
    caught = sig; // the window's pumps deliver the quit message from now on
}

// SDL shows its X11 box from a child process; ending at once must take that
// box along rather than leave it on the screen.
static void InChild() {
#ifdef __linux__
    if (!endShow) prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
}

void ZELKOR_CatchStopSignals() {
    struct sigaction action = {};
    action.sa_handler = OnStop;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    pthread_atfork(nullptr, nullptr, InChild);
}

void ZELKOR_StopSignalsEndShow(int on) {
    endShow = on;
    if (!on && caught) _exit(128 + caught);
}

int ZELKOR_StopSignal() {
    return caught;
}
