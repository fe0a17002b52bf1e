#include "usage.h"

#include "scenes/scene_names.h"

#include <string>

const CLI_Usage ZelkorUsage = {
    "zelkor", "zelkor COMMAND [ARGUMENTS]\nzelkor --help | --version",
    "The authoring tool of ZELKOR: archives, timetables, tracks and texture scripts\n"
    "for the show, and the show itself on a virtual clock or in a window.\n"
    "\n"
    "Every option takes its value as --opt value or --opt=value, and a switch takes\n"
    "--opt=yes or --opt=no too. Sizes are WxH (or WXH); music times are plain\n"
    "milliseconds (45250), M:SS (0:45) or M:SS.mmm (0:45.250).\n"};

const CLI_Usage Md5Usage = {
    "zelkor md5", "zelkor md5 FILE...\nzelkor md5 -c LIST...",
    "Prints the MD5 digest of each FILE as md5sum does, \"<32 hex digits>  <name>\";\n"
    "\"-\" is standard input. Names holding a backslash or a line break are escaped\n"
    "as md5sum escapes them.\n"
    "\n"
    "  -c, --check  reads digests and names from each LIST in md5sum's format (\"-\" is\n"
    "               standard input), checks the files and prints \"NAME: OK\" or\n"
    "               \"NAME: FAILED\"; exit status 1 when any file fails or cannot be\n"
    "               read, as md5sum -c.\n"};

const char* const CodecChoices[] = {"aplib", "ucl", "bzip2", "stored", nullptr};

const CLI_Usage CodecUsage = {
    "zelkor codec",
    "zelkor codec compress --codec C IN OUT\nzelkor codec decompress --codec C --size N IN OUT",
    "Packs or unpacks one file with a codec of the archive, as an entry is stored.\n"
    "OUT \"-\" is standard output.\n"
    "\n"
    "  --codec C  aplib, ucl, bzip2 or stored (aplib packs 2 bytes or more)\n"
    "  --size N   the unpacked size in bytes; a stream that unpacks to another size\n"
    "             is refused, saying which size it holds when that can be told\n"};

const CLI_Usage VkzUsage = {
    "zelkor vkz",
    "zelkor vkz create ARCHIVE [--codec C] [NAME=]FILE...\n"
    "zelkor vkz list ARCHIVE [--long] [NAME...]\n"
    "zelkor vkz extract ARCHIVE NAME [-o OUT]\n"
    "zelkor vkz verify ARCHIVE [NAME...]",
    "The show's data archive. Entries are found by the MD5 digest of their\n"
    "lower-cased name; the names themselves are not stored.\n"
    "\n"
    "create   packs each FILE as an entry named after its base name, or NAME when\n"
    "         written NAME=FILE (an argument holding '=' that names an existing\n"
    "         file is that file). --codec C: aplib (the default), ucl, bzip2 or\n"
    "         stored; files under 2 bytes are stored. An entry holds at most\n"
    "         256 MiB. The archive is written whole or not at all.\n"
    "list     a header line beginning with \"#\", then one line per entry: name\n"
    "         digest, content digest, data offset, size, stored size, codec and\n"
    "         the name where a NAME argument matches the entry (a FILE or\n"
    "         NAME=FILE argument matches by the name create gives it), else \"-\".\n"
    "         --long: name (or name digest), codec, sizes and packing ratio.\n"
    "extract  unpacks the entry NAME to OUT (default: NAME; \"-\" is standard\n"
    "         output) once its content digest is checked.\n"
    "verify   reads every entry and prints \"<name digest> OK\" or \"... FAILED\",\n"
    "         with \" (N bytes)\" after an entry of 16 MiB or more, which takes\n"
    "         a while; says on stderr why each failed entry failed, naming it\n"
    "         where a NAME argument matches. Exit status 1 when any failed.\n"
    "         Entries go through extract and verify a piece at a time.\n"};

static std::string SceneNameList() {
    std::string list = std::string("  ") + PreloadSceneName;
    for (const char* name : ShowSceneNames) list += std::string(", ") + name;
    return list + ", " + EndeSceneName + "\n";
}

