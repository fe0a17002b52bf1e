#include "shell/settings.h"

#include "platform/message.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

Settings g_settings;
DisplayMode modeTable[MODE_TABLE_SIZE];

int AddDisplayMode(DisplayMode* table, int count, uint32_t bits, uint32_t width, uint32_t height) {
    if (width < 640 || height < 480 || bits <= 8) return count;
    for (int i = 0; i < count; i++) {
        if (table[i].width == width && table[i].height == height && table[i].bitsPerPixel == bits)
            return count;
    }
    // Modes beyond the table's 32 lines are dropped.
    if (count >= MODE_TABLE_SIZE) return count;
    table[count].bitsPerPixel = bits;
    table[count].width = width;
    table[count].height = height;
    return count + 1;
}

static void NoteDisplayMode(const SDL_DisplayMode& mode, std::string* listed) {
    char one[48];
    snprintf(one, sizeof one, "%dx%dx%d", mode.w, mode.h, (int)SDL_BITSPERPIXEL(mode.format));
    if (!listed->empty()) *listed += ", ";
    *listed += one;
}

int FillModeTable(std::string* listed) {
    memset(modeTable, 0, sizeof(modeTable));
    int count = 0;
    std::string modes;
    if (!listed) listed = &modes;
    listed->clear();
    if (!ZELKOR_StartVideo()) return 0;
    int total = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < total; i++) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0) break;
        NoteDisplayMode(mode, listed);
        count = AddDisplayMode(modeTable, count, SDL_BITSPERPIXEL(mode.format), (uint32_t)mode.w,
                               (uint32_t)mode.h);
    }
    // Some X servers list their only mode as 0x0; the desktop mode stands in.
    SDL_DisplayMode desktop;
    if (count == 0 && SDL_GetDesktopDisplayMode(0, &desktop) == 0)
        count = AddDisplayMode(modeTable, count, SDL_BITSPERPIXEL(desktop.format),
                               (uint32_t)desktop.w, (uint32_t)desktop.h);
    ZELKOR_StopVideo();
    return count;
}

// The table is zeroed and then filled from its start, and no mode that
// qualifies is 0 pixels wide: the count is the table's own.
int ModeCount() {
    int n = 0;
    while (n < MODE_TABLE_SIZE && modeTable[n].width) n++;
    return n;
}
