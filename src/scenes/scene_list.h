// The show's scenes, one line each: the name timetable entries call it by,
// the scene function, its preparation routine, the routine's place in the
// start-up order and the log line written just before it runs. Registration
// follows the order of the lines. Adding a scene is one line here plus its
// file. Expand with X(NAME, SCENE, PREPARE, ORDER, LOG_LINE).
#pragma once

// clang-format off
#define ZK_SHOW_SCENES(X)                                                                      \
    X("scene1",     Scene1,     PrepareScene1,     6,  "Pre-Initializing scene 6")             \
    X("scene2",     Scene2,     PrepareScene2,     1,  "Pre-Initializing scene 1")             \
    X("scene3",     Scene3,     PrepareScene3,     3,  "Pre-Initializing scene 3")             \
    X("scene4",     Scene4,     PrepareScene4,     5,  "Pre-Initializing scene 5")             \
    X("scene5",     Scene5,     PrepareScene5,     4,  "Pre-Initializing scene 4")             \
    X("scene6",     Scene6,     PrepareScene6,     2,  "Pre-Initializing scene 2")             \
    X("scene7",     Scene7,     PrepareScene7,     7,  "Pre-Initializing scene 7")             \
    X("scene8",     Scene8,     PrepareScene8,     8,  "Pre-Initializing scene 8")             \
    X("scene9",     Scene9,     PrepareScene9,     9,  "Pre-Initializing scene 9")             \
    X("creditsend", CreditsEnd, PrepareCreditsEnd, 10, "Pre-Initializing credits end")
// clang-format on
