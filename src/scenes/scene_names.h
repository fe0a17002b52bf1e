// The names timetable entries can call, without the scenes themselves (the
// content tools link no GL): the show's, from the scene list, and the
// engine's own two.
#pragma once
#include "scenes/scene_list.h"
#include "sequencing/builtin_scene_names.h"

#define ZK_SCENE_NAME(name, order, logLine) name,
// In the order the scene table registers them.
inline constexpr const char* ShowSceneNames[] = {ZK_SHOW_SCENES(ZK_SCENE_NAME)};
#undef ZK_SCENE_NAME
enum { SHOW_SCENE_COUNT = sizeof ShowSceneNames / sizeof ShowSceneNames[0] };

// 1 when a timetable entry of this name calls a scene: one of the show's,
// "preload" or "ende", letter case aside (as the dispatcher compares).
int IsRegisteredSceneName(const char* name);
// Every name a scene is registered under, "preload" first, "ende" last, then
// a null: what timetables are checked against.
const char* const* KnownSceneNames();
// A show of one's own: its `count` scene names (kept, not copied) stand in
// for the scene list's in both of the above; null restores the list's.
void UseShowSceneNames(const char* const* names, int count);

// A name's line in the production's running order: its index (the
// registration order), with its place among the preparations (1 first) and
// its log line; -1 for a name that is not the production's.
int ShowScenePlace(const char* name, int* order, const char** logLine);