// The registered scene names come from the table the show registers from.
static const std::string tmgDetails =
    "The timetable \"default.tmg\" and its text form (see zelkor-timetable(5)):\n"
    "one entry per line, \"START LENGTH NAME\" in decimal milliseconds; \"#\" starts\n"
    "a comment. A name holding blanks, '#', '\"' or '\\' is written in double\n"
    "quotes with \\\" \\\\ and \\xHH escapes. An entry runs from START to START +\n"
    "LENGTH, both included, and calls the scene registered under its name,\n"
    "letter case aside, one of\n" +
    SceneNameList() +
    "\n"
    "compile  warns, naming the line, about a name that is none of these, about\n"
    "         entries of one scene that overlap and about entries that end past\n"
    "         the clock's range (they never run).\n"
    "         --strict: the warnings are errors, and nothing is written.\n"
    "         --scene-names NAME[,NAME...]: the scenes of a show of one's own\n"
    "         (zelkor new) stand in for the list above, beside preload and ende.\n"
    "dump     prints the text form, which compiles back to the same bytes, with\n"
    "         compile's warnings as comments after the entries; --scene-names as\n"
    "         for compile.\n";

const CLI_Usage TmgUsage = {
    "zelkor tmg",
    "zelkor tmg compile SRC.txt -o OUT.tmg [--strict] [--scene-names LIST]\n"
    "zelkor tmg dump FILE.tmg [--scene-names LIST]",
    tmgDetails.c_str()};

const CLI_Usage TrkUsage = {
    "zelkor trk",
    "zelkor trk compile SRC.txt -o OUT.trk\n"
    "zelkor trk dump FILE.trk",
    "Parameter tracks, \"default.trk\" in the archive: named values over the\n"
    "music's time that scenes read. The text form (see zelkor-tracks(5)):\n"
    "\n"
    "  bpm 128 rows 4             the grid, once, before the tracks\n"
    "  track scene3.camera.speed  a track; names as the timetable writes them\n"
    "  0 1.5                      ROW VALUE [INTERP], rows rising; INTERP, towards\n"
    "  16 3 smooth                the next key: step (the default), linear,\n"
    "                             smooth (ease in and out) or ramp (ease in)\n"
    "  repeat every 4 from 0 to 80  a pattern of keys at rows 0, 4, 8 ... below 80:\n"
    "  0 1 linear                 OFFSET VALUE [INTERP], offsets rising and below\n"
    "  1 0                        the step, up to \"end\"; a key written out at a\n"
    "  end                        row a repeat sets takes that row\n"
    "\n"
    "\"#\" starts a comment. A bar is four beats; at 128 bpm and 4 rows a row\n"
    "lasts 117.1875 ms and a bar 16 rows. Before its first key a track holds the\n"
    "first value, after its last the last.\n"
    "\n"
    "compile  refuses, naming the line, an unknown interpolation, rows out of\n"
    "         order or twice, NaN or infinity, a name used twice, repeats that\n"
    "         set one row twice; nothing is written then. Repeats are compiled\n"
    "         into the keys they make.\n"
    "dump     prints the text form, which compiles back to the same bytes (every\n"
    "         key written out); a damaged file is refused, naming the byte offset.\n"};

