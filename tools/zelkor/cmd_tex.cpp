// zelkor tex decode FILE [--raw OUT]: the show's texture decoders without GL.
#include "commands.h"
#include "tool_io.h"
#include "usage.h"

#include "archive/memfile.h"
#include "textures/image_decode.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

int CmdTex(int argc, char** argv) {
    int status;
    if (CLI_Info(TexUsage, argc, argv, &status)) return status;
    static const char* const verbs[] = {"decode", nullptr};
    static const char* const options[] = {"--raw", nullptr};
    if (argc < 1) return CLI_UsageError(TexUsage, "no subcommand given");
    if (strcmp(argv[0], "decode") != 0)
        return CLI_UsageError(TexUsage, "unknown subcommand", argv[0], verbs);
    const char* path = nullptr;
    const char* rawPath = nullptr;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--raw") == 0 && i + 1 < argc)
            rawPath = argv[++i];
        else if (CLI_IsOption(argv[i]))
            return CLI_OptionError(TexUsage, argv[i], options);
        else if (!path)
            path = argv[i];
        else
            return CLI_UsageError(TexUsage, "unexpected argument", argv[i]);
    }
    if (!path) return CLI_UsageError(TexUsage, "decode: no file given");

    // Known before reading, which then stops where a file of its kind must end.
    if (const char* problem = TexExtensionProblem(path)) {
        fprintf(stderr, "zelkor tex decode: %s: %s\n", path, problem);
        return 1;
    }
    std::vector<uint8_t> data;
    if (!ReadInput("zelkor tex decode", path, TexFileLimit(path), &data)) return 1;
    MemFile* file = MemFile_Open(data.data(), (uint32_t)data.size(), 0);
    TexImage image;
    int ok = file && DecodeByExtension(path, file, &image);
    MemFile_Close(file);
    if (!ok) {
        fprintf(stderr, "zelkor tex decode: %s: %s\n", path,
                image.error ? image.error : "out of memory");
        return 1;
    }
    if (image.error) fprintf(stderr, "zelkor tex decode: %s: warning: %s\n", path, image.error);
    printf("%d %d %s\n", image.width, image.height, image.channels == 4 ? "rgba" : "rgb");

    status = 0;
    if (rawPath) {
        if (!WriteOutput("zelkor tex decode", rawPath, image.pixels, image.byteCount, 1))
            status = 1;
    }
    free(image.pixels);
    return status;
}
