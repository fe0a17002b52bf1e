// The tracks' text form (assets/tracks.txt, `zelkor trk`):
//
//   bpm 128 rows 4          # the grid, once, before the tracks
//   track scene3.camera.distance
//   0 18                    # ROW VALUE [INTERP]; INTERP: step (the default),
//   16 24 smooth            #   linear, smooth or ramp, towards the next key
//
// '#' starts a comment. Names are written as the timetable writes them
// (quoted with escapes when they hold blanks, '#', '"' or odd bytes).
#pragma once
#include "sequencing/track_set.h"

#include <string>

// 1, or 0 with *error set to "line N: reason" (*out then unchanged).
int CompileTrackText(const std::string& text, TrackSet* out, std::string* error);
// Text that compiles back to the same set; values in the shortest form that
// reads back to the same float.
std::string FormatTrackText(const TrackSet& set);
