// What a show's CMake helper adds to its scene library: its engine version
// and the list of its scene lines.
#include "zelkor/zelkor.h"

ZELKOR_SCENE_LIBRARY()
