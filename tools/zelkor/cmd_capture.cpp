#include "commands.h"

#include <cstdio>

int CmdCapture(int, char**) {
    fprintf(stderr, "zelkor capture: not built yet\n");
    return 2;
}
