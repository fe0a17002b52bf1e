// Placeholder until the dispatcher lands: every frame is just cleared.
#include "sequencing/scene_registry.h"

#include "platform/message.h"

int RegisterScene(const char*, SceneCallback) { return 1; }
int SceneDispatcher() { return 1; }
void FreeSceneTables() {}
void PreloadScene(uint32_t) {}
void EndeScene(uint32_t) { ZELKOR_PostQuitMessage(0); }
