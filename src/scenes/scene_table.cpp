#include "scenes/scenes.h"

const SceneTableEntry SceneTable[10] = {
    {"scene1", nullptr}, {"scene2", nullptr}, {"scene3", nullptr},     {"scene4", nullptr},
    {"scene5", nullptr}, {"scene6", nullptr}, {"scene7", nullptr},     {"scene8", nullptr},
    {"scene9", nullptr}, {"creditsend", nullptr},
};

const ScenePreparation PrepareScenes[10] = {
    {"Pre-Initializing scene 1", nullptr}, {"Pre-Initializing scene 2", nullptr},
    {"Pre-Initializing scene 3", nullptr}, {"Pre-Initializing scene 4", nullptr},
    {"Pre-Initializing scene 5", nullptr}, {"Pre-Initializing scene 6", nullptr},
    {"Pre-Initializing scene 7", nullptr}, {"Pre-Initializing scene 8", nullptr},
    {"Pre-Initializing scene 9", nullptr}, {"Pre-Initializing credits end", nullptr},
};
