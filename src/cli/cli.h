// The command-line conventions every tool follows (git, coreutils): -h and
// --help print the usage on stdout and exit 0, --version prints the tool, the
// version and the git revision, and a usage error goes to stderr with status
// 2, names the offending argument and suggests the nearest known word.
#pragma once
#include <cstdio>

enum { CLI_USAGE = 2 };

struct CLI_Usage {
    const char* tool;     // "zelkor vkz": how messages begin, what --version names
    const char* synopsis; // one form per line, "zelkor vkz create ARCHIVE ...\n..."
    const char* details;  // what --help adds below the synopsis; may be null
};

// The synopsis ("usage: " before the first form) and the details.
void CLI_PrintHelp(FILE* out, const CLI_Usage& usage);
// Answers -h/--help or --version found among the arguments (up to "--"):
// prints to stdout and returns 1 with *status set to 0 (1 when stdout
// failed). Returns 0 when neither is there.
int CLI_Info(const CLI_Usage& usage, int argc, char** argv, int* status);
// From here on, the end of the program checks that standard output was
// written (flushed and closed without an error: a full disk, /dev/full) and
// otherwise says "TOOL: standard output: REASON" and exits with 1, as
// coreutils do, instead of a silent success.
void CLI_CheckStdoutAtExit(const char* tool);
// "TOOL: PROBLEM" on stderr, with " 'ARG'" and " (did you mean 'X'?)" when
// `arg` is given and one of the null-terminated `known` words is near it,
// then the synopsis and where to read more. Returns CLI_USAGE.
int CLI_UsageError(const CLI_Usage& usage, const char* problem, const char* arg = nullptr,
                   const char* const* known = nullptr);
// The word of the null-terminated list closest to `word` (letter case
// ignored) when it is a likely typo of it; null otherwise.
const char* CLI_Nearest(const char* word, const char* const* known);
// An argument that looks like an option: "-x" or "--x", but not "-" alone.
inline int CLI_IsOption(const char* arg) {
    return arg[0] == '-' && arg[1] != 0;
}
