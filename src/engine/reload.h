// Taking in the show's changed files while it runs. Each returns 1, or 0
// with the reason in *why and the old content still in use: the show never
// stops for a bad edit. (Pictures and texture scripts: Textures_Reload.)
#pragma once
#include <string>
#include <vector>

// The archive's "default.tmg" becomes the timetable; the archive then takes
// the place of the open one. A timetable whose entries of one scene overlap
// is refused, as `zelkor tmg compile --strict` refuses it. `warnings`, when
// given, gets what `zelkor tmg` warns about in the new timetable
// ("default.tmg: entry N: warning: ...").
int Reload_Archive(const char* path, std::string* why,
                   std::vector<std::string>* warnings = nullptr);
// A timetable in text form, compiled as `zelkor tmg compile` does, with its
// warnings ("line N: warning: ...").
int Reload_TimetableText(const char* path, std::string* why,
                         std::vector<std::string>* warnings = nullptr);
// The music, reopened at the current music time.
int Reload_Music(const char* path, std::string* why);
