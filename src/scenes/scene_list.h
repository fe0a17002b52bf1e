// The production's running order: the ten scenes by the names they register
// under (src/scenes, one line in each scene's file), in the order the show
// registers them, each with its place in the start-up's preparations and
// the log line written just before its preparation runs. The names are also
// what the content tools check timetables against. Expand with
// X(NAME, ORDER, LOG_LINE).
#pragma once

// clang-format off
#define ZK_SHOW_SCENES(X)                                   \
    X("scene1",     6,  "Pre-Initializing scene 6")          \
    X("scene2",     1,  "Pre-Initializing scene 1")          \
    X("scene3",     3,  "Pre-Initializing scene 3")          \
    X("scene4",     5,  "Pre-Initializing scene 5")          \
    X("scene5",     4,  "Pre-Initializing scene 4")          \
    X("scene6",     2,  "Pre-Initializing scene 2")          \
    X("scene7",     7,  "Pre-Initializing scene 7")          \
    X("scene8",     8,  "Pre-Initializing scene 8")          \
    X("scene9",     9,  "Pre-Initializing scene 9")          \
    X("creditsend", 10, "Pre-Initializing credits end")
// clang-format on
