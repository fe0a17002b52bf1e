// The production's scene table: the scene functions registered by name and
// the ten preparation routines run at start-up, in the order of their log lines.
#pragma once
#include "sequencing/scene_registry.h"

struct SceneTableEntry {
    const char* name;       // registered name
    SceneCallback function; // null while the scene is not built
};

struct ScenePreparation {
    const char* logLine; // logged just before the routine runs
    int (*prepare)();    // null while the routine is not built
};

extern const SceneTableEntry SceneTable[10];     // "scene1" .. "scene9", "creditsend"
extern const ScenePreparation PrepareScenes[10]; // in log-line order
