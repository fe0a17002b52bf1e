// Where there is no OpenGL 1.x (WebGL), the fixed backend is a table that
// refuses to start and otherwise does nothing, like the null one.
#include "platform/draw.h"

#include "platform/system.h"

static int RefuseStart() {
    ZELKOR_SetPlatformError("the fixed renderer needs OpenGL 1.x; use the modern one");
    return 0;
}

static Draw MakeAbsent() {
    Draw table = *Draw_Null();
    table.renderer = DRAW_FIXED;
    table.name = "fixed";
    table.Start = RefuseStart;
    return table;
}

const Draw* Draw_Fixed() {
    static const Draw absent = MakeAbsent();
    return &absent;
}
