// Taking in the show's changed files while it runs. Each returns 1, or 0
// with the reason in *why and the old content still in use: the show never
// stops for a bad edit. (Pictures and texture scripts: Textures_Reload.)
#pragma once
#include <string>

// The archive's "default.tmg" becomes the timetable; the archive then takes
// the place of the open one. A timetable whose entries of one scene overlap
// is refused, as `zelkor tmg compile --strict` refuses it.
int Reload_Archive(const char* path, std::string* why);
// A timetable in text form, compiled as `zelkor tmg compile` does.
int Reload_TimetableText(const char* path, std::string* why);
// The music, reopened at the current music time.
int Reload_Music(const char* path, std::string* why);
