#include "commands.h"

#include <cstdio>

int CmdMd5(int, char**) {
    fprintf(stderr, "zelkor md5: not built yet\n");
    return 2;
}
