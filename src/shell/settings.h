// The settings the configuration dialog leaves for Startup, and the mode table.
#pragma once
#include <cstdint>
#include <string>

struct DisplayMode {
    uint32_t bitsPerPixel;
    uint32_t width;
    uint32_t height;
};

struct Settings {
    int soundEnabled = 1;
    int fullscreen = 1;
    int modeIndex = 0;
    int mixingRate = 44100;
};

enum { MODE_TABLE_SIZE = 32 };

extern Settings g_settings;
extern DisplayMode modeTable[MODE_TABLE_SIZE];
// The entries FillModeTable left in modeTable.
int ModeCount();

// Appends a mode unless it is a duplicate, smaller than 640x480, has 8 or fewer
// bits per pixel, or the table is full. Returns the new count.
int AddDisplayMode(DisplayMode* table, int count, uint32_t bits, uint32_t width, uint32_t height);
// Fills modeTable from display 0's modes in enumeration order; returns the
// count. `listed` (when given) gets every mode the display listed,
// qualifying or not ("640x400x16, ..."), for saying why none would do.
int FillModeTable(std::string* listed = nullptr);
