// A show's own scenes, which the engine registers in place of the
// production's scene list: from a scene library (a shared library the
// show's program or `zelkor play --scenes` loads, and loads again when it is
// rebuilt) or compiled into the program (the web has no shared libraries).
// One file of the scenes names them:
//
//   static const SceneSetEntry scenes[] = {{"glow", Glow, PrepareGlow}};
//   ZELKOR_SCENE_LIBRARY(scenes)
#pragma once
#include "core/version.h"
#include "sequencing/scene_registry.h"

struct SceneSetEntry {
    const char* name;    // what timetable entries call it by
    SceneCallback scene; // called every frame its entry holds
    int (*prepare)();    // null, or run at start-up and after each reload; 0 failed
};

struct SceneSet {
    int count;
    const SceneSetEntry* entries;
};

// The engine a scene library was built against; one built against another
// is refused, since the records and functions it shares may differ.
#define ZELKOR_SCENE_ABI "ZELKOR " ZELKOR_VERSION " scenes 1"

extern "C" const SceneSet* zelkor_scenes();
extern "C" const char zelkor_scene_abi[];

#define ZELKOR_SCENE_LIBRARY(entries)                                                              \
    extern "C" __attribute__((visibility("default"))) const char zelkor_scene_abi[] =              \
        ZELKOR_SCENE_ABI;                                                                          \
    extern "C" __attribute__((visibility("default"))) const SceneSet* zelkor_scenes() {            \
        static const SceneSet set = {(int)(sizeof entries / sizeof entries[0]), entries};          \
        return &set;                                                                               \
    }
