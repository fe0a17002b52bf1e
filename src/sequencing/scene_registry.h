// Scenes registered by name and the dispatcher that runs the timetable's
// active entries every frame.
#pragma once
#include "sequencing/scene_frame.h"

#include <cstdint>

typedef void (*SceneCallback)(const SceneFrame& frame);

struct SceneSlot;

struct SceneRecord {
    SceneCallback callback;
    char name[64];   // zero-padded; longer names are cut to 63 characters
    void* state;     // handed to the callback in its frame
    SceneSlot* slot; // whose blocks the callback allocates (scene_state.h)
};

// Appends a record (registration order is call order); 1, or 0 when out of memory.
int RegisterScene(const char* name, SceneCallback callback, void* state = nullptr,
                  SceneSlot* slot = nullptr);
// Where the dispatcher reads the music time (before each entry's test and
// before each call, so within one frame scenes may see later times), and
// how it makes the frame a scene is handed at a music time.
struct SceneFrameSource {
    uint32_t (*musicTime)(void* user) = nullptr;
    void (*frameAt)(void* user, uint32_t musicTime, SceneFrame* frame) = nullptr;
    void* user = nullptr;
};
// The engine sets it before the first dispatch; null detaches it.
void SetSceneFrameSource(const SceneFrameSource* source);

// Loads the timetable on its first call (0 when that fails: the run ends),
// then calls every scene registered under the name of every entry that holds
// the music time, entries in file order, and returns 1. An "ende" entry holds
// from its start on, however late the frame comes.
int SceneDispatcher();
// Parses a whole timing script and makes it the timetable from the next
// dispatch on, in place of the archive's (loaded or not); 1, or 0 with the
// old table kept.
int ReplaceTimingScript(const void* data, uint32_t size);
// Forgets every registered scene (the timetable stays), for a new set.
void ClearRegisteredScenes();
// Frees the registry and the timetable; the next dispatch loads afresh.
void FreeSceneTables();
// ASCII letters compared without case, at most 64 bytes.
int SceneNameMatches(const char* a, const char* b);

// "preload" pumps one window message; "ende" posts the quit message.
void PreloadScene(const SceneFrame& frame);
void EndeScene(const SceneFrame& frame);
