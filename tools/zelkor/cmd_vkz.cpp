#include "commands.h"

#include <cstdio>

int CmdVkz(int, char**) {
    fprintf(stderr, "zelkor vkz: not built yet\n");
    return 2;
}
