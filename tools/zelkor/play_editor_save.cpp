// Ctrl+S: the editor's tracks into the tracks file. Nothing on disk is lost
// and nothing blocks: only a regular file (or a new one) is written, through
// a temporary file renamed into place; a read-only file or one in a built
// show's folder is refused, and a file changed since play last read it (by
// another editor, or with an error play refused) is kept, the tracks going
// beside it.
#include "play_editor.h"
#include "play_editor_state.h"
#include "show_args.h"

#include "io/read_file.h"
#include "io/write_file.h"
#include "sequencing/track_text.h"
#include "sequencing/track_text_update.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const char* Kind(mode_t mode) {
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

// Why `path` may not be written, or "" (a regular file or none there).
std::string Refusal(const std::string& path) {
    struct stat st;
    if (stat(path.c_str(), &st) != 0)
        return errno == ENOENT ? "" : std::string("cannot look at it: ") + strerror(errno);
    if (!S_ISREG(st.st_mode))
        return std::string("it is ") + Kind(st.st_mode) +
               ", not a regular file (remove it, or play with --tracks FILE)";
    // The mode, not access(): root may write anything.
    if ((st.st_mode & 0222) == 0 || access(path.c_str(), W_OK) != 0)
        return "the file is read-only (make it writable, then Ctrl+S again)";
    return "";
}

// "tracks.txt" -> "tracks.play.txt": where the tracks go when the file changed.
std::string Beside(const std::string& path) {
    size_t slash = path.rfind('/') + 1, dot = path.rfind('.');
    if (dot == std::string::npos || dot <= slash) return path + ".play";
    return path.substr(0, dot) + ".play" + path.substr(dot);
}

int Fail(EditorState& e, const std::string& shown, const std::string& why) {
    e.status = "not saved: " + why;
    fprintf(stderr, "zelkor play: %s: not saved: %s\n", shown.c_str(), why.c_str());
    return 0;
}

int Write(EditorState& e, const std::string& path, const std::string& shown,
          const std::string& text) {
    std::string refused = Refusal(path);
    if (!refused.empty()) return Fail(e, shown, refused);
    ZK_Status written = IO_WriteFile(path.c_str(), text.data(), text.size(), IO_REGULAR_TARGET);
    if (!written.ok) return Fail(e, shown, written.problem);
    return 1;
}

} // namespace

int Editor_Save() {
    EditorState& e = Editor_State();
    if (e.filePath.empty()) return 0;
    std::string folder = e.filePath.substr(0, e.filePath.rfind('/'));
    ShowSources sources;
    if (ShowSources_Read(folder, &sources))
        return Fail(e, e.fileShown,
                    "it is in a built show's folder, made again by the build (its tracks are " +
                        (sources.tracks.empty() ? std::string("the project's") : sources.tracks) +
                        "; play without --tracks edits them)");
    std::string text;
    if (!e.readExists || !UpdateTrackText(e.readText, Editor_Tracks(), &text))
        text = FormatTrackText(Editor_Tracks());

    // The file as it is now against the one play last read.
    struct stat st;
    int exists = stat(e.filePath.c_str(), &st) == 0, changed = 0;
    if (exists && S_ISREG(st.st_mode)) {
        std::string now;
        changed =
            !e.readExists ||
            !IO_ReadText(e.filePath.c_str(), TRACK_MAX_BYTES * 4ull, IO_REGULAR_ONLY, &now).ok ||
            now != e.readText;
    }
    if (changed) {
        std::string beside = Beside(e.filePath);
        std::string shown = Beside(e.fileShown);
        if (!Write(e, beside, shown, text)) return 0;
        e.status = "file changed on disk: saved beside it as " + shown;
        fprintf(stderr,
                "zelkor play: %s changed on disk since play last read it (another editor, or an "
                "error play refused); kept as it is: the editor's tracks are saved in %s\n",
                e.fileShown.c_str(), shown.c_str());
        return 1;
    }
    if (!Write(e, e.filePath, e.fileShown, text)) return 0;
    e.readExists = 1;
    e.readText = text;
    e.status = "saved " + e.fileShown;
    fprintf(stderr, "zelkor play: saved %s\n", e.fileShown.c_str());
    return 1;
}
