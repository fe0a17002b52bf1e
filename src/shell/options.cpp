#include "options.h"

#include "platform/draw.h"
#include "platform/message.h"
#include "platform/window.h"
#include "shell/settings.h"
#include "cli.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

static const CLI_Usage MarovyUsage = {
    "marovy", "marovy [--window[=WxH] | --desktop] [--no-sound] [--dir DIR] [--renderer R]",
    "Without --window or --desktop the configuration dialog comes first, and Start\n"
    "runs the show full screen.\n"
    "  --window[=WxH]  in a window of that size (default 800x600)\n"
    "  --desktop       full screen at the desktop's resolution, no mode switch\n"
    "  --no-sound      no audio device; the show runs on a silent clock\n"
    "  --dir DIR       the show folder (default: the working folder); zelkor.log goes\n"
    "                  there\n"
    "  --renderer R    the draw backend: fixed (OpenGL 1.x, the default) or modern\n"
    "                  (buffers and shaders, as in the web build)\n"
    "  --help, --version\n"};

static const char* const kOptions[] = {"--window",   "--desktop", "--no-sound", "--dir",
                                       "--renderer", "--help",    "--version",  nullptr};

static int UsageError(const char* why, const char* arg) {
    return CLI_UsageError(MarovyUsage, why, arg);
}

static int ParseSize(const char* s, int* w, int* h) {
    char x = 0, tail = 0;
    if (sscanf(s, "%d%c%d%c", w, &x, h, &tail) != 3 || x != 'x') return 0;
    return *w >= 1 && *h >= 1 && *w <= 16384 && *h <= 16384;
}

int ParseMarovyOptions(int argc, char** argv, MarovyOptions* o) {
    int screens = 0, status;
    if (CLI_Info(MarovyUsage, argc - 1, argv + 1, &status)) return status;
    for (int i = 1; i < argc; i++) {
        const char* a = argv[i];
        if (!strcmp(a, "--window")) {
            o->screen = MAROVY_WINDOW;
            screens++;
        } else if (!strncmp(a, "--window=", 9)) {
            if (!ParseSize(a + 9, &o->width, &o->height))
                return UsageError("--window wants WxH, each 1 to 16384", a);
            o->screen = MAROVY_WINDOW;
            screens++;
        } else if (!strcmp(a, "--desktop")) {
            o->screen = MAROVY_DESKTOP;
            screens++;
        } else if (!strcmp(a, "--no-sound")) {
            o->noSound = 1;
        } else if (!strcmp(a, "--dir") && i + 1 < argc) {
            o->dir = argv[++i];
        } else if (!strcmp(a, "--renderer") && i + 1 < argc) {
            o->renderer = Draw_ParseRenderer(argv[++i]);
            if (o->renderer < 0 || o->renderer == DRAW_NULL)
                return UsageError("--renderer wants fixed or modern", argv[i]);
        } else if (CLI_IsOption(a)) {
            return CLI_OptionError(MarovyUsage, a, kOptions);
        } else {
            return UsageError("unexpected argument", a);
        }
    }
    if (screens > 1) return UsageError("give one of --window and --desktop", nullptr);
    return -1;
}

int ApplyScreenOption(const MarovyOptions& o) {
    g_settings.modeIndex = 0;
    if (o.screen == MAROVY_WINDOW) {
        g_settings.fullscreen = 0;
        modeTable[0] = {32, (uint32_t)o.width, (uint32_t)o.height};
        return 1;
    }
    SDL_DisplayMode desktop;
    int known = ZELKOR_StartVideo() && SDL_GetDesktopDisplayMode(0, &desktop) == 0;
    if (!known)
        fprintf(stderr,
                "marovy: no display to run on (SDL: %s); run it in a desktop session "
                "(DISPLAY or WAYLAND_DISPLAY set)\n",
                SDL_GetError());
    ZELKOR_StopVideo();
    if (!known) return 0;
    g_settings.fullscreen = ZELKOR_FULLSCREEN_DESKTOP;
    modeTable[0] = {SDL_BITSPERPIXEL(desktop.format), (uint32_t)desktop.w, (uint32_t)desktop.h};
    return 1;
}
