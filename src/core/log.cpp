#include "core/log.h"

#include <chrono>
#include <cerrno>
#include <cstdarg>
#include <cstring>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <fcntl.h>
#include <unistd.h>

static void SystemLocalTime(int* h, int* m, int* s, int* ms) {
    using namespace std::chrono;
    system_clock::time_point now = system_clock::now();
    time_t secs = system_clock::to_time_t(now);
    struct tm lt = {};
    localtime_r(&secs, &lt);
    *h = lt.tm_hour;
    *m = lt.tm_min;
    *s = lt.tm_sec;
    *ms = (int)(duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000);
}

static ZELKOR_Log::LocalTimeFn localTime = SystemLocalTime;

void ZELKOR_Log::SetLocalTimeSource(LocalTimeFn fn) {
    localTime = fn ? fn : SystemLocalTime;
}

int ZELKOR_Log::Initialize(const char* path) {
    if (file) {
        fclose(file);
        file = nullptr;
    }
    openError = 0;
    if (path) {
        // As fopen("wt"), but a FIFO without a reader fails at once instead of
        // blocking the start-up in open(), and a symbolic link is never
        // followed: emptying the file it names could destroy anything.
        int fd =
            open(path, O_WRONLY | O_CREAT | O_TRUNC | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0) {
            openError = errno;
        } else {
            fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
            file = fdopen(fd, "w");
            if (!file) {
                openError = errno;
                close(fd);
            }
        }
        // Unbuffered, so the trace survives a crash.
        if (file) setbuf(file, nullptr);
    }
    int h, m, s, ms;
    localTime(&h, &m, &s, &ms);
    // The format's own newline plus Print's gives the empty line after the start line.
    Print("start logging at %d:%d:%d\n", h, m, s);
    return file ? 1 : 0;
}

const char* ZELKOR_LogProblem(int error) {
    return error == ELOOP ? "it is a symbolic link, which the log never follows" : strerror(error);
}

void ZELKOR_Log::Print(const char* format, ...) {
    int h, m, s, ms;
    localTime(&h, &m, &s, &ms);
    // 4096 characters with the terminator: longer messages are cut at 4095.
    char buffer[4096];
    va_list args;
    va_start(args, format);
    vsnprintf(buffer, sizeof(buffer), format, args);
    va_end(args);
    FILE* out = file ? file : stdout;
    // The message goes out with %s, never as a format of its own.
    fprintf(out, "[%d:%d:%d.%d]%s\n", h, m, s, ms, buffer);
    if (!file) fflush(stdout);
}

void ZELKOR_Log::Shutdown() {
    int h, m, s, ms;
    localTime(&h, &m, &s, &ms);
    Print("end logging at %d:%d:%d", h, m, s);
    if (file) {
        fclose(file);
        file = nullptr;
    }
}

const char* ZELKOR_StateLogPath() {
    static char path[4096];
    const char* state = getenv("XDG_STATE_HOME");
    const char* home = getenv("HOME");
    int n;
    if (state && state[0] == '/')
        n = snprintf(path, sizeof path, "%s/zelkor", state);
    else if (home && home[0] == '/')
        n = snprintf(path, sizeof path, "%s/.local/state/zelkor", home);
    else
        return "";
    if (n < 0 || n + (int)sizeof "/zelkor.log" > (int)sizeof path) return "";
    for (char* slash = strchr(path + 1, '/'); slash; slash = strchr(slash + 1, '/')) {
        *slash = 0;
        mkdir(path, 0700);
        *slash = '/';
    }
    mkdir(path, 0700);
    strcat(path, "/zelkor.log");
    return path;
}
