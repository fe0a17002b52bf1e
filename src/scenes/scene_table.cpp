#include "scenes/scenes.h"

#include "scenes/cloud_scene.h"
#include "scenes/duel_scene.h"
#include "scenes/line_scenes.h"
#include "scenes/ribbon_scenes.h"
#include "scenes/swirl_scenes.h"
#include "scenes/wobble_scene.h"

const SceneTableEntry SceneTable[10] = {
    {"scene1", Scene1}, {"scene2", Scene2},         {"scene3", Scene3}, {"scene4", Scene4},
    {"scene5", Scene5}, {"scene6", Scene6},         {"scene7", Scene7}, {"scene8", Scene8},
    {"scene9", Scene9}, {"creditsend", CreditsEnd},
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
