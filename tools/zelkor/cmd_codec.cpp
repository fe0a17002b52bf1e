#include "commands.h"

#include <cstdio>

int CmdCodec(int, char**) {
    fprintf(stderr, "zelkor codec: not built yet\n");
    return 2;
}
