// Scenes registered by name and the dispatcher that runs the timetable's
// active entries every frame.
#pragma once
#include <cstdint>

typedef void (*SceneCallback)(uint32_t musicTime);

int RegisterScene(const char* name, SceneCallback callback);
int SceneDispatcher();
void FreeSceneTables();

// "preload" pumps one window message; "ende" posts the quit message.
void PreloadScene(uint32_t musicTime);
void EndeScene(uint32_t musicTime);
