#include "capture_output.h"

#include <cstring>
#include <strings.h>
#include <sys/stat.h>

// Names that ask for a video in a format we do not write; without this they
// would silently become folders of PNGs.
static const char* const kOtherVideo[] = {".avi", ".mov", ".m4v", ".mpg", ".mpeg", ".ts",  ".flv",
                                          ".wmv", ".ogv", ".gif", ".3gp", ".mts",  ".m2ts"};
static const char* const kVideo[] = {".mp4", ".mkv", ".webm"};

static int EndsWith(const std::string& s, const char* const* list, size_t n) {
    for (size_t i = 0; i < n; i++) {
        size_t len = strlen(list[i]);
        if (s.size() >= len && strcasecmp(s.c_str() + s.size() - len, list[i]) == 0) return 1;
    }
    return 0;
}

int Capture_IsVideoName(const std::string& out) {
    return EndsWith(out, kVideo, sizeof kVideo / sizeof *kVideo);
}

int Capture_IsOtherVideoName(const std::string& out) {
    return EndsWith(out, kOtherVideo, sizeof kOtherVideo / sizeof *kOtherVideo);
}

const char* Capture_FolderProblem(const std::string& out) {
    struct stat st;
    if (stat(out.c_str(), &st) == 0)
        return S_ISDIR(st.st_mode) ? nullptr
                                   : "-o is neither a folder nor a video name (.mp4, .mkv or "
                                     ".webm):";
    size_t slash = out.rfind('/');
    if (out.back() == '/' ||
        out.find('.', slash == std::string::npos ? 0 : slash + 1) == std::string::npos)
        return nullptr;
    return "-o has an extension that is no video's (.mp4, .mkv or .webm); a new folder of "
           "PNGs is named without one, or with a '/' at its end:";
}

const char* Capture_VideoNameProblem(const std::string& out) {
    size_t slash = out.rfind('/');
    size_t dot = out.rfind('.');
    return dot == (slash == std::string::npos ? 0 : slash + 1) ? "-o names no file before its "
                                                                 "extension:"
                                                               : nullptr;
}
