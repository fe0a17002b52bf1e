// Writing an edited set of tracks back into the text it was read from, as a
// maker would have edited it: every line of what did not change stays as it
// was (comments, blank lines, the way a value was written, a repeat whose
// keys all stand), a changed key is rewritten in its line (its comment
// kept), a removed one leaves its comment behind, new keys go among their
// track's keys in row order and new tracks at the end.
#pragma once
#include "sequencing/track_set.h"

#include <string>

// 1 with *out the text updated to `set` (it compiles to `set`); 0 when `text`
// does not compile, *out then the set as FormatTrackText writes it.
int UpdateTrackText(const std::string& text, const TrackSet& set, std::string* out);
