// Ctrl-C (SIGINT) and SIGTERM in the show (marovy). SDL's own handlers only queue a quit
// event, which nothing reads while a message box waits for OK. Here, once the
// show is starting, the first signal ends it as Escape does and the program
// then exits with 128 + the signal (130, 143); before that, while a failed
// start-up's box waits, or at a second signal, the program ends at once with
// that status.
#pragma once

// Installs the handlers (SDL must be told to install none of its own).
void ZELKOR_CatchStopSignals();
// 1: a signal ends the show as Escape does; 0: it ends the program at once,
// as does a signal that has already come.
void ZELKOR_StopSignalsEndShow(int on);
// The signal that ended the show, or 0.
int ZELKOR_StopSignal();