const CLI_Usage RgsUsage = {
    "zelkor rgs",
    "zelkor rgs asm SRC.txt -o OUT.rgs\n"
    "zelkor rgs disasm FILE.rgs\n"
    "zelkor rgs run SCRIPT... [--layers OUT.raw] [--tga OUT.tga] [--png OUT.png] [--layer N] "
    "[--png-all PREFIX]\n"
    "zelkor rgs ops [NAME]",
    "Texture scripts: commands that paint five 256x256 RGB layers; layer 0 is the\n"
    "texture, layer 4 the scratch layer that filters overwrite. The text form has\n"
    "one command per line, an operation's name and up to eight numbers (missing\n"
    "ones are 0), or \"op N\" and the numbers for a bare opcode; \"#\" starts a\n"
    "comment, and \"#RRGGBB\" or \"#RGB\" (each digit doubled, as in CSS) is a\n"
    "colour (stored as 0xBBGGRR). See zelkor-rgs(5).\n"
    "\n"
    "asm     compiles the text form. Refuses a layer outside 0-4 and a number\n"
    "        its field cannot hold (a byte 0-255, a word 0-65535, a colour up\n"
    "        to #ffffff), naming the line; warns about what the show would\n"
    "        skip: NaN, a number that does not fit the integer a parameter\n"
    "        needs, an opcode that does nothing, commands past the 200th.\n"
    "disasm  a compiled script back to text that assembles to the same bytes.\n"
    "run     runs the scripts in the order given, in one process, from zeroed\n"
    "        layers and a zero generator state, as the show loads them. A SCRIPT\n"
    "        is compiled (a .rgs file, or one beginning with \"RGS\") or text.\n"
    "          --layers OUT.raw  the five layers back to back (983040 bytes)\n"
    "          --tga, --png OUT  layer 0 (layer N with --layer N) as a picture,\n"
    "                            upright as the show shows it\n"
    "          --png-all PREFIX  every layer, as PREFIX0.png to PREFIX4.png\n"
    "        A run in which any script fails writes none of these.\n"
    "        The last line printed is \"random R\", the random generator's state\n"
    "        (unsigned decimal) after the last script. The show hands that state\n"
    "        on to the next script it loads, so a script that draws numbers\n"
    "        without a seed of its own depends on the scripts loaded before it.\n"
    "ops     the operations, one per line: opcode, name, parameters. With NAME,\n"
    "        one operation in full: what each parameter means, and an example.\n"
    "view    shows the layers in a window while you edit: zelkor rgs view --help.\n"};

const CLI_Usage RgsViewUsage = {
    "zelkor rgs view", "zelkor rgs view SCRIPT... [--layer N] [--scale S]",
    "Shows the five layers the scripts make (text form or compiled) side by side,\n"
    "or only layer N, scaled by S, in a window, and runs them again each time a\n"
    "file is saved. The title reads \"zelkor rgs view  FILE  N ms  random R\". A\n"
    "script with an error, or a compiled one cut short, keeps the last good\n"
    "picture; its error, with the line number, goes to stderr and stays in the\n"
    "title until a good run. Several scripts run in order, as the show runs them,\n"
    "beside the window, which keeps answering; a save stops a run that is still\n"
    "going.\n"};

const CLI_Usage TexUsage = {
    "zelkor tex", "zelkor tex decode FILE [--raw OUT] [--png OUT]",
    "Decodes a texture file as the show does, chosen by extension (.tga, .bmp,\n"
    ".png, .rgs), without GL, and prints \"<width> <height> <rgb|rgba>\". A PNG of\n"
    "any kind is made 8-bit RGB, or RGBA when it has transparency, and shows the\n"
    "right way up; like a TGA it may be 8192 pixels a side and 4096 x 4096 in all.\n"
    "\n"
    "  --raw OUT  the decoded pixel bytes exactly as they go to OpenGL (\"-\" is\n"
    "             standard output)\n"
    "  --png OUT  the picture as the show shows it, the right way up. The show\n"
    "             takes a TGA's first row as the bottom one whatever its origin\n"
    "             bit says, as texmake and rgs run write them; some viewers\n"
    "             (ImageMagick 6) show such files upside down. See zelkor-rgs(5).\n"};

