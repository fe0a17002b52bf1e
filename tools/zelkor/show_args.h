// Arguments shared by the show-running commands.
#pragma once
#include <string>

// `path` from the current folder, so it holds after entering the show folder.
std::string AbsolutePath(const std::string& path);
// A folder as given, without the '/'s it may end in ("stills/" is "stills";
// "/" stays), so names joined to it have one '/' between.
std::string FolderName(std::string folder);

// The tracks' text file at `path` (absolute), installed over whatever the
// show's archive gave: 1 installed (its text in *text, when given), 0 there
// is no such file, -1 refused with "TOOL: SHOWN: reason" on stderr and the
// tracks before it kept.
int LoadTracksText(const char* tool, const std::string& path, const std::string& shown,
                   std::string* text = nullptr);

// A built show folder records where its sources are, in "sources.txt" (the
// project's build writes it): lines "source FOLDER" and "tracks FILE", a
// relative path read from the show folder.
#define SHOW_SOURCES_FILE "sources.txt"
struct ShowSources {
    std::string source, tracks; // absolute; either may be empty
};
// 1 with *out filled when `folder` holds the record, else 0.
int ShowSources_Read(const std::string& folder, ShowSources* out);

// The tracks' text file a show plays by: `given` (--tracks) when there is
// one, else the tracks the show folder's record names (a tracks.txt in that
// folder then is passed over, said on stderr), else SHOW/tracks.txt. The
// path is absolute; *shown is how messages name it.
std::string TracksFileFor(const char* tool, const std::string& show, const std::string& given,
                          std::string* shown);

// The scene library a show of one's own keeps in its folder (zelkor new
// builds "libNAME_scenes.so" there) into *path as `folder/name`, or "" when
// there is none: 1. More than one: 0, named in "TOOL: FOLDER: ..." on stderr.
int SceneLibraryIn(const char* tool, const std::string& folder, std::string* path);
