// What a scene is handed each frame: the music time (the one clock: a seek
// moves only it), the time the show has run on that same clock, the step
// since the previous frame, the draw layer to draw with, and the parameter
// tracks. A scene reaches nothing else of the engine.
#pragma once
#include <cstdint>

struct Draw;

struct SceneFrame {
    uint32_t musicTime = 0; // ms
    uint32_t elapsed = 0;   // ms since the show began (the end of start-up)
    int32_t delta = 0;      // ms since the previous frame; negative after a seek back
    const Draw* draw = nullptr;

    // A parameter's value at musicTime, or `fallback` when no track gives it.
    float (*lookup)(void* user, const char* name, float fallback, uint32_t musicTime) = nullptr;
    void* lookupUser = nullptr;
    float Param(const char* name, float fallback) const {
        return lookup ? lookup(lookupUser, name, fallback, musicTime) : fallback;
    }
};