const CLI_Usage CaptureUsage = {
    "zelkor capture",
    "zelkor capture [--dir SHOW] [--size WxH] [--sim-fps M] --at T[,T...] -o DIR\n"
    "zelkor capture [--dir SHOW] [--size WxH] [--sim-fps M] --from T --to T|end [--step T] -o DIR\n"
    "zelkor capture [--dir SHOW] [--size WxH] [--fps N] [--sim-fps M] --from T --to T|end "
    "[--crf N] [--preset P] [--no-audio] [--quiet] -o OUT.mp4|.mkv|.webm|DIR\n"
    "zelkor capture ... [--renderer fixed|modern] [--tracks FILE.txt] [--scenes LIB.so]\n"
    "zelkor capture ... [--draw-every-frame]",
    "Runs the show in the folder SHOW (default: the working folder) on a virtual\n"
    "clock, without a window, simulated at a steady M frames a second (default 60),\n"
    "and writes frames of it. T is a music time (ms, M:SS or M:SS.mmm); a frame is\n"
    "the first simulated frame whose music time is T or later. Without --fps, DIR\n"
    "gets DIR/frame_T.png (T in ms) for each time; with --fps, frame k stands for\n"
    "T(from) + k x 1000/N for each below T(to). --to end is the show's end (where\n"
    "the timetable's \"ende\" starts). OUT ending in .mp4 or .mkv (H.264,\n"
    "AAC) or .webm (VP9, Opus) is a video with the show's sound; a video replaced\n"
    "keeps its mode, and a link to one stays a link. DIR, a folder of PNGs named\n"
    "frame_000000.png upward, is a folder that exists, or a new name without an\n"
    "extension or ending in '/'. zelkor.log goes beside the output (never through\n"
    "a symbolic link); the show folder is only read. A capture that would start\n"
    "at or after the show's end (where \"ende\" starts) is refused at once.\n"
    "Frames long before the first one written only advance the scenes; drawing\n"
    "starts at the last frame that clears the whole picture before it (or 2 s of\n"
    "frames before it, where scenes draw over their previous frames), so a frame\n"
    "is the same as in a run that draws every frame, a show's own scenes' too.\n"
    "A picture that is missing or cannot be decoded is named on stderr and in\n"
    "zelkor.log, with its scene and the reason; the scene draws without it.\n"
    "\n"
    "  --size WxH       the frame size, each 1 to 8192 (default 800x600); the 4:3\n"
    "                   picture sits between black bars at other shapes\n"
    "  --at T[,T...]    these times\n"
    "  --from T --to T  every --step T (default 1000 ms), or with --fps, the range\n"
    "  --fps N          N frames a second, 1 to 240 (60 for a video)\n"
    "  --sim-fps M      the pace the show is simulated at, 1 to 240 (default 60)\n"
    "  --crf N          quality, lower is better: 0-51 H.264, 0-63 VP9 (default 18)\n"
    "  --preset P       realtime (the default: superfast without CABAC and\n"
    "                   B-frames, 13 % more bytes), or x264's speed names,\n"
    "                   ultrafast to placebo\n"
    "  --no-audio       no sound track\n"
    "  --quiet          no progress on stderr\n"
    "  --renderer R     the draw backend: modern (buffers and shaders, as in the web\n"
    "                   build; the default) or fixed (OpenGL 1.x, as marovy draws:\n"
    "                   the reference); a show with shaders of its own\n"
    "                   (SHOW/shaders) refuses fixed; a shader that does not\n"
    "                   compile stops it\n"
    "  --tracks FILE    parameter tracks in text form over the archive's (default:\n"
    "                   as zelkor play takes them: the project's tracks.txt for a\n"
    "                   built show, else SHOW/tracks.txt when there is one);\n"
    "                   a file with an error stops the capture, naming its line\n"
    "  --scenes LIB.so  a show's own scenes, from its scene library (zelkor new;\n"
    "                   default: the one lib*_scenes.so in SHOW, if there is one)\n"
    "  --draw-every-frame  draw every simulated frame from the start (slow: the\n"
    "                   reference the quick catch-up is checked against)\n"
    "Prints \"<file> <music time>\" for each PNG written. Progress goes to stderr\n"
    "(\"simulating up to T, P %\" while the show runs to the first frame).\n"
    "Ctrl-C stops after the current frame and completes the file (status 130);\n"
    "SIGTERM and SIGHUP stop at once, leaving any file that was there as it was.\n"};

