#include "commands.h"

#include <cstdio>

int CmdTex(int, char**) {
    fprintf(stderr, "zelkor tex: not built yet\n");
    return 2;
}
