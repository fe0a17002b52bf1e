// Arguments shared by the show-running commands.
#pragma once
#include <string>

// `path` from the current folder, so it holds after entering the show folder.
std::string AbsolutePath(const std::string& path);

// The tracks' text file at `path` (absolute), installed over whatever the
// show's archive gave: 1 installed, 0 there is no such file, -1 refused with
// "TOOL: SHOWN: reason" on stderr and the tracks before it kept.
int LoadTracksText(const char* tool, const std::string& path, const std::string& shown);

// The scene library a show of one's own keeps in its folder (zelkor new
// builds "libNAME_scenes.so" there) into *path as `folder/name`, or "" when
// there is none: 1. More than one: 0, named in "TOOL: FOLDER: ..." on stderr.
int SceneLibraryIn(const char* tool, const std::string& folder, std::string* path);
