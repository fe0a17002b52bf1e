#include "cli/cli.h"

#include "core/version.h"

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <string>
#include <vector>

static void PrintSynopsis(FILE* out, const char* synopsis) {
    const char* line = synopsis;
    for (int first = 1; *line; first = 0) {
        const char* end = strchr(line, '\n');
        size_t n = end ? (size_t)(end - line) : strlen(line);
        fprintf(out, "%s%.*s\n", first ? "usage: " : "       ", (int)n, line);
        line += n + (end ? 1 : 0);
    }
}

void CLI_PrintHelp(FILE* out, const CLI_Usage& usage) {
    PrintSynopsis(out, usage.synopsis);
    if (usage.details && *usage.details) fprintf(out, "\n%s", usage.details);
}

int CLI_Info(const CLI_Usage& usage, int argc, char** argv, int* status) {
    for (int i = 0; i < argc; i++) {
        const char* a = argv[i];
        if (!strcmp(a, "--")) break;
        int help = !strcmp(a, "-h") || !strcmp(a, "--help");
        if (!help && strcmp(a, "--version") != 0) continue;
        if (help)
            CLI_PrintHelp(stdout, usage);
        else
            ZELKOR_PrintVersion(stdout, usage.tool);
        *status = fflush(stdout) == 0 ? 0 : 1;
        return 1;
    }
    return 0;
}

static const char* stdoutTool = "";

static void CloseStdout() {
    int failed = ferror(stdout) != 0, err = 0;
    if (fflush(stdout) != 0) failed = 1, err = errno;
    // A standard output closed from the start (EBADF) that was never written is fine.
    if (fclose(stdout) != 0 && (failed || errno != EBADF)) {
        failed = 1;
        if (!err) err = errno;
    }
    if (!failed) return;
    // The reason of an earlier failed write is gone by now.
    fprintf(stderr, "%s: standard output: %s\n", stdoutTool, err ? strerror(err) : "write error");
    _exit(1);
}

void CLI_CheckStdoutAtExit(const char* tool) {
    stdoutTool = tool;
    atexit(CloseStdout);
}

int CLI_UsageError(const CLI_Usage& usage, const char* problem, const char* arg,
                   const char* const* known) {
    fprintf(stderr, "%s: %s", usage.tool, problem);
    if (arg) fprintf(stderr, " '%s'", arg);
    static const char* const always[] = {"--help", "--version", nullptr};
    const char* near = arg && known ? CLI_Nearest(arg, known) : nullptr;
    if (arg && !near && arg[0] == '-') near = CLI_Nearest(arg, always);
    if (near) fprintf(stderr, " (did you mean '%s'?)", near);
    fputc('\n', stderr);
    PrintSynopsis(stderr, usage.synopsis);
    fprintf(stderr, "Try '%s --help' for more.\n", usage.tool);
    return CLI_USAGE;
}

// Optimal string alignment distance: insertions, deletions, substitutions
// and swaps of neighbours each cost 1, so "verfiy" is one step from "verify".
static size_t Distance(const std::string& a, const std::string& b) {
    size_t n = a.size(), m = b.size();
    std::vector<std::vector<size_t>> d(n + 1, std::vector<size_t>(m + 1));
    for (size_t i = 0; i <= n; i++) d[i][0] = i;
    for (size_t j = 0; j <= m; j++) d[0][j] = j;
    for (size_t i = 1; i <= n; i++) {
        for (size_t j = 1; j <= m; j++) {
            size_t cost = a[i - 1] == b[j - 1] ? 0 : 1;
            d[i][j] = std::min({d[i - 1][j] + 1, d[i][j - 1] + 1, d[i - 1][j - 1] + cost});
            if (i > 1 && j > 1 && a[i - 1] == b[j - 2] && a[i - 2] == b[j - 1])
                d[i][j] = std::min(d[i][j], d[i - 2][j - 2] + 1);
        }
    }
    return d[n][m];
}

static std::string Lower(const char* s) {
    std::string out;
    for (; *s; s++) out += (char)tolower((unsigned char)*s);
    return out;
}

const char* CLI_Nearest(const char* word, const char* const* known) {
    // Typed words are short; a longer one is no typo of a command name.
    if (strlen(word) > 64) return nullptr;
    std::string w = Lower(word);
    const char* best = nullptr;
    size_t bestScore = 0;
    for (const char* const* k = known; *k; k++) {
        std::string candidate = Lower(*k);
        // At most a third of the longer word may differ: "-x" is not near "-o".
        size_t d = Distance(w, candidate);
        bool near = d * 3 <= std::max(w.size(), candidate.size());
        size_t score = 2 * d;
        // A longer word cut short counts too, a little less: "blurr" is near
        // "Blur3x3", "--layr" nearer "--layer" than "--layers".
        if (w.size() >= 4 && candidate.size() > w.size()) {
            size_t cut = Distance(w, candidate.substr(0, w.size()));
            if (cut * 3 <= w.size() && (!near || 2 * cut + 1 < score))
                score = 2 * cut + 1, near = true;
        }
        if (!near) continue;
        if (!best || score < bestScore) best = *k, bestScore = score;
    }
    return best;
}
