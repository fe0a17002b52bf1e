// zelkor: the authoring tool. Builds archives, timetables and texture scripts,
// decodes textures and captures frames of the show.
#include "commands.h"

#include <cstdio>
#include <cstring>

struct Command {
    const char* name;
    int (*run)(int argc, char** argv);
    const char* usage;
};

static const Command commands[] = {
    {"md5", CmdMd5, "md5 FILE..."},
    {"codec", CmdCodec, "codec compress|decompress --codec C [--size N] IN OUT"},
    {"vkz", CmdVkz, "vkz create|list|extract|verify ARCHIVE ..."},
    {"tmg", CmdTmg, "tmg compile SRC.txt -o OUT.tmg | tmg dump FILE.tmg"},
    {"rgs", CmdRgs, "rgs asm|disasm|run ..."},
    {"tex", CmdTex, "tex decode FILE [--raw OUT]"},
    {"capture", CmdCapture, "capture [--size WxH] --at T,... | --from T --to T --step T -o DIR"},
};

static int Usage() {
    fprintf(stderr, "usage: zelkor COMMAND ...\n");
    for (const Command& c : commands) fprintf(stderr, "  zelkor %s\n", c.usage);
    return 2;
}

int main(int argc, char** argv) {
    if (argc < 2) return Usage();
    for (const Command& c : commands)
        if (strcmp(argv[1], c.name) == 0) return c.run(argc - 2, argv + 2);
    fprintf(stderr, "zelkor: unknown command '%s'\n", argv[1]);
    return Usage();
}
