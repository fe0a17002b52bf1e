// zelkor-dev: `zelkor dev`, a program of its own because it runs the show
// (GL, SDL, scenes); zelkor starts it from beside itself.
#include "cli/cli.h"
#include "commands.h"

int main(int argc, char** argv) {
    CLI_CheckStdoutAtExit("zelkor dev");
    return CmdDev(argc - 1, argv + 1);
}
