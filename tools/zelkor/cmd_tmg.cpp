// zelkor tmg compile SRC.txt -o OUT.tmg
// zelkor tmg dump FILE.tmg
#include "commands.h"
#include "tool_io.h"

#include "sequencing/timing_script.h"
#include "sequencing/timing_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

static const char* tool = "zelkor tmg";

static int Usage() {
    fprintf(stderr, "usage: zelkor tmg compile SRC.txt -o OUT.tmg\n"
                    "       zelkor tmg dump FILE.tmg\n");
    return 2;
}

static int Compile(int argc, char** argv) {
    const char* src = nullptr;
    const char* dst = nullptr;
    for (int i = 0; i < argc; i++) {
        if (strcmp(argv[i], "-o") == 0 && i + 1 < argc && !dst)
            dst = argv[++i];
        else if (argv[i][0] != '-' && !src)
            src = argv[i];
        else
            return Usage();
    }
    if (!src || !dst) return Usage();

    std::vector<uint8_t> source;
    // A line per entry: a text many times the binary limit cannot compile.
    if (!ReadInput(tool, src, (uint64_t)TIMING_MAX_BYTES * 4, &source)) return 1;
    std::string text(source.begin(), source.end());
    std::vector<uint8_t> bytes;
    std::string error;
    if (!CompileTimingText(text, &bytes, &error)) {
        fprintf(stderr, "%s: %s: %s\n", tool, src, error.c_str());
        return 1;
    }
    return WriteOutput(tool, dst, bytes.data(), bytes.size()) ? 0 : 1;
}

static int Dump(int argc, char** argv) {
    if (argc != 1 || argv[0][0] == '-') return Usage();
    const char* path = argv[0];
    std::vector<uint8_t> data;
    if (!ReadInput(tool, path, TIMING_MAX_BYTES, &data)) return 1;
    TimingTable table = {};
    if (!ParseTimingScript(data.data(), (uint32_t)data.size(), &table)) {
        fprintf(stderr, "%s: %s: %s\n", tool, path,
                DescribeTimingScriptProblem(data.data(), data.size()).c_str());
        return 1;
    }
    uint32_t used = (uint32_t)(sizeof(TimingHeader) + table.header.count * sizeof(TimingEntry));
    std::string text = FormatTimingText(table, (uint32_t)data.size() - used);
    FreeTimingTable(&table);
    fwrite(text.data(), 1, text.size(), stdout);
    if (fflush(stdout) != 0) {
        fprintf(stderr, "%s: <stdout>: %s\n", tool, strerror(errno));
        return 1;
    }
    return 0;
}

int CmdTmg(int argc, char** argv) {
    if (argc < 1) return Usage();
    if (strcmp(argv[0], "compile") == 0) return Compile(argc - 1, argv + 1);
    if (strcmp(argv[0], "dump") == 0) return Dump(argc - 1, argv + 1);
    return Usage();
}
