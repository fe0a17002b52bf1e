// The engine's one record, shared by its frame step (engine.cpp) and its
// start-up (startup.cpp). Engine_Start begins a run afresh; what a host
// chose before it (the scenes to use) lasts from run to run.
#pragma once
#include "engine/engine.h"
#include "platform/message.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct Draw;
struct SceneDef;
struct SceneSlot;

// One scene of the start-up: its line, where the production's running order
// puts it (-1: not one of the production's), its record.
struct StartupScene {
    const SceneDef* def;
    int place, order;
    const char* logLine;
    SceneSlot* slot;
    int kept;
};

// What one run of the engine keeps; made afresh by Engine_Start.
struct EngineRun {
    EngineConfig config; // as the host handed it
    int state = ENGINE_FAILED;
    int logOpenError = 0; // why the log did not open, after a failed start-up
    // The main loop's message record, zero-filled before start-up.
    ZELKOR_Message mainMessage = {};

    // The start-up's stage, its next preparation, and why ENGINE_SOUND_IF_ANY
    // went silent.
    int stage = 0;
    size_t preparation = 0;
    std::string soundProblem;
    std::vector<StartupScene> scenes; // in registration order
    std::vector<size_t> preparations; // indices into scenes, in start-up order

    // The music time at which the show's elapsed time is 0, the last frame's
    // music time and step, and the draw layer the scenes are handed this frame.
    int64_t showBegin = 0;
    uint32_t lastMusicTime = 0;
    int32_t frameDelta = 0;
    int framesBegun = 0;
    const Draw* frameDraw = nullptr;
    // The last frame ran through the null backend: the state it kept goes to
    // the drawing backend before the next drawn frame.
    int simulated = 0, standsAlone = 0;
    float frameKeeps = 1.0f; // how much of the picture before it the last simulated frame kept
    // The music time the frame under way runs at, or -1 for the clock's.
    int64_t frameAt = -1;
};

struct EngineCore : EngineRun {
    // A scene library's lines in place of the program's (Engine_UseScenes),
    // and the scene names timetables are checked against, copied from them.
    const SceneDef* library = nullptr;
    std::vector<std::string> sceneNames;
    std::vector<const char*> sceneNamePointers;
};

extern EngineCore engine;
