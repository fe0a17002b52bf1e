#include "options.h"

#include "platform/draw.h"
#include "platform/message.h"
#include "platform/window.h"
#include "shell/settings.h"
#include "cli/args.h"

#include <SDL.h>

#include <cstdio>
#include <cstring>

static const CLI_Usage MarovyUsage = {
    "marovy", "marovy [--window[=WxH] | --desktop] [--no-sound] [--dir DIR] [--renderer R]",
    "Without --window or --desktop the configuration dialog comes first, and Start\n"
    "runs the show full screen.\n"
    "  --window[=WxH]  in a window of that size (default 800x600), or --window WxH\n"
    "  --desktop       full screen at the desktop's resolution, no mode switch\n"
    "  --no-sound      no audio device; the show runs on a silent clock\n"
    "  --dir DIR       the show folder (default: the working folder); zelkor.log goes\n"
    "                  there\n"
    "  --renderer R    the draw backend: fixed (OpenGL 1.x, the default) or modern\n"
    "                  (buffers and shaders, as in the web build)\n"
    "  --help, --version\n"
    "Every option takes its value as --opt=value or --opt value.\n"};

static const CLI_Option kOptions[] = {
    {"--window", CLI_SIZE, 1, 16384, nullptr, 1},
    {"--desktop"},
    {"--no-sound"},
    {"--dir", CLI_TEXT},
    {"--renderer", CLI_TEXT},
    {},
};

int ParseMarovyOptions(int argc, char** argv, MarovyOptions* o) {
    int status;
    if (CLI_Info(MarovyUsage, argc - 1, argv + 1, &status)) return status;
    CLI_Args args;
    if (CLI_ParseArgs(MarovyUsage, kOptions, argc - 1, argv + 1, &args, 0)) return CLI_USAGE;
    const CLI_Value& window = args["--window"];
    const CLI_Value& desktop = args["--desktop"];
    if (window.given + desktop.given > 1)
        return CLI_UsageError(MarovyUsage, "give one of --window and --desktop");
    if (window.given) {
        o->screen = MAROVY_WINDOW;
        if (window.text) o->width = window.width, o->height = window.height;
    }
    if (desktop.on) o->screen = MAROVY_DESKTOP;
    const CLI_Value& noSound = args["--no-sound"];
    o->noSound = noSound.on;
    if (args["--dir"].given) o->dir = args["--dir"].text;
    if (args["--renderer"].given) {
        o->renderer = Draw_ParseRenderer(args["--renderer"].text);
        if (o->renderer < 0 || o->renderer == DRAW_NULL)
            return CLI_UsageError(MarovyUsage, "--renderer wants fixed or modern",
                                  args["--renderer"].text);
    }
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
