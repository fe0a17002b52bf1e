// Taking in the show's changed files while it runs. On a failure, which the
// status says (naming the file), the old content stays in use: the show
// never stops for a bad edit. (Pictures and texture scripts: Textures_Reload.)
#pragma once
#include "core/status.h"

#include <string>
#include <vector>

// The archive's "default.tmg" becomes the timetable; the archive then takes
// the place of the open one. A timetable whose entries of one scene overlap
// is refused, as `zelkor tmg compile --strict` refuses it. `warnings`, when
// given, gets what `zelkor tmg` warns about in the new timetable
// ("default.tmg: entry N: warning: ...").
ZK_Status Reload_Archive(const char* path, std::vector<std::string>* warnings = nullptr);
// A timetable in text form, compiled as `zelkor tmg compile` does, with its
// warnings ("line N: warning: ...").
ZK_Status Reload_TimetableText(const char* path, std::vector<std::string>* warnings = nullptr);
// The music, reopened at the current music time.
ZK_Status Reload_Music(const char* path);
