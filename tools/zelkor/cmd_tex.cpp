// zelkor tex decode FILE [--raw OUT]: the show's texture decoders without GL.
#include "commands.h"
#include "tool_io.h"

#include "archive/memfile.h"
#include "textures/image_decode.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

static int TexUsage() {
    fprintf(stderr, "usage: zelkor tex decode FILE [--raw OUT]\n");
    return 2;
}

int CmdTex(int argc, char** argv) {
    if (argc < 2 || strcmp(argv[0], "decode") != 0) return TexUsage();
    const char* path = nullptr;
    const char* rawPath = nullptr;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--raw") == 0 && i + 1 < argc)
            rawPath = argv[++i];
        else if (argv[i][0] == '-' && argv[i][1])
            return TexUsage();
        else if (!path)
            path = argv[i];
        else
            return TexUsage();
    }
    if (!path) return TexUsage();

    std::vector<uint8_t> data;
    if (!ReadInput("zelkor tex decode", path, TOOL_MAX_INPUT, &data)) return 1;
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

    int status = 0;
    if (rawPath) {
        if (!WriteOutput("zelkor tex decode", rawPath, image.pixels, image.byteCount, 1))
            status = 1;
    }
    free(image.pixels);
    return status;
}
