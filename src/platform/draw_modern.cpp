// The modern backend (placeholder until it is written): starts nowhere.
#include "platform/draw.h"

namespace {
int Start() {
    return 0;
}
} // namespace

const Draw* Draw_Modern() {
    static Draw modern = *Draw_Null();
    modern.renderer = DRAW_MODERN;
    modern.name = "modern";
    modern.Start = Start;
    return &modern;
}
