#include "io/watch.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/inotify.h>
#include <unistd.h>

struct IO_Watch {
    int fd;
};

IO_Watch* IO_WatchOpen() {
    int fd = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (fd < 0) return nullptr;
    IO_Watch* watch = new IO_Watch;
    watch->fd = fd;
    return watch;
}

int IO_WatchFolder(IO_Watch* watch, const char* folder, ZK_Status* status) {
    // Closing after a write covers saving in place; a rename into the folder
    // covers the editors that write a temporary file first. A folder made
    // there may replace one being watched (git checkout does that). A file
    // deleted or moved away is gone.
    int id = watch ? inotify_add_watch(watch->fd, folder,
                                       IN_CLOSE_WRITE | IN_MOVED_TO | IN_CREATE | IN_DELETE |
                                           IN_MOVED_FROM | IN_ONLYDIR)
                   : -1;
    if (id >= 0) return id;
    const char* why = watch ? strerror(errno) : "no file watching"; // before anything allocates
    ZK_Report(status, ZK_FailIn(folder, why));
    return id;
}

void IO_WatchChanges(IO_Watch* watch, std::vector<IO_Change>* changes) {
    changes->clear();
    if (!watch) return;
    alignas(inotify_event) char buffer[16 * (sizeof(inotify_event) + NAME_MAX + 1)];
    for (;;) {
        ssize_t n = read(watch->fd, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return; // EAGAIN: nothing more (the idle case, one call)
        for (ssize_t at = 0; at < n;) {
            const inotify_event* ev = (const inotify_event*)(buffer + at);
            at += (ssize_t)(sizeof(inotify_event) + ev->len);
            int isFolder = (ev->mask & IN_ISDIR) != 0;
            // A file just created is not finished; a folder is there.
            if (!ev->len || ((ev->mask & IN_CREATE) && !isFolder)) continue;
            int removed = (ev->mask & (IN_DELETE | IN_MOVED_FROM)) != 0;
            IO_Change change{ev->wd, ev->name, isFolder, removed};
            int seen = 0;
            for (const IO_Change& c : *changes)
                seen |= c.folder == change.folder && c.name == change.name &&
                        c.isFolder == isFolder && c.removed == removed;
            if (!seen) changes->push_back(change);
        }
    }
}

void IO_WatchClose(IO_Watch* watch) {
    if (!watch) return;
    close(watch->fd);
    delete watch;
}
