// zelkor codec compress   --codec C IN OUT
// zelkor codec decompress --codec C --size N IN OUT
#include "commands.h"

#include "archive/codec.h"
#include "tool_files.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

static int Usage() {
    fprintf(stderr, "usage: zelkor codec compress   --codec aplib|ucl|bzip2|stored IN OUT\n"
                    "       zelkor codec decompress --codec aplib|ucl|bzip2|stored --size N IN "
                    "OUT\n");
    return 2;
}

int CmdCodec(int argc, char** argv) {
    if (argc < 1) return Usage();
    bool compress = strcmp(argv[0], "compress") == 0;
    if (!compress && strcmp(argv[0], "decompress") != 0) return Usage();

    int codecId = -1;
    long long size = -1;
    const char* paths[2] = {};
    int pathCount = 0;
    for (int i = 1; i < argc; i++) {
        if (strcmp(argv[i], "--codec") == 0 && i + 1 < argc) {
            codecId = VKZ_CodecIdFromName(argv[++i]);
            if (codecId < 0 || codecId == VKZ_CODEC_MD5) {
                fprintf(stderr, "zelkor codec: unknown codec '%s'\n", argv[i]);
                return 2;
            }
        } else if (strcmp(argv[i], "--size") == 0 && i + 1 < argc) {
            size = ParseSize(argv[++i]);
            if (size < 0) {
                fprintf(stderr, "zelkor codec: bad size '%s'\n", argv[i]);
                return 2;
            }
        } else if (argv[i][0] == '-' && argv[i][1] == '-') {
            return Usage();
        } else if (pathCount < 2) {
            paths[pathCount++] = argv[i];
        } else {
            return Usage();
        }
    }
    if (codecId < 0 || pathCount != 2 || (compress ? size >= 0 : size < 0)) return Usage();

    FileData in;
    if (!ReadFileData(paths[0], &in, "zelkor codec")) return 1;
    VKZ_Codec* codec = VKZ_CreateCodec(codecId);
    if (!codec) {
        fprintf(stderr, "zelkor codec: out of memory\n");
        return 1;
    }

    int status = 1;
    uint8_t* out = nullptr;
    int n = -1;
    if (compress) {
        int bound = codec->MaxCompressedSize(in.size);
        out = bound < 0 ? nullptr : (uint8_t*)malloc((size_t)bound + 1);
        if (!out)
            fprintf(stderr, "zelkor codec: %s: too large to compress\n", paths[0]);
        else if ((n = codec->Compress(in.data, in.size, out)) < 0)
            fprintf(stderr, "zelkor codec: %s: compression failed\n", paths[0]);
        else if (n == 0 && codecId == VKZ_CODEC_APLIB)
            fprintf(stderr, "zelkor codec: %s: aplib does not pack inputs under 2 bytes\n",
                    paths[0]);
        else
            status = 0;
    } else {
        out = (uint8_t*)malloc(size ? (size_t)size : 1);
        if (!out)
            fprintf(stderr, "zelkor codec: %s: cannot allocate %lld bytes\n", paths[0], size);
        else if ((n = codec->Decompress(in.data, in.size, out, (uint32_t)size)) < 0)
            fprintf(stderr, "zelkor codec: %s: damaged %s stream\n", paths[0],
                    VKZ_CodecName(codecId));
        else if (n != size)
            fprintf(stderr, "zelkor codec: %s: unpacked to %d bytes, expected %lld\n", paths[0], n,
                    size);
        else
            status = 0;
    }
    if (status == 0 && !WriteFileData(paths[1], out, (uint32_t)n, "zelkor codec")) status = 1;
    free(out);
    delete codec;
    FreeFileData(&in);
    return status;
}
