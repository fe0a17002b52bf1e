// One function per `zelkor` subcommand family; each gets the arguments after
// its own name and returns the exit status (0 ok, 1 failure, 2 usage).
#pragma once

int CmdMd5(int argc, char** argv);
int CmdCodec(int argc, char** argv);
int CmdVkz(int argc, char** argv);
int CmdTmg(int argc, char** argv);
int CmdTrk(int argc, char** argv);
int CmdRgs(int argc, char** argv);
int CmdTex(int argc, char** argv);
int CmdNew(int argc, char** argv);
int CmdCapture(int argc, char** argv);
int CmdPlay(int argc, char** argv);
int CmdDev(int argc, char** argv);
int CmdRgsView(int argc, char** argv);

// Replaces this process with the program "zelkor-NAME" beside it (git's
// way), handing on the null-terminated `args`; returns 1 when it cannot.
// The commands that run the show live there, so the content commands link
// no GL, SDL or scenes and the content build never waits for the engine.
int RunBeside(const char* name, char** args);
