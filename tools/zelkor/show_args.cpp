#include "show_args.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <unistd.h>

int ParseShowTime(const char* s, uint32_t* out) {
    if (!*s) return 0;
    char* end = nullptr;
    errno = 0;
    unsigned long long v = strtoull(s, &end, 10);
    if (*end || errno || s[0] == '-' || v > SHOW_MAX_TIME) return 0;
    *out = (uint32_t)v;
    return 1;
}

int ParseShowSize(const char* s, int* width, int* height) {
    int w = 0, h = 0;
    char x = 0, tail = 0;
    if (sscanf(s, "%d%c%d%c", &w, &x, &h, &tail) != 3 || x != 'x' || w < 1 || h < 1 || w > 8192 ||
        h > 8192)
        return 0;
    *width = w, *height = h;
    return 1;
}

std::string AbsolutePath(const std::string& p) {
    if (!p.empty() && p[0] == '/') return p;
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd)) return p;
    return std::string(cwd) + "/" + p;
}
