// marovy's command line: ways to open the show beside the configuration dialog.
#pragma once

enum MarovyScreen { MAROVY_DIALOG, MAROVY_WINDOW, MAROVY_DESKTOP };

struct MarovyOptions {
    MarovyScreen screen = MAROVY_DIALOG;
    int width = 800, height = 600; // --window
    int noSound = 0;
    const char* dir = nullptr;
    int renderer = 0; // DrawRenderer
};

// Reads the arguments. -1 to go on; otherwise the exit status, after --help
// or --version (0) or a usage error (2, usage on stderr).
int ParseMarovyOptions(int argc, char** argv, MarovyOptions* options);
// For --window and --desktop: the settings and mode the dialog would leave.
// 0 when the desktop's mode cannot be read (said on stderr).
int ApplyScreenOption(const MarovyOptions& options);
