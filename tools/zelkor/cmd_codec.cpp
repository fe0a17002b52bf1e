// zelkor codec compress   --codec C IN OUT
// zelkor codec decompress --codec C --size N IN OUT
#include "commands.h"

#include "archive/codec.h"
#include "tool_io.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

// A decimal byte count that fits 32 bits, or -1.
static long long ParseSize(const char* text) {
    if (!*text) return -1;
    long long v = 0;
    for (const char* c = text; *c; c++) {
        if (*c < '0' || *c > '9') return -1;
        v = v * 10 + (*c - '0');
        if (v > 0xFFFFFFFFll) return -1;
    }
    return v;
}

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

    std::vector<uint8_t> in;
    if (!ReadInput("zelkor codec", paths[0], TOOL_MAX_INPUT, &in)) return 1;
    uint32_t inSize = (uint32_t)in.size();
    VKZ_Codec* codec = VKZ_CreateCodec(codecId);
    if (!codec) {
        fprintf(stderr, "zelkor codec: out of memory\n");
        return 1;
    }

    int status = 1;
    uint8_t* out = nullptr;
    int n = -1;
    if (compress) {
        int bound = codec->MaxCompressedSize(inSize);
        out = bound < 0 ? nullptr : (uint8_t*)malloc((size_t)bound + 1);
        if (!out)
            fprintf(stderr, "zelkor codec: %s: too large to compress\n", paths[0]);
        else if ((n = codec->Compress(in.data(), inSize, out)) < 0)
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
        else if ((n = codec->Decompress(in.data(), inSize, out, (uint32_t)size)) < 0)
            fprintf(stderr, "zelkor codec: %s: damaged %s stream\n", paths[0],
                    VKZ_CodecName(codecId));
        else if (n != size)
            fprintf(stderr, "zelkor codec: %s: unpacked to %d bytes, expected %lld\n", paths[0], n,
                    size);
        else
            status = 0;
    }
    if (status == 0 && !WriteOutput("zelkor codec", paths[1], out, (size_t)n, 1)) status = 1;
    free(out);
    delete codec;
    return status;
}
