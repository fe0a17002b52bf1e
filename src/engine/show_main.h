// The program of a show made on ZELKOR (marovy has its own, with the
// dialog): it plays the show in a window, its scenes loaded from a scene
// library beside the program or compiled in. Its main is one call:
//
//   int main(int argc, char** argv) { return Show_Main(argc, argv, program); }
#pragma once

struct ShowProgram {
    const char* name = "show";     // for --help, --version and messages
    const char* library = nullptr; // the scene library's file name, beside the program;
                                   // null: the scenes compiled into the program
};

// Options: --window[=WxH] (the default, 800x600), --desktop, --no-sound,
// --dir DIR, --renderer fixed|modern, --help, --version. The show folder is
// DIR, else the working folder when it holds "data.vkz", else the program's
// own. Exit status 0 at the show's end or Escape, 1 when it cannot start,
// 2 on a usage error.
int Show_Main(int argc, char** argv, const ShowProgram& program);
