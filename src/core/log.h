// ZELKOR_Log: the plain-text trace "zelkor.log", one time-stamped line per Print.
#pragma once
#include <cstdio>

class ZELKOR_Log {
  public:
    ZELKOR_Log() {}
    // Opens (or re-opens) the file; 1 when a file is open afterwards. A null path
    // or a failed open leaves the log writing to stdout.
    int Initialize(const char* path);
    void Print(const char* format, ...) __attribute__((format(printf, 2, 3)));
    void Shutdown();
    // Why the last Initialize could not open its file (an errno), 0 if it could.
    int OpenError() const { return openError; }

    // Tests replace the wall clock; 0 restores it. Fills hour, minute, second, ms.
    typedef void (*LocalTimeFn)(int* h, int* m, int* s, int* ms);
    static void SetLocalTimeSource(LocalTimeFn fn);

  private:
    FILE* file = nullptr;
    int openError = 0;
};

// An OpenError as words: ELOOP is a log that is a symbolic link.
const char* ZELKOR_LogProblem(int error);
// The user's own place for the log, for a show whose folder may not be
// written (an installed one): $XDG_STATE_HOME/zelkor/zelkor.log, or
// ~/.local/state/zelkor/zelkor.log, its folders made. Empty when neither
// variable names an absolute folder.
const char* ZELKOR_StateLogPath();
