#include "commands.h"

#include <cstdio>

int CmdRgs(int, char**) {
    fprintf(stderr, "zelkor rgs: not built yet\n");
    return 2;
}
