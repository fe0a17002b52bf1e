// The configuration dialog shown before anything else starts: the display
// modes, the (disabled) video and audio options, Start, About and Quit. Its
// results are left in g_settings and modeTable.
#pragma once

struct ConfigDialog;

enum {
    CONFIG_RESOLUTION = 1000,
    CONFIG_FULLSCREEN = 1001,
    CONFIG_MIXING_RATE = 1002,
    CONFIG_SOUND = 1003,
    CONFIG_START = 1004,
    CONFIG_ABOUT = 1005,
    CONFIG_QUIT = 1006,
    CONFIG_CLOSE = 0xF060, // the window's close box or Alt+F4 (the system close command)
};

// Shows the dialog and waits for it to end: 0 for Start, -1 for Quit or the
// close box, -1 also when no dialog can be shown (no display).
int RunConfigDialog();

// The pieces RunConfigDialog is made of, for tests that drive the dialog.
// CreateConfigDialog returns null when GTK cannot reach a display.
ConfigDialog* CreateConfigDialog();
// Runs until Start, Quit or close; returns the result and frees the dialog.
int WaitConfigDialog(ConfigDialog* dialog);
// What a click on a button or a command of the window does.
void ConfigDialogProc(ConfigDialog* dialog, int command);
// The window, for sending it events (a GtkWidget*).
void* ConfigDialogWindow(ConfigDialog* dialog);
