// zelkor tex decode FILE [--raw OUT] [--png OUT]: the show's texture decoders
// without GL.
#include "commands.h"
#include "tool_io.h"
#include "usage.h"

#include "cli/args.h"

#include "archive/memfile.h"
#include "io/png_write.h"
#include "textures/image_decode.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

// The picture as the show shows it: the first row the decoder leaves is the
// bottom one (OpenGL's order, whatever the file's origin bit says), so the PNG
// is the right way up. BMP rows padded to 4 bytes are packed first.
static int WritePicture(const char* path, const TexImage& image) {
    size_t rowBytes = (size_t)image.width * image.channels;
    size_t align = image.rowAlignment > 0 ? (size_t)image.rowAlignment : 1;
    size_t stride = (rowBytes + align - 1) / align * align;
    std::vector<uint8_t> packed;
    const uint8_t* bytes = image.pixels;
    if (stride != rowBytes && stride * image.height <= image.byteCount) {
        packed.resize(rowBytes * image.height);
        for (int y = 0; y < image.height; y++)
            memcpy(packed.data() + y * rowBytes, image.pixels + y * stride, rowBytes);
        bytes = packed.data();
    }
    IO_Image picture;
    picture.width = image.width, picture.height = image.height;
    picture.channels = image.channels;
    picture.bytes = bytes;
    ZK_Status written = IO_WritePng(path, picture, -1);
    if (written.ok) return 1;
    fprintf(stderr, "zelkor tex decode: %s: %s\n", path, written.problem.c_str());
    return 0;
}

int CmdTex(int argc, char** argv) {
    int status;
    if (CLI_Info(TexUsage, argc, argv, &status)) return status;
    static const char* const verbs[] = {"decode", nullptr};
    static const CLI_Option options[] = {{"--raw", CLI_TEXT}, {"--png", CLI_TEXT}, {}};
    if (argc < 1) return CLI_UsageError(TexUsage, "no subcommand given");
    if (strcmp(argv[0], "decode") != 0)
        return CLI_UsageError(TexUsage, "unknown subcommand", argv[0], verbs);
    CLI_Args args;
    if (CLI_ParseArgs(TexUsage, options, argc - 1, argv + 1, &args, 1)) return CLI_USAGE;
    if (args.operands.empty()) return CLI_UsageError(TexUsage, "decode: no file given");
    const char* path = args.operands[0];
    const char* rawPath = args["--raw"].text;
    const char* pngPath = args["--png"].text;

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
                image.status.ok ? "out of memory" : image.status.problem.c_str());
        return 1;
    }
    if (image.warning) fprintf(stderr, "zelkor tex decode: %s: warning: %s\n", path, image.warning);
    printf("%d %d %s\n", image.width, image.height, image.channels == 4 ? "rgba" : "rgb");

    status = 0;
    if (rawPath) {
        if (!WriteOutput("zelkor tex decode", rawPath, image.pixels, image.byteCount, 1))
            status = 1;
    }
    if (pngPath && !WritePicture(pngPath, image)) status = 1;
    free(image.pixels);
    return status;
}
