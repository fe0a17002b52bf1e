// zelkor tmg compile SRC.txt -o OUT.tmg [--strict]
// zelkor tmg dump FILE.tmg
#include "commands.h"
#include "tool_io.h"
#include "usage.h"

#include "sequencing/scene_names.h"
#include "sequencing/timing_check.h"
#include "sequencing/timing_script.h"
#include "sequencing/timing_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

static const char* tool = "zelkor tmg";

// "unknown scene name 'scen1' (did you mean 'scene1'?)" and the like.
static std::string Describe(const TimingWarning& w, const TimingEntry* entries,
                            const std::vector<int>* lines) {
    const TimingEntry& e = entries[w.entry];
    std::string name(e.name, strnlen(e.name, sizeof(e.name)));
    // As the text form writes it, so odd bytes show as escapes.
    std::string shown = FormatTimingName(name.data(), name.size());
    if (shown[0] != '"') shown = "'" + shown + "'";
    switch (w.problem) {
    case TIMING_UNKNOWN_NAME: {
        std::vector<const char*> known(ShowSceneNames, ShowSceneNames + SHOW_SCENE_COUNT);
        known.push_back(PreloadSceneName);
        known.push_back(EndeSceneName);
        known.push_back(nullptr);
        const char* near = CLI_Nearest(name.c_str(), known.data());
        return "no scene is registered as " + shown +
               (near ? std::string(" (did you mean '") + near + "'?)" : "");
    }
    case TIMING_OVERLAP:
        return DescribeTimingOverlap(w, entries, lines);
    case TIMING_NEVER_RUNS:
        return "START + LENGTH passes 4294967295 ms: the entry never runs";
    }
    return "";
}

static int Compile(int argc, char** argv) {
    const char* src = nullptr;
    const char* dst = nullptr;
    bool strict = false;
    static const char* const options[] = {"-o", "--strict", nullptr};
    for (int i = 0; i < argc; i++) {
        if (strcmp(argv[i], "-o") == 0 && i + 1 < argc && !dst)
            dst = argv[++i];
        else if (strcmp(argv[i], "--strict") == 0)
            strict = true;
        else if (CLI_IsOption(argv[i]))
            return CLI_OptionError(TmgUsage, argv[i], options);
        else if (!src)
            src = argv[i];
        else
            return CLI_UsageError(TmgUsage, "unexpected argument", argv[i]);
    }
    if (!src) return CLI_UsageError(TmgUsage, "compile: no source text given");
    if (!dst) return CLI_UsageError(TmgUsage, "compile: no output given (-o OUT.tmg)");

    std::vector<uint8_t> source;
    // A line per entry: a text many times the binary limit cannot compile.
    if (!ReadInput(tool, src, (uint64_t)TIMING_MAX_BYTES * 4, &source)) return 1;
    std::string text(source.begin(), source.end());
    std::vector<uint8_t> bytes;
    std::vector<int> lines;
    std::string error;
    if (!CompileTimingText(text, &bytes, &error, &lines)) {
        fprintf(stderr, "%s: %s: %s\n", tool, src, error.c_str());
        return 1;
    }
    const TimingEntry* entries = (const TimingEntry*)(bytes.data() + sizeof(TimingHeader));
    std::vector<TimingWarning> warnings = CheckTimingEntries(entries, (uint32_t)lines.size());
    for (const TimingWarning& w : warnings)
        fprintf(stderr, "%s: %s: line %d: %s%s\n", tool, src, lines[w.entry],
                strict ? "" : "warning: ", Describe(w, entries, &lines).c_str());
    if (strict && !warnings.empty()) return 1;
    return WriteOutput(tool, dst, bytes.data(), bytes.size()) ? 0 : 1;
}

static int Dump(int argc, char** argv) {
    if (argc < 1) return CLI_UsageError(TmgUsage, "dump: no timetable given");
    if (CLI_IsOption(argv[0])) return CLI_UsageError(TmgUsage, "unknown option", argv[0]);
    if (argc > 1) return CLI_UsageError(TmgUsage, "unexpected argument", argv[1]);
    const char* path = argv[0];
    std::vector<uint8_t> data;
    if (!ReadInput(tool, path, TIMING_MAX_BYTES, &data)) return 1;
    TimingTable table = {};
    if (!ParseTimingScript(data.data(), (uint32_t)data.size(), &table)) {
        fprintf(stderr, "%s: %s: %s\n", tool, path,
                DescribeTimingScriptProblem(data.data(), data.size()).c_str());
        return 1;
    }
    // The same warnings as compile, as comments: the text still compiles to these bytes.
    std::vector<std::string> notes(table.header.count);
    for (const TimingWarning& w : CheckTimingEntries(table.entries, table.header.count)) {
        std::string& note = notes[w.entry];
        note += (note.empty() ? "warning: " : "; ") + Describe(w, table.entries, nullptr);
    }
    uint32_t used = (uint32_t)(sizeof(TimingHeader) + table.header.count * sizeof(TimingEntry));
    std::string text = FormatTimingText(table, (uint32_t)data.size() - used, &notes);
    FreeTimingTable(&table);
    fwrite(text.data(), 1, text.size(), stdout);
    if (fflush(stdout) != 0) {
        fprintf(stderr, "%s: <stdout>: %s\n", tool, strerror(errno));
        return 1;
    }
    return 0;
}

int CmdTmg(int argc, char** argv) {
    int status;
    if (CLI_Info(TmgUsage, argc, argv, &status)) return status;
    static const char* const verbs[] = {"compile", "dump", nullptr};
    if (argc < 1) return CLI_UsageError(TmgUsage, "no subcommand given");
    if (strcmp(argv[0], "compile") == 0) return Compile(argc - 1, argv + 1);
    if (strcmp(argv[0], "dump") == 0) return Dump(argc - 1, argv + 1);
    return CLI_UsageError(TmgUsage, "unknown subcommand", argv[0], verbs);
}
