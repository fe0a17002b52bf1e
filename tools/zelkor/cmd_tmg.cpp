// zelkor tmg compile SRC.txt -o OUT.tmg [--strict]
// zelkor tmg dump FILE.tmg [--scene-names LIST]
#include "commands.h"
#include "tool_io.h"
#include "usage.h"

#include "cli/args.h"
#include "scenes/scene_names.h"
#include "sequencing/timing_check.h"
#include "sequencing/timing_script.h"
#include "sequencing/timing_text.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

static const char* tool = "zelkor tmg";

// A show of one's own names its scenes: NAME[,NAME...]; its entries are
// checked against those in place of the production's.
static void UseSceneNames(const char* list) {
    static std::vector<std::string> own;
    static std::vector<const char*> names;
    if (!list) return;
    for (const char* at = list;; at++) {
        const char* comma = strchr(at, ',');
        own.emplace_back(at, comma ? (size_t)(comma - at) : strlen(at));
        if (!comma) break;
        at = comma;
    }
    for (const std::string& name : own) names.push_back(name.c_str());
    UseShowSceneNames(names.data(), (int)names.size());
}

static int Compile(int argc, char** argv) {
    static const CLI_Option options[] = {
        {"-o", CLI_TEXT}, {"--strict"}, {"--scene-names", CLI_TEXT}, {}};
    CLI_Args args;
    if (CLI_ParseArgs(TmgUsage, options, argc, argv, &args, 1)) return CLI_USAGE;
    if (args.operands.empty()) return CLI_UsageError(TmgUsage, "compile: no source text given");
    if (!args["-o"].given) return CLI_UsageError(TmgUsage, "compile: no output given (-o OUT.tmg)");
    const char* src = args.operands[0];
    const char* dst = args["-o"].text;
    bool strict = args["--strict"].on;
    UseSceneNames(args["--scene-names"].text);

    std::vector<uint8_t> source;
    // A line per entry: a text many times the binary limit cannot compile.
    if (!ReadInput(tool, src, (uint64_t)TIMING_MAX_BYTES * 4, &source)) return 1;
    std::string text(source.begin(), source.end());
    std::vector<uint8_t> bytes;
    std::vector<int> lines;
    ZK_Status compiled = CompileTimingText(text, &bytes, &lines);
    if (!compiled.ok) {
        fprintf(stderr, "%s: %s\n", tool, ZK_StatusText(ZK_StatusIn(compiled, src)).c_str());
        return 1;
    }
    const TimingEntry* entries = (const TimingEntry*)(bytes.data() + sizeof(TimingHeader));
    std::vector<TimingWarning> warnings =
        CheckTimingEntries(entries, (uint32_t)lines.size(), KnownSceneNames());
    for (const TimingWarning& w : warnings)
        fprintf(stderr, "%s: %s: line %d: %s%s\n", tool, src, lines[w.entry],
                strict ? "" : "warning: ",
                DescribeTimingWarning(w, entries, &lines, KnownSceneNames()).c_str());
    if (strict && !warnings.empty()) return 1;
    return WriteOutput(tool, dst, bytes.data(), bytes.size()) ? 0 : 1;
}

static int Dump(int argc, char** argv) {
    static const CLI_Option options[] = {{"--scene-names", CLI_TEXT}, {}};
    CLI_Args args;
    if (CLI_ParseArgs(TmgUsage, options, argc, argv, &args, 1)) return CLI_USAGE;
    if (args.operands.empty()) return CLI_UsageError(TmgUsage, "dump: no timetable given");
    UseSceneNames(args["--scene-names"].text);
    const char* path = args.operands[0];
    std::vector<uint8_t> data;
    if (!ReadInput(tool, path, TIMING_MAX_BYTES, &data)) return 1;
    TimingTable table = {};
    ZK_Status parsed = ParseTimingScript(data.data(), (uint32_t)data.size(), &table);
    if (!parsed.ok) {
        fprintf(stderr, "%s: %s\n", tool, ZK_StatusText(ZK_StatusIn(parsed, path)).c_str());
        return 1;
    }
    // The same warnings as compile, as comments: the text still compiles to these bytes.
    std::vector<std::string> notes(table.header.count);
    for (const TimingWarning& w :
         CheckTimingEntries(table.entries, table.header.count, KnownSceneNames())) {
        std::string& note = notes[w.entry];
        note += (note.empty() ? "warning: " : "; ") +
                DescribeTimingWarning(w, table.entries, nullptr, KnownSceneNames());
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
