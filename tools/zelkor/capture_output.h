// What zelkor capture's -o names: a video file, by its extension, or else a
// folder of PNG stills.
#pragma once
#include <string>

// .mp4, .mkv or .webm, in any case.
int Capture_IsVideoName(const std::string& out);
// A video format we do not write (.avi, .mov, ...): a usage error rather than
// a folder of that name.
int Capture_IsOtherVideoName(const std::string& out);
// Null when OUT, not a video name, can be the folder of PNGs: an existing
// folder, a name ending in '/', or a new name without an extension (a typo
// of a video name must not quietly become a folder); else the usage error,
// which the name follows.
const char* Capture_FolderProblem(const std::string& out);
// ".mp4" alone names no file, only its kind.
const char* Capture_VideoNameProblem(const std::string& out);
