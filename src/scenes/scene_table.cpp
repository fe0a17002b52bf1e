#include "scenes/scenes.h"

#include "scenes/cloud_scene.h"
#include "scenes/duel_scene.h"
#include "scenes/line_scenes.h"
#include "scenes/ribbon_scenes.h"
#include "scenes/swirl_scenes.h"
#include "scenes/wobble_scene.h"
#include "sequencing/scene_names.h"

// Registered under the names the content tools check timetables against.
const SceneTableEntry SceneTable[SHOW_SCENE_COUNT] = {
    {ShowSceneNames[0], Scene1},     {ShowSceneNames[1], Scene2}, {ShowSceneNames[2], Scene3},
    {ShowSceneNames[3], Scene4},     {ShowSceneNames[4], Scene5}, {ShowSceneNames[5], Scene6},
    {ShowSceneNames[6], Scene7},     {ShowSceneNames[7], Scene8}, {ShowSceneNames[8], Scene9},
    {ShowSceneNames[9], CreditsEnd},
};

// The log lines number the routines in their own order, not the scenes'.
const ScenePreparation PrepareScenes[10] = {
    {"Pre-Initializing scene 1", PrepareScene2},
    {"Pre-Initializing scene 2", PrepareScene6},
    {"Pre-Initializing scene 3", PrepareScene3},
    {"Pre-Initializing scene 4", PrepareScene5},
    {"Pre-Initializing scene 5", PrepareScene4},
    {"Pre-Initializing scene 6", PrepareScene1},
    {"Pre-Initializing scene 7", PrepareScene7},
    {"Pre-Initializing scene 8", PrepareScene8},
    {"Pre-Initializing scene 9", PrepareScene9},
    {"Pre-Initializing credits end", PrepareCreditsEnd},
};
