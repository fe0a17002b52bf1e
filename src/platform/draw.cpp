#include "platform/draw.h"

#include <cstring>

static const Draw* current = nullptr;

const Draw* Draw_ForRenderer(int renderer) {
    switch (renderer) {
    case DRAW_MODERN:
        return Draw_Modern();
    case DRAW_NULL:
        return Draw_Null();
    default:
        return Draw_Fixed();
    }
}

const Draw* Draw_Current() {
    return current ? current : Draw_Fixed();
}

void Draw_SetCurrent(const Draw* draw) {
    current = draw;
}

int Draw_ParseRenderer(const char* name) {
    if (!strcmp(name, "fixed")) return DRAW_FIXED;
    if (!strcmp(name, "modern")) return DRAW_MODERN;
    if (!strcmp(name, "null")) return DRAW_NULL;
    return -1;
}
