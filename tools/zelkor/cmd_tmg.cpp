#include "commands.h"

#include <cstdio>

int CmdTmg(int, char**) {
    fprintf(stderr, "zelkor tmg: not built yet\n");
    return 2;
}
