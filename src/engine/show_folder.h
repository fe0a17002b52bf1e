// The show folder, set up alike for every program that plays a show: marovy,
// a project's own program (Show_Main), zelkor play and zelkor capture. What
// goes wrong is said in one stderr line that begins with the program's name.
//
//   ShowFolder folder;
//   folder.program = "zelkor play", folder.tool = 1;
//   Show_FindFolder(&folder, dir);           // --dir, or null
//   if (!Show_EnterFolder(&folder)) return 1;
//   Show_PlaceLog(&folder);                  // folder.log, folder.logOptional
#pragma once
#include <string>

struct SceneLibrary;

struct ShowFolder {
    const char* program = "show"; // what each message begins with
    // A tool (zelkor play, capture) reads the archive before the show starts
    // and needs it; a show's own program leaves a missing one to the
    // start-up's message.
    int tool = 0;
    std::string path;  // the folder, as Show_FindFolder chose it
    std::string shown; // what names a file of it in messages ("" or "DIR/")
    // Without --dir and with no data.vkz in the working folder: the show in
    // this folder, relative to the program's own ("." for it). When
    // `installed`, only if its data.vkz can be read; its log then goes to
    // the user's state folder, since an installed show is not the user's.
    const char* beside = nullptr;
    int installed = 0;
    std::string log = "zelkor.log"; // where the log goes (relative: in the show folder)
    int logOptional = 0;            // the log is the user's: without it the show runs on
};

// The folder the running program lies in ("." when it cannot be told).
std::string Show_ProgramFolder();
// Before a show's program touches SDL: a stop signal (Ctrl-C, SIGTERM) is
// the show's to handle (stop_signals.h), not SDL's.
void Show_TakeStopSignals();
// The folder named (--dir), or when none is, the working one, or the one
// `beside` names.
void Show_FindFolder(ShowFolder* folder, const char* named);
// Enters the folder (a tool also checks its archive can be read); 1, or 0
// said on stderr.
int Show_EnterFolder(const ShowFolder* folder);
// When the show folder may not be written, the log goes to the user's state
// folder: a tool says so, a show's program plays on without a log it cannot
// write. Call it in the show folder.
void Show_PlaceLog(ShowFolder* folder);
// Loads a show's scene library and plays its scenes from the next start;
// null (said on stderr, naming the library as `shown`) when it does not load.
SceneLibrary* Show_UseScenes(const char* program, const char* path, const char* shown);
// A tool's start that failed: the log that could not be written, or where
// the start-up said why (the log, named as `shownLog`).
void Show_TellFailedStart(const ShowFolder* folder, const std::string& shownLog);
