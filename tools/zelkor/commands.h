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
