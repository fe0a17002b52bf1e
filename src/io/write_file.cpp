#include "io/write_file.h"

#include "io/temp_files.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

static int Fail(const char** why, int errnum) {
    if (why) *why = strerror(errnum);
    return 0;
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

int IO_OutputOpen(IO_Output* out, const char* path, int flags, const char** why) {
    // Past RLIMIT_FSIZE a write must fail with EFBIG, not kill us halfway.
    signal(SIGXFSZ, SIG_IGN);
    *out = IO_Output();
    if ((flags & IO_DASH_IS_STDOUT) && strcmp(path, "-") == 0) {
        out->stream = stdout;
        return 1;
    }
    struct stat st;
    int exists = stat(path, &st) == 0;
    // /dev/stdout and its kind lead to the shell's redirection even when that
    // is a regular file: replacing the file would leave the shell's copy empty.
    int system = strncmp(path, "/dev/", 5) == 0 || strncmp(path, "/proc/", 6) == 0;
    if (exists && !S_ISREG(st.st_mode) && (flags & IO_REGULAR_TARGET)) {
        if (why) *why = "not a regular file";
        return 0;
    }
    if (exists && (system || !S_ISREG(st.st_mode)) && !(flags & IO_REGULAR_TARGET)) {
        out->path = path;
        out->stream = fopen(path, "wb");
        return out->stream ? 1 : Fail(why, errno);
    }
    int fd = IO_CreateTempFor(path, &out->path, &out->temp);
    if (fd < 0) return Fail(why, errno);
    out->stream = fdopen(fd, "wb");
    if (!out->stream) {
        int errnum = errno;
        close(fd);
        IO_OutputAbort(out);
        return Fail(why, errnum);
    }
    return 1;
}

int IO_OutputCommit(IO_Output* out, const char** why) {
    FILE* f = out->stream;
    out->stream = nullptr;
    int errnum = 0;
    if (fflush(f) != 0 || ferror(f)) errnum = errno ? errno : EIO;
    if (f != stdout && fclose(f) != 0 && !errnum) errnum = errno;
    if (!errnum && !out->temp.empty() && rename(out->temp.c_str(), out->path.c_str()) != 0)
        errnum = errno;
    if (!errnum) {
        IO_DropTemp(&out->temp, 0);
        return 1;
    }
    IO_OutputAbort(out);
    return Fail(why, errnum);
}

void IO_OutputAbort(IO_Output* out) {
    if (out->stream && out->stream != stdout) fclose(out->stream);
    out->stream = nullptr;
    IO_DropTemp(&out->temp, 1);
}

int IO_WriteFile(const char* path, const void* data, size_t size, int flags, const char** why) {
    IO_Output out;
    if (!IO_OutputOpen(&out, path, flags, why)) return 0;
    if (size && fwrite(data, 1, size, out.stream) != size) {
        int errnum = errno;
        IO_OutputAbort(&out);
        return Fail(why, errnum ? errnum : EIO);
    }
    return IO_OutputCommit(&out, why);
}
