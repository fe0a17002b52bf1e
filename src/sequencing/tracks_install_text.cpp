// Apart from tracks.cpp: the text form needs std::from_chars, which the web
// build's libc++ lacks, and the web build reads only the archive's tracks.
#include "sequencing/track_text.h"
#include "sequencing/tracks.h"

ZK_Status Tracks_InstallText(const std::string& text) {
    TrackSet set;
    ZK_Status compiled = CompileTrackText(text, &set);
    if (compiled.ok) Tracks_Install(&set);
    return compiled;
}
