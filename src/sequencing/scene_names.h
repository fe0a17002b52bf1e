// The names timetable entries can call, without the scenes themselves: the
// show's scene table registers its scenes under these very names, so the
// content tools (which link no GL) check timetables against the real list.
#pragma once

enum { SHOW_SCENE_COUNT = 10 };

// In the order the scene table registers them.
inline constexpr const char* ShowSceneNames[SHOW_SCENE_COUNT] = {
    "scene1", "scene2", "scene3", "scene4", "scene5",
    "scene6", "scene7", "scene8", "scene9", "creditsend"};

// The engine's own two, registered before and after the show's.
inline constexpr const char* PreloadSceneName = "preload";
inline constexpr const char* EndeSceneName = "ende";

// 1 when a timetable entry of this name calls a scene: one of the show's,
// "preload" or "ende", letter case aside (as the dispatcher compares).
int IsRegisteredSceneName(const char* name);
