// Apart from tracks.cpp: the text form needs std::from_chars, which the web
// build's libc++ lacks, and the web build reads only the archive's tracks.
#include "sequencing/track_text.h"
#include "sequencing/tracks.h"

int Tracks_InstallText(const std::string& text, std::string* error) {
    TrackSet set;
    if (!CompileTrackText(text, &set, error)) return 0;
    Tracks_Install(&set);
    return 1;
}
