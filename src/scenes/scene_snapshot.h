// Every scene's state at one moment (clocks, fades, particles, the random
// source's position), copied out and put back, so a run can go back to an
// earlier frame and run on from there exactly as it did:
//
//   SceneSnapshot* s = SceneSnapshot_Take();   // null when out of memory
//   ... frames ...
//   SceneSnapshot_Restore(s);                  // as it stood at Take
//   SceneSnapshot_Free(s);
//
// The scenes must have been prepared: the particle arrays are copied into
// the ones they already own.
#pragma once

struct SceneSnapshot;

SceneSnapshot* SceneSnapshot_Take();
void SceneSnapshot_Restore(const SceneSnapshot* snapshot);
void SceneSnapshot_Free(SceneSnapshot* snapshot);
