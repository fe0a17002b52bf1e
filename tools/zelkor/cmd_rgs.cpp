// zelkor rgs asm|disasm|run|ops: texture scripts from text and back, running
// them as the texture manager does, and the operations' reference.
// `rgs view` opens a window: it is the program zelkor-rgs-view.
#include "commands.h"
#include "tool_io.h"
#include "usage.h"

#include "cli/args.h"

#include "io/png_write.h"
#include "io/tga_write.h"
#include "rgs/rgs.h"
#include "rgs/rgs_opcodes.h"
#include "rgs/rgs_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>
#include <vector>

static int WriteFile(const char* path, const void* data, size_t size) {
    return WriteOutput("zelkor rgs", path, data, size, 1);
}

// Text to a script, with the assembler's warnings on stderr.
static int AssembleText(const char* tool, const char* path, const std::vector<uint8_t>& text,
                        std::vector<uint8_t>* script) {
    std::vector<std::string> warnings;
    ZK_Status assembled = RGS_Assemble(std::string(text.begin(), text.end()), script, &warnings);
    for (const std::string& w : warnings)
        fprintf(stderr, "%s: %s: warning: %s\n", tool, path, w.c_str());
    if (!assembled.ok)
        fprintf(stderr, "%s: %s\n", tool, ZK_StatusText(ZK_StatusIn(assembled, path)).c_str());
    return assembled.ok;
}

// For the subcommands that take operands only.
static const CLI_Option kNoOptions[] = {{}};

static int Assemble(int argc, char** argv) {
    static const CLI_Option options[] = {{"-o", CLI_TEXT}, {}};
    CLI_Args args;
    if (CLI_ParseArgs(RgsUsage, options, argc, argv, &args, 1)) return CLI_USAGE;
    if (args.operands.empty()) return CLI_UsageError(RgsUsage, "asm: no source text given");
    if (!args["-o"].given) return CLI_UsageError(RgsUsage, "asm: no output given (-o OUT.rgs)");
    const char* source = args.operands[0];
    const char* output = args["-o"].text;
    std::vector<uint8_t> text, script;
    if (!ReadInput("zelkor rgs asm", source, RGS_MAX_FILE_BYTES, &text)) return 1;
    if (!AssembleText("zelkor rgs asm", source, text, &script)) return 1;
    if (!WriteFile(output, script.data(), script.size())) return 1;
    return 0;
}

static int Disassemble(int argc, char** argv) {
    CLI_Args args;
    if (CLI_ParseArgs(RgsUsage, kNoOptions, argc, argv, &args, 1)) return CLI_USAGE;
    if (args.operands.empty()) return CLI_UsageError(RgsUsage, "disasm: no script given");
    const char* path = args.operands[0];
    std::vector<uint8_t> script;
    if (!ReadInput("zelkor rgs disasm", path, RGS_MAX_FILE_BYTES, &script)) return 1;
    std::string text;
    ZK_Status disassembled = RGS_Disassemble(script.data(), (uint32_t)script.size(), &text);
    fputs(text.c_str(), stdout);
    if (disassembled.ok) return 0;
    // A file the show still runs (cut short, or with bytes after its last
    // command) is only warned about, as `rgs run` does.
    int runs = script.size() >= 3 && memcmp(script.data(), "RGS", 3) == 0;
    fprintf(stderr, "zelkor rgs disasm: %s: %s%s\n", path, runs ? "warning: " : "",
            disassembled.problem.c_str());
    return runs ? 0 : 1;
}

// A layer as the show would show it: row 0, the first row OpenGL gets, is the bottom.
static IO_Image Layer(int n) {
    IO_Image image;
    image.width = image.height = RGS_SIZE;
    image.bytes = RGS_Layers[n];
    return image;
}

// An uncompressed 24-bit TGA, origin bottom left as in the show.
static int WriteTga(const char* path, int layer) {
    std::vector<uint8_t> file = IO_EncodeTga(Layer(layer), IO_TgaFormat::Rgb24);
    return WriteFile(path, file.data(), file.size());
}

// An 8-bit RGB PNG, top row first, so the picture looks as the TGA and the show do.
static int WritePng(const char* path, int layer) {
    ZK_Status written = IO_WritePng(path, Layer(layer), -1);
    if (written.ok) return 1;
    fprintf(stderr, "zelkor rgs run: %s: %s\n", path, written.problem.c_str());
    return 0;
}

// A compiled script is a .rgs file or begins with the magic; anything else
// is the text form.
static bool IsCompiled(const char* path, const std::vector<uint8_t>& data) {
    size_t n = strlen(path);
    if (n >= 4 && strcasecmp(path + n - 4, ".rgs") == 0) return true;
    return data.size() >= 3 && memcmp(data.data(), "RGS", 3) == 0;
}

