// The scenes' state, owned by the engine: each scene's record, the blocks
// allocated for it (the kits' particle arrays), and the module records of
// engine code that scenes drive (the kits' shared values). A mark copies all
// of it and a rewind puts it back, naming no scene; a reload of a scene
// library keeps each record whose type is unchanged.
//
//   SceneState_BeginClaims();
//   SceneSlot* slot = SceneState_Claim(def, 0, &kept, &why); // per scene
//   ... prepare each with SceneState_SetOwner(slot) ...
//   SceneState_EndClaims();       // releases the scenes not claimed again
//   SceneStateMark* m = SceneState_Mark(); ... SceneState_Rewind(m);
#pragma once
#include "core/api.h"

#include <cstddef>
#include <string>

struct SceneDef;
struct SceneSlot;

// A zeroed block owned by the scene being prepared or drawn (the engine's
// when none is): saved at marks, kept with the scene's record across a
// reload, released with it. Null when out of memory.
ZELKOR_API void* Scene_Alloc(size_t bytes);

// The record of the scene `def` names (the n-th line of that name): the one
// it had, when its type name, size, alignment and version are the same
// (*kept 1), or a fresh one made by def->make (*kept 0; any old one released,
// and *why says what changed when there was one). Null when out of memory.
SceneSlot* SceneState_Claim(const SceneDef* def, int n, int* kept, std::string* why);
void* SceneState_Record(const SceneSlot* slot);
const char* SceneState_Name(const SceneSlot* slot);
void SceneState_BeginClaims();
// Releases the scenes not claimed since BeginClaims, and notes what each
// new block holds now: a rewind to a mark older than a block puts that back.
void SceneState_EndClaims();
// Whose blocks Scene_Alloc makes from now on; null: the engine's.
void SceneState_SetOwner(SceneSlot* slot);
SceneSlot* SceneState_Owner();

// A module record of engine code, saved and restored with the scenes (at
// most 16; registered once, at static initialisation).
void SceneState_AddModule(void* record, size_t size);
#define ZELKOR_MODULE_STATE(record)                                                                \
    static const int ZELKOR_MODULE_STATE_JOIN(moduleState, __LINE__) =                             \
        (SceneState_AddModule(&(record), sizeof(record)), 0)
#define ZELKOR_MODULE_STATE_JOIN2(a, b) a##b
#define ZELKOR_MODULE_STATE_JOIN(a, b) ZELKOR_MODULE_STATE_JOIN2(a, b)

// Every record and block as it stands (null when out of memory). A rewind
// copies each back into its own block; blocks made since get what they held
// when made, blocks released since are passed over.
struct SceneStateMark;
SceneStateMark* SceneState_Mark();
void SceneState_Rewind(const SceneStateMark* mark);
void SceneState_FreeMark(SceneStateMark* mark);
// Releases every scene and block (the module records stay).
void SceneState_Clear();
