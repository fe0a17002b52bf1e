// zelkor rgs asm|disasm|run: texture scripts from text and back, and running
// them as the texture manager does.
#include "commands.h"
#include "tool_io.h"

#include "io/png_write.h"
#include "io/tga_write.h"
#include "rgs/rgs.h"
#include "rgs/rgs_text.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

static int RgsUsage() {
    fprintf(stderr, "usage: zelkor rgs asm SRC.txt -o OUT.rgs\n"
                    "       zelkor rgs disasm FILE.rgs\n"
                    "       zelkor rgs run SCRIPT.rgs... [--layers OUT.raw] [--tga OUT.tga] "
                    "[--png OUT.png]\n"
                    "       zelkor rgs view SCRIPT... [--layer N] [--scale S]\n");
    return 2;
}

static int WriteFile(const char* path, const void* data, size_t size) {
    return WriteOutput("zelkor rgs", path, data, size, 1);
}

static int Assemble(int argc, char** argv) {
    const char* source = nullptr;
    const char* output = nullptr;
    for (int i = 0; i < argc; i++) {
        if (strcmp(argv[i], "-o") == 0 && i + 1 < argc)
            output = argv[++i];
        else if (!source && argv[i][0] != '-')
            source = argv[i];
        else
            return RgsUsage();
    }
    if (!source || !output) return RgsUsage();
    std::vector<uint8_t> text, script;
    if (!ReadInput("zelkor rgs asm", source, TOOL_MAX_INPUT, &text)) return 1;
    std::string error;
    if (!RGS_Assemble(std::string(text.begin(), text.end()), &script, &error)) {
        fprintf(stderr, "zelkor rgs asm: %s: %s\n", source, error.c_str());
        return 1;
    }
    if (!WriteFile(output, script.data(), script.size())) return 1;
    return 0;
}

static int Disassemble(int argc, char** argv) {
    if (argc != 1 || argv[0][0] == '-') return RgsUsage();
    std::vector<uint8_t> script;
    if (!ReadInput("zelkor rgs disasm", argv[0], TOOL_MAX_INPUT, &script)) return 1;
    std::string text, error;
    int ok = RGS_Disassemble(script.data(), (uint32_t)script.size(), &text, &error);
    fputs(text.c_str(), stdout);
    if (ok) return 0;
    // A file the show still runs (cut short, or with bytes after its last
    // command) is only warned about, as `rgs run` does.
    int runs = script.size() >= 3 && memcmp(script.data(), "RGS", 3) == 0;
    fprintf(stderr, "zelkor rgs disasm: %s: %s%s\n", argv[0], runs ? "warning: " : "",
            error.c_str());
    return runs ? 0 : 1;
}

// Layer 0 as the show keeps it: row 0, the first row OpenGL gets, is the bottom.
static IO_Image Layer0() {
    IO_Image image;
    image.width = image.height = RGS_SIZE;
    image.bytes = RGS_Layers[0];
    return image;
}

// An uncompressed 24-bit TGA, origin bottom left as in the show.
static int WriteTga(const char* path) {
    std::vector<uint8_t> file = IO_EncodeTga(Layer0(), IO_TgaFormat::Rgb24);
    return WriteFile(path, file.data(), file.size());
}

// An 8-bit RGB PNG, top row first, so the picture looks as the TGA and the show do.
static int WritePng(const char* path) {
    const char* why = nullptr;
    if (IO_WritePng(path, Layer0(), -1, &why)) return 1;
    fprintf(stderr, "zelkor rgs run: %s: %s\n", path, why);
    return 0;
}

static int Run(int argc, char** argv) {
    const char* layersPath = nullptr;
    const char* tgaPath = nullptr;
    const char* pngPath = nullptr;
    std::vector<const char*> scripts;
    for (int i = 0; i < argc; i++) {
        const char** option = strcmp(argv[i], "--layers") == 0 ? &layersPath
                              : strcmp(argv[i], "--tga") == 0  ? &tgaPath
                              : strcmp(argv[i], "--png") == 0  ? &pngPath
                                                               : nullptr;
        if (option) {
            if (i + 1 >= argc) return RgsUsage();
            *option = argv[++i];
        } else if (argv[i][0] == '-' && argv[i][1]) {
            return RgsUsage();
        } else {
            scripts.push_back(argv[i]);
        }
    }
    if (scripts.empty()) return RgsUsage();

    memset(RGS_Layers, 0, sizeof RGS_Layers);
    RGS_Random = 0;
    int status = 0;
    for (const char* path : scripts) {
        std::vector<uint8_t> script;
        if (!ReadInput("zelkor rgs run", path, TOOL_MAX_INPUT, &script)) {
            status = 1;
            continue;
        }
        if (!RunRGS(script.data(), (uint32_t)script.size())) {
            fprintf(stderr, "zelkor rgs run: %s: not an RGS script (no \"RGS\"), skipped\n", path);
            status = 1;
            continue;
        }
        uint32_t count = script.size() > 3 ? script[3] : 0;
        if (RGS_CurrentProgram.count < count)
            fprintf(stderr, "zelkor rgs run: %s: warning: ran %u of its %u commands\n", path,
                    RGS_CurrentProgram.count, count);
    }

    struct Output {
        const char* path;
        int (*write)(const char*);
    };
    auto writeLayers = [](const char* p) { return WriteFile(p, RGS_Layers, sizeof RGS_Layers); };
    const Output outputs[] = {{layersPath, writeLayers}, {tgaPath, WriteTga}, {pngPath, WritePng}};
    // Each writer names its file and the reason when it fails.
    for (const Output& o : outputs)
        if (o.path && !o.write(o.path)) status = 1;
    printf("random %u\n", RGS_Random);
    return status;
}

int CmdRgs(int argc, char** argv) {
    if (argc < 1) return RgsUsage();
    if (strcmp(argv[0], "asm") == 0) return Assemble(argc - 1, argv + 1);
    if (strcmp(argv[0], "disasm") == 0) return Disassemble(argc - 1, argv + 1);
    if (strcmp(argv[0], "run") == 0) return Run(argc - 1, argv + 1);
    // It opens a window: a program of its own.
    if (strcmp(argv[0], "view") == 0) return RunBeside("rgs-view", argv + 1);
    return RgsUsage();
}