const CLI_Usage PlayUsage = {
    "zelkor play",
    "zelkor play [--dir SHOW] [--at T | --scene NAME] [--window WxH] [--timetable FILE.txt] "
    "[--tracks FILE.txt] [--loop] [--renderer fixed|modern] [--fast-seek]\n"
    "zelkor play ... [--scenes LIB.so] [--no-sound]",
    "Plays the show in the folder SHOW (default: the working folder) in a window\n"
    "(default 800x600) with its music, without the dialog, from music time T (ms,\n"
    "M:SS, M:SS.mmm or BAR.BEAT, bars and beats counted from 1 on the tracks'\n"
    "grid; default 0) or from the start of the first timetable entry named NAME.\n"
    "--tracks edits and plays those parameter tracks (default: for a show a\n"
    "project built, the project's tracks.txt, which the show folder's\n"
    "sources.txt names; else SHOW/tracks.txt; while there is none, the archive's\n"
    "default.trk, and Ctrl+S makes it). The first lines say which play.\n"
    "--no-sound plays without an audio device, on the silent clock; without a\n"
    "working one play says why and goes on so.\n"
    "--timetable plays that text timetable instead of the archive's; --loop loops\n"
    "the entry it starts in. Pictures, texture scripts, the archive, the timetable\n"
    "and the music are loaded again when they change on disk, or when the folder\n"
    "is replaced by a copy (git checkout); scripts run beside the show, which\n"
    "plays on. A file that cannot be taken (a script cut short, a timetable whose\n"
    "entries of one scene overlap) keeps the old one, saying why; a timetable\n"
    "taken gets the warnings of zelkor tmg compile. zelkor.log goes beside the\n"
    "show or, when that folder cannot be written, to $XDG_STATE_HOME/zelkor\n"
    "(~/.local/state/zelkor). At the end (where \"ende\" starts) play holds the\n"
    "show's last frame, paused, the title ending in \"[end: Escape leaves]\"; a\n"
    "start at or past the end says where the show ends and holds there.\n"
    "--renderer picks the draw backend: fixed (OpenGL 1.x, the default) or\n"
    "modern (buffers and shaders, as in the web build). A show with shaders of\n"
    "its own (SHOW/shaders/NAME.frag and .vert) is drawn with the modern one\n"
    "unasked and refuses fixed. A shader saved is compiled again before the next\n"
    "frame; one that does not compile keeps the code before it, its file, line\n"
    "and complaint on stderr and over the picture until it compiles.\n"
    "A start or a seek is exact: the picture is the one a straight run at 60\n"
    "frames a second shows at that time (the scenes run there from the nearest\n"
    "point passed before, drawing only the last frames; where the swirls draw\n"
    "over their earlier frames, the last 2 s of frames are drawn). Until it is\n"
    "ready the quick picture is shown, the title says [exact pending], the music\n"
    "waits at the time asked for and the keys work (a new seek or Escape gives it\n"
    "up). --fast-seek (or the key S) seeks at once instead: the scenes keep\n"
    "their state and see the jump as one long frame. A frame step forward and a\n"
    "speed away from 1x run on from the frame shown, as a straight run does.\n"
    "--scenes plays a show's own scenes from its scene library (zelkor new) in\n"
    "place of the engine's (default: the one lib*_scenes.so in the show folder,\n"
    "if there is one); their seeks are exact too. When the library is rebuilt,\n"
    "its new code is loaded, registered and prepared, and plays on at the same\n"
    "music time, each scene keeping its state record when the record's type is\n"
    "unchanged (one that starts afresh is named, with what changed); the old\n"
    "code is unloaded only then. A library that cannot be loaded, lacks the\n"
    "entry point or was built against another engine keeps the old code, saying\n"
    "why. A picture that is missing or cannot be decoded is named on stderr and\n"
    "in zelkor.log, with its scene and the reason.\n"
    "\n"
    "The title shows the music time, the bar and beat (\"bar 12.3\") and the entries.\n"
    "\n"
    "Keys: Space pauses; Left and Right seek 2 s (10 s with Shift); Up and Down\n"
    "one row of the grid, Ctrl+Left and Ctrl+Right one bar; Page Up and Page Down\n"
    "go to the previous and next entry; Home to the start; . and , step one frame\n"
    "(1/60 s) forward and back while paused; [ and ] halve and double the speed\n"
    "(1/8x to 2x; away from 1x the music is silent and the clock runs at that\n"
    "rate); L loops the current entry; S switches between exact and fast seeks;\n"
    "F toggles full screen; Escape quits.\n"
    "Tab shows the track editor over the picture: the tracks as columns, the rows\n"
    "around the time, the timetable as a strip. There Left and Right choose a\n"
    "track, a number and Enter set a key at the current row, Delete removes it,\n"
    "I cycles its interpolation, Shift+Up and Shift+Down nudge the value by its\n"
    "second digit (Ctrl: its first), B marks a row and Ctrl+C copies the keys\n"
    "from it to the current row, Ctrl+V pastes them there, Ctrl+Z undoes and\n"
    "Ctrl+Shift+Z redoes. Ctrl+S saves the file, its comments and untouched\n"
    "lines kept; it writes only a regular file (or a new one), never a\n"
    "read-only one or one in a built show's folder, and a file changed since\n"
    "play read it (another editor's, or one with an error) is kept: the tracks\n"
    "go beside it as NAME.play.txt. The tracks file (or the file its link names)\n"
    "saved elsewhere is taken in at once; one with an error keeps the tracks\n"
    "before it, naming the line; deleted, the archive's tracks play again.\n"};

