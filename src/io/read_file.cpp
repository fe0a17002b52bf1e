#include "io/read_file.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <new>
#include <sys/stat.h>
#include <unistd.h>

static int Fail(const char** why, const char* text) {
    if (why) *why = text;
    return 0;
}

static int OpenRead(const char* path, int flags, const char** why) {
    // O_NONBLOCK keeps open() from waiting for a FIFO's writer; fstat then
    // tells what was opened.
    int fd = open(path, O_RDONLY | O_CLOEXEC | ((flags & IO_REGULAR_ONLY) ? O_NONBLOCK : 0));
    if (fd < 0) return Fail(why, strerror(errno)), -1;
    if (flags & IO_REGULAR_ONLY) {
        struct stat st;
        if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
            close(fd);
            return Fail(why, "not a regular file"), -1;
        }
        fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    }
    return fd;
}

int IO_OpenRead(const char* path, int flags, ZK_Status* status) {
    const char* why = nullptr;
    int fd = OpenRead(path, flags, &why);
    if (fd < 0) ZK_Report(status, ZK_FailIn(path, why));
    return fd;
}

FILE* IO_FopenRead(const char* path, int flags, ZK_Status* status) {
    int fd = IO_OpenRead(path, flags, status);
    if (fd < 0) return nullptr;
    FILE* f = fdopen(fd, "rb");
    if (!f) {
        ZK_Report(status, ZK_FailIn(path, strerror(errno)));
        close(fd);
    }
    return f;
}

static int ReadFile(const char* path, uint64_t limit, int flags, std::vector<uint8_t>* out,
                    const char** why) {
    out->clear();
    int fd = OpenRead(path, flags, why);
    if (fd < 0) return 0;
    // A regular file's size sizes the buffer; pipes grow it as they deliver.
    // Never null, even for an empty file: callers hand it to memcpy and friends.
    struct stat st;
    size_t expected = 1;
    if (fstat(fd, &st) == 0 && S_ISREG(st.st_mode) && st.st_size > 0) {
        if ((uint64_t)st.st_size > limit) {
            close(fd);
            return Fail(why, "file too large");
        }
        expected = (size_t)st.st_size;
    }
    const char* error = nullptr;
    uint8_t chunk[1 << 16];
    // Reading stops at the limit: a device or pipe that never ends costs no
    // more than the largest file of its kind.
    try {
        out->reserve(expected);
        for (;;) {
            ssize_t n = read(fd, chunk, sizeof chunk);
            if (n < 0 && errno == EINTR) continue;
            if (n < 0) error = strerror(errno);
            if (n <= 0) break;
            if (out->size() + (uint64_t)n > limit) {
                error = "file too large";
                break;
            }
            out->insert(out->end(), chunk, chunk + n);
        }
    } catch (const std::bad_alloc&) {
        error = "out of memory";
    }
    close(fd);
    if (!error) return 1;
    std::vector<uint8_t>().swap(*out);
    return Fail(why, error);
}

int IO_ReadText(const char* path, uint64_t limit, int flags, std::string* out, const char** why) {
    std::vector<uint8_t> bytes;
    int ok = ReadFile(path, limit, flags, &bytes, why);
    out->assign(bytes.begin(), bytes.end());
    return ok;
}

ZK_Status IO_ReadFile(const char* path, uint64_t limit, int flags, std::vector<uint8_t>* out) {
    const char* why = nullptr;
    return ReadFile(path, limit, flags, out, &why) ? ZK_Ok() : ZK_FailIn(path, why);
}

ZK_Status IO_ReadText(const char* path, uint64_t limit, int flags, std::string* out) {
    const char* why = nullptr;
    return IO_ReadText(path, limit, flags, out, &why) ? ZK_Ok() : ZK_FailIn(path, why);
}
