// zelkor trk compile SRC.txt -o OUT.trk
// zelkor trk dump FILE.trk
#include "commands.h"
#include "tool_io.h"
#include "usage.h"

#include "cli/args.h"

#include "sequencing/track_file.h"
#include "sequencing/track_text.h"

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

static const char* tool = "zelkor trk";

static int Compile(int argc, char** argv) {
    static const CLI_Option options[] = {{"-o", CLI_TEXT}, {}};
    CLI_Args args;
    if (CLI_ParseArgs(TrkUsage, options, argc, argv, &args, 1)) return CLI_USAGE;
    if (args.operands.empty()) return CLI_UsageError(TrkUsage, "compile: no source text given");
    if (!args["-o"].given) return CLI_UsageError(TrkUsage, "compile: no output given (-o OUT.trk)");
    const char* src = args.operands[0];
    const char* dst = args["-o"].text;

    std::string text;
    // A key takes 12 bytes compiled and a few more as text.
    if (!ReadTextInput(tool, src, (uint64_t)TRACK_MAX_BYTES * 4, &text)) return 1;
    TrackSet set;
    ZK_Status compiled = CompileTrackText(text, &set);
    if (!compiled.ok) {
        fprintf(stderr, "%s: %s\n", tool, ZK_StatusText(ZK_StatusIn(compiled, src)).c_str());
        return 1;
    }
    std::vector<uint8_t> bytes;
    EncodeTrackFile(set, &bytes);
    return WriteOutput(tool, dst, bytes.data(), bytes.size()) ? 0 : 1;
}

static int Dump(int argc, char** argv) {
    static const CLI_Option options[] = {{}};
    CLI_Args args;
    if (CLI_ParseArgs(TrkUsage, options, argc, argv, &args, 1)) return CLI_USAGE;
    if (args.operands.empty()) return CLI_UsageError(TrkUsage, "dump: no track file given");
    const char* path = args.operands[0];
    std::vector<uint8_t> data;
    if (!ReadInput(tool, path, TRACK_MAX_BYTES, &data)) return 1;
    TrackSet set;
    ZK_Status decoded = DecodeTrackFile(data.data(), data.size(), &set);
    if (!decoded.ok) {
        fprintf(stderr, "%s: %s\n", tool, ZK_StatusText(ZK_StatusIn(decoded, path)).c_str());
        return 1;
    }
    std::string text = FormatTrackText(set);
    return WriteOutput(tool, "-", text.data(), text.size(), 1) ? 0 : 1;
}

int CmdTrk(int argc, char** argv) {
    int status;
    if (CLI_Info(TrkUsage, argc, argv, &status)) return status;
    static const char* const verbs[] = {"compile", "dump", nullptr};
    if (argc < 1) return CLI_UsageError(TrkUsage, "no subcommand given");
    if (strcmp(argv[0], "compile") == 0) return Compile(argc - 1, argv + 1);
    if (strcmp(argv[0], "dump") == 0) return Dump(argc - 1, argv + 1);
    return CLI_UsageError(TrkUsage, "unknown subcommand", argv[0], verbs);
}
