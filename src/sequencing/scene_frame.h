// What a scene is handed each frame: the music time (the one clock: a seek
// moves only it), the time the show has run on that same clock, the step
// since the previous frame, where the frame falls on the music's grid, the
// draw layer to draw with, and the parameter tracks. Its draw function is
// handed its state record beside it.
//
// A scene names each parameter once and keeps the handle, so a lookup is an
// index and a binary search:
//
//   static const TrackHandle distance = Tracks_Intern("scene3.camera.distance");
//   float d = frame.Param(distance, 18.0f);
//
// Without a track (or in a frame whose host reads none) the default comes
// back untouched, double or float alike, so a scene computes exactly what it
// computed with the constant.
#pragma once
#include "sequencing/tracks.h"

#include <cstdint>

struct Draw;

struct SceneFrame {
    uint32_t musicTime = 0; // ms
    uint32_t elapsed = 0;   // ms since the show began (the end of start-up)
    int32_t delta = 0;      // ms since the previous frame; negative after a seek back
    const Draw* draw = nullptr;
    int tracks = 0; // 1: the installed tracks give the parameters

    // The music's grid (the tracks', or the show's 128 bpm and 4 rows a beat)
    // and the frame's place on it: bar and beat from 1 (four beats a bar), the
    // row within the beat from 0, and how far the beat has gone (0 on it, up
    // to 1 at the next).
    MusicGrid grid = {128, 4};
    uint32_t bar = 1, beat = 1, row = 0;
    float beatPhase = 0.0f;

    void* state = nullptr; // the scene's record (the engine's)

    // A parameter's value at musicTime, or `fallback` when no track gives it.
    float Param(TrackHandle handle, float fallback) const {
        return tracks ? Tracks_Value(handle, musicTime, fallback) : fallback;
    }
    double Param(TrackHandle handle, double fallback) const {
        const Track* track = tracks ? Tracks_Find(handle) : nullptr;
        return track && !track->keys.empty() ? Tracks_Value(handle, musicTime, 0.0f) : fallback;
    }
    // The same by name: a hash lookup each call, for a one-off or a tool.
    float Param(const char* name, float fallback) const {
        return tracks ? Tracks_Value(Tracks_Intern(name), musicTime, fallback) : fallback;
    }
};
