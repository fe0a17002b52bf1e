#include "dev_job.h"

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace {

void Close(int* fd) {
    if (*fd >= 0) close(*fd);
    *fd = -1;
}

// Reads what is there; 0 once the output is closed (the job and all it
// started are done writing).
int Drain(DevJob* job) {
    char buffer[4096];
    for (;;) {
        ssize_t n = read(job->out, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) return 1; // EAGAIN: nothing more now
        if (n == 0) return 0;
        job->output.append(buffer, (size_t)n);
    }
}

// Whole lines, as they come, to stderr.
void Echo(DevJob* job, int all) {
    if (!job->echo) return;
    size_t newline = job->output.rfind('\n');
    size_t end = all ? job->output.size() : newline == std::string::npos ? 0 : newline + 1;
    if (end <= job->echoed) return;
    fwrite(job->output.data() + job->echoed, 1, end - job->echoed, stderr);
    job->echoed = end;
}

int Reap(DevJob* job, int options) {
    int status = 0;
    pid_t got;
    while ((got = waitpid(job->pid, &status, options)) < 0 && errno == EINTR) {
    }
    if (got == 0) return -1; // still running
    Drain(job);
    Echo(job, 1);
    Close(&job->out);
    job->pid = -1;
    return got > 0 && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

} // namespace

ZK_Status DevJob_Start(DevJob* job, const std::vector<std::string>& args, int echo) {
    int pipeFds[2];
    if (pipe2(pipeFds, O_CLOEXEC) != 0) return ZK_Fail(strerror(errno));
    posix_spawn_file_actions_t files;
    posix_spawnattr_t attr;
    posix_spawn_file_actions_init(&files);
    posix_spawn_file_actions_addopen(&files, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_adddup2(&files, pipeFds[1], 1);
    posix_spawn_file_actions_adddup2(&files, pipeFds[1], 2);
    posix_spawnattr_init(&attr);
    // A group of its own, so the compilers it starts stop with it; the
    // signals a show blocks or ignores are the defaults again there.
    sigset_t none, reset;
    sigemptyset(&none);
    sigemptyset(&reset);
    for (int sig : {SIGINT, SIGTERM, SIGHUP, SIGPIPE, SIGCHLD}) sigaddset(&reset, sig);
    posix_spawnattr_setpgroup(&attr, 0);
    posix_spawnattr_setsigmask(&attr, &none);
    posix_spawnattr_setsigdefault(&attr, &reset);
    posix_spawnattr_setflags(&attr, POSIX_SPAWN_SETPGROUP | POSIX_SPAWN_SETSIGMASK |
                                        POSIX_SPAWN_SETSIGDEF);
    std::vector<char*> argv;
    for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid;
    int failed = posix_spawnp(&pid, argv[0], &files, &attr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&files);
    posix_spawnattr_destroy(&attr);
    close(pipeFds[1]);
    if (failed) {
        close(pipeFds[0]);
        return ZK_Fail(strerror(failed));
    }
    fcntl(pipeFds[0], F_SETFL, fcntl(pipeFds[0], F_GETFL) | O_NONBLOCK);
    *job = DevJob();
    job->pid = pid;
    job->out = pipeFds[0];
    job->echo = echo;
    return ZK_Ok();
}

int DevJob_Poll(DevJob* job, int* succeeded) {
    if (job->pid < 0) return 0;
    Drain(job);
    Echo(job, 0);
    int ended = Reap(job, WNOHANG);
    if (ended < 0) return 1;
    *succeeded = ended;
    return 0;
}

int DevJob_Wait(DevJob* job, volatile int* stop) {
    int succeeded = 0;
    while (DevJob_Poll(job, &succeeded)) {
        if (*stop) {
            DevJob_Stop(job);
            return 0;
        }
        pollfd p = {job->out, POLLIN, 0};
        poll(&p, 1, 100); // a signal or its output wakes it sooner
    }
    return succeeded;
}

void DevJob_Stop(DevJob* job) {
    if (job->pid < 0) return;
    kill(-job->pid, SIGTERM);
    Reap(job, 0);
}
