#include "engine/show_main.h"

#include "cli/args.h"
#include "core/log.h"
#include "engine/engine.h"
#include "engine/scene_library.h"
#include "engine/show_folder.h"
#include "engine/show_shaders.h"
#include "platform/draw.h"
#include "platform/stop_signals.h"
#include "platform/window.h"

#include <SDL.h>

#include <cstdio>
#include <string>

int Show_Main(int argc, char** argv, const ShowProgram& program) {
    std::string synopsis = std::string(program.name) +
                           " [--window[=WxH] | --desktop] [--no-sound] [--dir DIR] "
                           "[--renderer fixed|modern]";
    const CLI_Usage usage = {
        program.name, synopsis.c_str(),
        "Plays the show in a window (default 800x600) or on the whole desktop, with\n"
        "its music. The show folder is DIR, else the working folder when it holds\n"
        "data.vkz, else the program's own. Escape ends it.\n"};
    int status;
    if (CLI_Info(usage, argc - 1, argv + 1, &status)) return status;
    static const CLI_Option options[] = {
        {"--window", CLI_SIZE, 1, 8192, nullptr, 1},
        {"--desktop"},
        {"--no-sound"},
        {"--dir", CLI_TEXT},
        {"--renderer", CLI_TEXT},
        {},
    };
    CLI_Args args;
    if (CLI_ParseArgs(usage, options, argc - 1, argv + 1, &args, 0)) return CLI_USAGE;
    EngineConfig config;
    if (args["--window"].width) {
        config.width = args["--window"].width;
        config.height = args["--window"].height;
    }
    if (args["--desktop"].on) config.fullscreen = ZELKOR_FULLSCREEN_DESKTOP;
    config.sound = !args["--no-sound"].on;
    int asked = -1;
    if (args["--renderer"].given) {
        asked = Draw_ParseRenderer(args["--renderer"].text);
        if (asked != DRAW_FIXED && asked != DRAW_MODERN)
            return CLI_UsageError(usage, "--renderer wants fixed or modern",
                                  args["--renderer"].text);
    }
    ShowFolder folder;
    folder.program = program.name;
    folder.beside = ".";
    Show_FindFolder(&folder, args["--dir"].Or(nullptr));
    if (!Show_EnterFolder(&folder)) return 1;
    std::string shown = args["--dir"].given ? folder.path + "/" : "";
    config.renderer = Engine_ShowRenderer(program.name, shown.c_str(), asked);
    if (config.renderer < 0) return 1;
    SceneLibrary* library = nullptr;
    if (program.library) {
        std::string path = Show_ProgramFolder() + "/" + program.library;
        library = Show_UseScenes(program.name, path.c_str(), path.c_str());
        if (!library) return 1;
    }
    // An installed show's folder may not be written: the log goes to the user's.
    Show_PlaceLog(&folder);
    config.logPath = folder.log.c_str();
    config.logOptional = folder.logOptional;
    config.quietErrors = 1;
    config.pace = ENGINE_PACE_SLEEP;
    Show_TakeStopSignals();
    ZELKOR_StopSignalsEndShow(1);
    int state = Engine_StartUp(&config);
    Engine_TellShaderProblems(program.name, shown.c_str());
    while (state == ENGINE_RUNNING) state = Engine_Step(nullptr);
    Engine_Stop();
    Engine_UseScenes(nullptr);
    SceneLibrary_Unload(library);
    SDL_Quit();
    if (state == ENGINE_FAILED) {
        fprintf(stderr, "%s: the show failed to start (see %s)\n", program.name,
                folder.log.c_str());
        return 1;
    }
    if (state == ENGINE_STOPPED) {
        fprintf(stderr,
                "%s: %s/data.vkz holds no readable timetable (default.tmg); make the archive "
                "again (zelkor tmg compile, zelkor vkz create)\n",
                program.name, folder.path.c_str());
        return 1;
    }
    return ZELKOR_StopSignal() ? 128 + ZELKOR_StopSignal() : 0;
}
