#include "io/write_file.h"

#include "io/temp_files.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

// A refusal of what is not a regular file, beside the errno values.
enum { NOT_REGULAR = -1 };

static const char* Reason(int code) {
    return code == NOT_REGULAR ? "not a regular file" : strerror(code);
}

static ZK_Status Result(const std::string& path, int code) {
    return code ? ZK_FailIn(path, Reason(code)) : ZK_Ok();
}

// A new file beside `target`, created exclusively with the default mode (the
// umask applies), so no other writer's temporary is ever taken over.
static int CreateTemp(const std::string& target, std::string* temp) {
    size_t slash = target.rfind('/');
    std::string dir = slash == std::string::npos ? "" : target.substr(0, slash + 1);
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; attempt++) {
        *temp = dir + "." + base + "." + std::to_string(getpid()) + "." +
                std::to_string(counter++) + ".tmp";
        int fd = open(temp->c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    return -1;
}

int IO_CreateTempFor(const char* path, std::string* target, std::string* temp) {
    *target = path;
    temp->clear();
    struct stat st, link;
    int exists = stat(path, &st) == 0;
    // Through a symbolic link the file it names is replaced; the link stays.
    if (exists && lstat(path, &link) == 0 && S_ISLNK(link.st_mode)) {
        if (char* real = realpath(path, nullptr)) {
            *target = real;
            free(real);
        }
    }
    int fd = CreateTemp(*target, temp);
    if (fd < 0) {
        int errnum = errno;
        temp->clear();
        errno = errnum;
        return -1;
    }
    // A replaced file keeps its permissions.
    if (exists) fchmod(fd, st.st_mode & 07777);
    IO_RemoveOnTermination(temp->c_str());
    return fd;
}

void IO_DropTemp(std::string* temp, int remove) {
    if (temp->empty()) return;
    if (remove) unlink(temp->c_str());
    IO_KeepOnTermination(temp->c_str());
    temp->clear();
}

// Open, commit and write give 0, or an errno value or NOT_REGULAR.
static int OutputOpen(IO_Output* out, const char* path, int flags) {
    // Past RLIMIT_FSIZE a write must fail with EFBIG, not kill us halfway.
    signal(SIGXFSZ, SIG_IGN);
    *out = IO_Output();
    if ((flags & IO_DASH_IS_STDOUT) && strcmp(path, "-") == 0) {
        out->stream = stdout;
        return 0;
    }
    struct stat st;
    int exists = stat(path, &st) == 0;
    // /dev/stdout and its kind lead to the shell's redirection even when that
    // is a regular file: replacing the file would leave the shell's copy empty.
    int system = strncmp(path, "/dev/", 5) == 0 || strncmp(path, "/proc/", 6) == 0;
    if (exists && !S_ISREG(st.st_mode) && (flags & IO_REGULAR_TARGET)) return NOT_REGULAR;
    if (exists && (system || !S_ISREG(st.st_mode)) && !(flags & IO_REGULAR_TARGET)) {
        out->path = path;
        out->stream = fopen(path, "wb");
        return out->stream ? 0 : errno;
    }
    int fd = IO_CreateTempFor(path, &out->path, &out->temp);
    if (fd < 0) return errno;
    out->stream = fdopen(fd, "wb");
    if (!out->stream) {
        int errnum = errno;
        close(fd);
        IO_OutputAbort(out);
        return errnum;
    }
    return 0;
}

static int OutputCommit(IO_Output* out) {
    FILE* f = out->stream;
    out->stream = nullptr;
    int errnum = 0;
    if (fflush(f) != 0 || ferror(f)) errnum = errno ? errno : EIO;
    if (f != stdout && fclose(f) != 0 && !errnum) errnum = errno;
    if (!errnum && !out->temp.empty() && rename(out->temp.c_str(), out->path.c_str()) != 0)
        errnum = errno;
    if (!errnum) {
        IO_DropTemp(&out->temp, 0);
        return 0;
    }
    IO_OutputAbort(out);
    return errnum;
}

static int WriteFile(const char* path, const void* data, size_t size, int flags) {
    IO_Output out;
    if (int code = OutputOpen(&out, path, flags)) return code;
    if (size && fwrite(data, 1, size, out.stream) != size) {
        int errnum = errno;
        IO_OutputAbort(&out);
        return errnum ? errnum : EIO;
    }
    return OutputCommit(&out);
}

ZK_Status IO_OutputOpen(IO_Output* out, const char* path, int flags) {
    return Result(path, OutputOpen(out, path, flags));
}

ZK_Status IO_OutputCommit(IO_Output* out) {
    std::string path = out->path;
    return Result(path, OutputCommit(out));
}

void IO_OutputAbort(IO_Output* out) {
    if (out->stream && out->stream != stdout) fclose(out->stream);
    out->stream = nullptr;
    IO_DropTemp(&out->temp, 1);
}

ZK_Status IO_WriteFile(const char* path, const void* data, size_t size, int flags) {
    return Result(path, WriteFile(path, data, size, flags));
}

int IO_WriteFile(const char* path, const void* data, size_t size, int flags, const char** why) {
    int code = WriteFile(path, data, size, flags);
    if (code && why) *why = Reason(code);
    return code == 0;
}
