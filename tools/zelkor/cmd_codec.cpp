// zelkor codec compress   --codec C IN OUT
// zelkor codec decompress --codec C --size N IN OUT
#include "commands.h"
#include "usage.h"

#include "cli/args.h"

#include "archive/codec.h"
#include "archive/vkz.h"
#include "tool_io.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

// The size a stream unpacks to when it is not `tried` bytes: unpacked again
// into ever larger buffers, up to a bound (a damaged stream may claim any
// size). -1 when it does not unpack within the bound.
static long long TrueSize(VKZ_Codec* codec, const std::vector<uint8_t>& in, long long tried) {
    const long long bound = 256ll << 20;
    for (long long capacity = tried < 65536 ? 65536 : 2 * tried; capacity <= bound; capacity *= 2) {
        uint8_t* out = (uint8_t*)malloc((size_t)capacity);
        if (!out) return -1;
        int n = codec->Decompress(in.data(), (uint32_t)in.size(), out, (uint32_t)capacity);
        free(out);
        // A stream that fills the buffer exactly may hold more.
        if (n >= 0 && n < capacity) return n;
    }
    return -1;
}

int CmdCodec(int argc, char** argv) {
    int status;
    if (CLI_Info(CodecUsage, argc, argv, &status)) return status;
    static const char* const verbs[] = {"compress", "decompress", nullptr};
    static const CLI_Option options[] = {
        {"--codec", CLI_TEXT}, {"--size", CLI_NUMBER, 0, 4294967295.0}, {}};
    if (argc < 1) return CLI_UsageError(CodecUsage, "no subcommand given");
    bool compress = strcmp(argv[0], "compress") == 0;
    if (!compress && strcmp(argv[0], "decompress") != 0)
        return CLI_UsageError(CodecUsage, "unknown subcommand", argv[0], verbs);

    CLI_Args args;
    if (CLI_ParseArgs(CodecUsage, options, argc - 1, argv + 1, &args, 2)) return CLI_USAGE;
    int codecId = -1;
    if (const char* name = args["--codec"].text) {
        codecId = VKZ_CodecIdFromName(name);
        if (codecId < 0 || codecId == VKZ_CODEC_MD5)
            return CLI_UsageError(CodecUsage, "unknown codec", name, CodecChoices);
    }
    long long size = args["--size"].given ? args["--size"].number : -1;
    size_t pathCount = args.operands.size();
    const char* paths[2] = {pathCount > 0 ? args.operands[0] : nullptr,
                            pathCount > 1 ? args.operands[1] : nullptr};
    if (codecId < 0) return CLI_UsageError(CodecUsage, "no codec given (--codec C)");
    if (pathCount != 2) return CLI_UsageError(CodecUsage, "wants an input and an output file");
    if (compress && size >= 0) return CLI_UsageError(CodecUsage, "compress takes no", "--size");
    if (!compress && size < 0) return CLI_UsageError(CodecUsage, "decompress needs --size N");

    std::vector<uint8_t> in;
    // The input is an entry, or an entry packed.
    uint64_t limit = compress ? VKZ_MAX_ENTRY_SIZE : VKZ_MAX_STORED_SIZE;
    if (!ReadInput("zelkor codec", paths[0], limit, &in)) return 1;
    uint32_t inSize = (uint32_t)in.size();
    VKZ_Codec* codec = VKZ_CreateCodec(codecId);
    if (!codec) {
        fprintf(stderr, "zelkor codec: out of memory\n");
        return 1;
    }

    status = 1;
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
        long long actual = -1;
        if (!out)
            fprintf(stderr, "zelkor codec: %s: cannot allocate %lld bytes\n", paths[0], size);
        else if ((n = codec->Decompress(in.data(), inSize, out, (uint32_t)size)) >= 0 && n == size)
            status = 0;
        else if (n >= 0 || (actual = TrueSize(codec, in, size)) >= 0)
            fprintf(stderr,
                    "zelkor codec: %s: the %s stream unpacks to %lld bytes, not the %lld of "
                    "--size\n",
                    paths[0], VKZ_CodecName(codecId), n >= 0 ? (long long)n : actual, size);
        else
            fprintf(stderr, "zelkor codec: %s: damaged %s stream\n", paths[0],
                    VKZ_CodecName(codecId));
    }
    if (status == 0 && !WriteOutput("zelkor codec", paths[1], out, (size_t)n, 1)) status = 1;
    free(out);
    delete codec;
    return status;
}
