// @NAME@'s program: the engine plays the show in its folder, with the scenes
// of the scene library beside it (or, on the web, compiled in).
#include "engine/show_main.h"
#include "sequencing/scene_set.h"

int main(int argc, char** argv) {
    ShowProgram program;
    program.name = "@NAME@";
#ifdef SCENE_LIBRARY
    program.library = SCENE_LIBRARY;
#else
    program.linked = zelkor_scenes();
#endif
    return Show_Main(argc, argv, program);
}
