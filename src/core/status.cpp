#include "core/status.h"

#include <cstdarg>
#include <cstdio>

ZK_Status ZK_Fail(const std::string& problem) {
    return ZK_FailIn("", problem);
}

ZK_Status ZK_FailIn(const std::string& file, const std::string& problem) {
    ZK_Status s;
    s.ok = 0;
    s.file = file;
    s.problem = problem;
    return s;
}

ZK_Status ZK_Failf(const std::string& file, const char* format, ...) {
    char text[1024];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    return ZK_FailIn(file, text);
}

ZK_Status ZK_StatusIn(ZK_Status status, const std::string& file) {
    if (!status.ok && status.file.empty()) status.file = file;
    return status;
}

std::string ZK_StatusText(const ZK_Status& s) {
    if (s.ok) return "";
    return s.file.empty() ? s.problem : s.file + ": " + s.problem;
}

int ZK_Report(ZK_Status* out, ZK_Status status) {
    int ok = status.ok;
    if (out) *out = std::move(status);
    return ok;
}
