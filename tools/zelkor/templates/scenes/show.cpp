// The show's scenes: the name a timetable entry calls, the scene function,
// and its preparation (run at start-up and after each reload). A new scene
// is a line here and a name in the CMakeLists' `--scene-names`.
#include "scenes.h"

#include "sequencing/scene_set.h"

static const SceneSetEntry scenes[] = {
    {"glow", Glow, PrepareGlow},
};
ZELKOR_SCENE_LIBRARY(scenes)
