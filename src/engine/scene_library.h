// A show's scenes as a shared library: loaded at start-up by the show's
// program or `zelkor play --scenes`, and loaded again after a rebuild while
// the show plays. The library links nothing of the engine; the program that
// loads it exports the engine's functions to it.
#pragma once
#include "core/status.h"

#include <string>

struct SceneDef;
struct SceneLibrary;

// Loads the library at `path` (from a private copy, so the file may be
// rebuilt while in use), checks that it was built against this engine and
// finds its scenes. Null when any of that fails, with *status (when given)
// naming the library and the reason.
SceneLibrary* SceneLibrary_Load(const char* path, ZK_Status* status = nullptr);
// Its scenes, a list (SceneDef::next) that lives as long as the library.
const SceneDef* SceneLibrary_Scenes(const SceneLibrary* library);
// Safe with null. No scene of it may be registered any more.
void SceneLibrary_Unload(SceneLibrary* library);
