// What loading and parsing report: success, or the problem and the file it
// is in. Functions that only succeed or fail return one; those that return
// something else (a descriptor, a handle) fill one when handed it.
//
//   ZK_Status s = IO_ReadFile(path, limit, flags, &bytes);
//   if (!s.ok) fprintf(stderr, "zelkor: %s\n", ZK_StatusText(s).c_str()); // "FILE: problem"
//
// Code that knows the file names it; code that parses bytes from anywhere
// leaves it for its caller (ZK_StatusIn). A caller that shows the file its
// own way (a path as the user gave it) prints `problem` after its own name.
#pragma once
#include <string>

struct ZK_Status {
    int ok = 1;
    std::string file;    // what was being read, written or parsed; may be empty
    std::string problem; // what went wrong, in words; empty when ok
};

inline ZK_Status ZK_Ok() {
    return ZK_Status();
}
ZK_Status ZK_Fail(const std::string& problem);
ZK_Status ZK_FailIn(const std::string& file, const std::string& problem);
// The same with the problem formatted as printf does.
__attribute__((format(printf, 2, 3))) ZK_Status ZK_Failf(const std::string& file,
                                                         const char* format, ...);
// The status with `file` named, unless it names one already.
ZK_Status ZK_StatusIn(ZK_Status status, const std::string& file);
// "FILE: problem", or the problem alone when no file is named; "" when ok.
std::string ZK_StatusText(const ZK_Status& status);
// Fills *out (when given) and gives back status.ok: for functions that
// return something else and report through an optional status.
int ZK_Report(ZK_Status* out, ZK_Status status);