const CLI_Usage DevUsage = {
    "zelkor dev",
    "zelkor dev [DIR] [--at T | --scene NAME] [--window WxH] [--loop] [--no-sound]\n"
    "zelkor dev [DIR] ... [--renderer fixed|modern] [--tracks FILE.txt] [--timetable FILE.txt] "
    "[--scenes LIB.so] [--fast-seek]",
    "The maker's loop in one command, for a show project (zelkor new) in DIR\n"
    "(default: the working folder). Builds it (cmake -S DIR -B DIR/build first\n"
    "when that folder is not configured yet, with CMake's default generator;\n"
    "then cmake --build DIR/build with the generator it has), plays DIR/build/show\n"
    "as zelkor play does, with play's options and keys, and watches the\n"
    "project's sources: every file under DIR but the build folders (build,\n"
    "build-*) and hidden ones, so scenes, shaders, pictures and their scripts,\n"
    "the score, timetable, tracks and CMakeLists.txt. A save starts the build\n"
    "again beside the window, which plays on; what it remakes is taken in at the\n"
    "same music time (the scene library, data.vkz, pictures, sound.mp3, shaders),\n"
    "and the project's tracks.txt at once, as play takes it. A build that fails\n"
    "keeps the last good build playing; its first error lines go across the top\n"
    "of the picture and to stderr until a build succeeds. Each build's whole\n"
    "output is in DIR/build/zelkor-dev.log. The show's own lines begin \"zelkor\n"
    "play:\"; dev says when a build starts, how long it took, and how long after\n"
    "the save its first frame was drawn. A first build that fails with no show\n"
    "built before it ends dev with status 1.\n"};

const CLI_Usage NewUsage = {
    "zelkor new", "zelkor new DIR [--name NAME] [--template NAME]\nzelkor new --list",
    "Writes a new show project into DIR (a new or empty folder): a CMakeLists.txt\n"
    "that builds against the installed engine (find_package(Zelkor)) with the\n"
    "show's settings (title, summary, icon, ...), its scenes in scenes/, a\n"
    "timetable, a score for zksynth, a tracks file, its pictures in textures/,\n"
    "a .gitignore, and a README saying how to build, play, capture, package and\n"
    "publish it for the web. --template picks what the scenes show (default\n"
    "basic); --list names the templates, one line each. NAME (default: DIR's\n"
    "last part) names the program and its scene library: a letter, then\n"
    "letters, digits or '_'. Then, as it says:\n"
    "cmake -S DIR -B DIR/build -DCMAKE_PREFIX_PATH=PREFIX && cmake --build DIR/build.\n"};