static int Run(int argc, char** argv) {
    static const CLI_Option options[] = {
        {"--layers", CLI_TEXT},  {"--tga", CLI_TEXT},           {"--png", CLI_TEXT},
        {"--png-all", CLI_TEXT}, {"--layer", CLI_NUMBER, 0, 4}, {},
    };
    CLI_Args args;
    if (CLI_ParseArgs(RgsUsage, options, argc, argv, &args)) return CLI_USAGE;
    const std::vector<const char*>& scripts = args.operands;
    if (scripts.empty()) return CLI_UsageError(RgsUsage, "run: no script given");
    const char* layersPath = args["--layers"].text;
    const char* tgaPath = args["--tga"].text;
    const char* pngPath = args["--png"].text;
    const char* pngPrefix = args["--png-all"].text;
    int layer = (int)args["--layer"].number;
    if (args["--layer"].given && !tgaPath && !pngPath)
        return CLI_UsageError(RgsUsage, "--layer picks the layer of --tga or --png; neither "
                                        "is given");

    memset(RGS_Layers, 0, sizeof RGS_Layers);
    RGS_Random = 0;
    int status = 0;
    for (const char* path : scripts) {
        std::vector<uint8_t> data, compiled;
        if (!ReadInput("zelkor rgs run", path, RGS_MAX_FILE_BYTES, &data)) {
            status = 1;
            continue;
        }
        if (!IsCompiled(path, data)) {
            if (!AssembleText("zelkor rgs run", path, data, &compiled)) {
                fprintf(stderr, "zelkor rgs run: %s: skipped\n", path);
                status = 1;
                continue;
            }
            data.swap(compiled);
        }
        if (!RunRGS(data.data(), (uint32_t)data.size())) {
            fprintf(stderr, "zelkor rgs run: %s: not an RGS script (no \"RGS\"), skipped\n", path);
            status = 1;
            continue;
        }
        uint32_t count = data.size() > 3 ? data[3] : 0;
        if (RGS_CurrentProgram.count < count)
            fprintf(stderr, "zelkor rgs run: %s: warning: ran %u of its %u commands\n", path,
                    RGS_CurrentProgram.count, count);
    }

    // A failed run writes nothing: a black picture would pass for a result.
    if (status != 0) {
        printf("random %u\n", RGS_Random);
        return status;
    }
    // Each writer names its file and the reason when it fails.
    if (layersPath && !WriteFile(layersPath, RGS_Layers, sizeof RGS_Layers)) status = 1;
    if (tgaPath && !WriteTga(tgaPath, layer)) status = 1;
    if (pngPath && !WritePng(pngPath, layer)) status = 1;
    for (int n = 0; pngPrefix && n < RGS_LAYER_COUNT; n++)
        if (!WritePng((pngPrefix + std::to_string(n) + ".png").c_str(), n)) status = 1;
    printf("random %u\n", RGS_Random);
    return status;
}

static int Ops(int argc, char** argv) {
    CLI_Args args;
    if (CLI_ParseArgs(RgsUsage, kNoOptions, argc, argv, &args, 1)) return CLI_USAGE;
    const char* name = args.operands.empty() ? nullptr : args.operands[0];
    std::string text;
    if (!name) {
        for (int op = 1; op < RGS_OPCODE_COUNT; op++) text += RGS_ReferenceLine(op);
    } else {
        int op = RGS_OpcodeByName(name);
        if (op < 0) {
            std::vector<const char*> names;
            for (int k = 1; k < RGS_OPCODE_COUNT; k++) names.push_back(RGS_OpTable[k].name);
            names.push_back(nullptr);
            return CLI_UsageError(RgsUsage, "ops: no operation named", name, names.data());
        }
        text = RGS_ReferenceEntry(op);
    }
    fputs(text.c_str(), stdout);
    return fflush(stdout) == 0 ? 0 : 1;
}

int CmdRgs(int argc, char** argv) {
    int status;
    // "view" is a program of its own, which answers --help with the same text.
    if (argc > 0 && strcmp(argv[0], "view") == 0) {
        if (CLI_Info(RgsViewUsage, argc - 1, argv + 1, &status)) return status;
        return RunBeside("rgs-view", argv + 1);
    }
    if (CLI_Info(RgsUsage, argc, argv, &status)) return status;
    static const char* const verbs[] = {"asm", "disasm", "run", "ops", "view", nullptr};
    if (argc < 1) return CLI_UsageError(RgsUsage, "no subcommand given");
    if (strcmp(argv[0], "asm") == 0) return Assemble(argc - 1, argv + 1);
    if (strcmp(argv[0], "disasm") == 0) return Disassemble(argc - 1, argv + 1);
    if (strcmp(argv[0], "run") == 0) return Run(argc - 1, argv + 1);
    if (strcmp(argv[0], "ops") == 0) return Ops(argc - 1, argv + 1);
    return CLI_UsageError(RgsUsage, "unknown subcommand", argv[0], verbs);
}
