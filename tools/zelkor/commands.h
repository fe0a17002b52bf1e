// One function per `zelkor` subcommand family; each gets the arguments after
// its own name and returns the exit status (0 ok, 1 failure, 2 usage).
#pragma once

int CmdMd5(int argc, char** argv);
int CmdCodec(int argc, char** argv);
int CmdVkz(int argc, char** argv);
int CmdTmg(int argc, char** argv);
int CmdRgs(int argc, char** argv);
int CmdTex(int argc, char** argv);
int CmdCapture(int argc, char** argv);
int CmdPlay(int argc, char** argv);
int CmdRgsView(int argc, char** argv);

// Runs "zelkor-NAME" from beside this program with the given arguments
// (null-terminated); returns only when it cannot be started (status 1).
int RunBeside(const char* name, char** args);
