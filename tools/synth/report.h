// zksynth --measure: the loudness of a finished MP3, as a whole and scene by
// scene, and optionally its short-term loudness over time.
#pragma once
#include "timetable.h"

#include <string>
#include <vector>

// Prints to stdout; names the file and the problem on stderr when it fails.
// A curve step of 0 prints no curve.
bool ReportLoudness(const std::string& mp3Path, const std::vector<TimetableEntry>& entries,
                    double curveMs);
