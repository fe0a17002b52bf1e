// The production's scene table, made from the scene list: the scene functions
// registered by name and the preparation routines run at start-up, in the
// order of their log lines.
#pragma once
#include "scenes/scene_names.h"
#include "sequencing/scene_registry.h"

#include <array>

struct SceneTableEntry {
    const char* name;       // registered name
    SceneCallback function; // null while the scene is not built
};

struct ScenePreparation {
    const char* logLine; // logged just before the routine runs
    int (*prepare)();    // null while the routine is not built
};

extern const SceneTableEntry SceneTable[SHOW_SCENE_COUNT];                 // in registration order
extern const std::array<ScenePreparation, SHOW_SCENE_COUNT> PrepareScenes; // in log-line order
