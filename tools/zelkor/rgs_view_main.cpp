// zelkor-rgs-view: `zelkor rgs view`, a program of its own because it opens
// a window; zelkor starts it from beside itself.
#include "cli/cli.h"
#include "commands.h"

int main(int argc, char** argv) {
    CLI_CheckStdoutAtExit("zelkor rgs view");
    return CmdRgsView(argc - 1, argv + 1);
}
