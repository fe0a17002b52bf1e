// A test show's one scene, as a scene library: the picture filled by a pass
// through the program of the show's shaders/fill.frag.
#include "zelkor/zelkor.h"

struct Fill {
    uint32_t program;
};

// Made again at every preparation, kept or not: a reload deletes the
// programs the scenes before it made.
static int PrepareFill(Fill& s, int) {
    s.program = Draw_Current()->ProgramFromFiles("fill");
    return 1;
}

static void DrawFill(const SceneFrame& frame, Fill& s) {
    const Draw* d = frame.draw;
    d->Clear(DRAW_COLOR_BUFFER_BIT | DRAW_DEPTH_BUFFER_BIT);
    d->Disable(DRAW_BLEND);
    d->Color4f(1.0f, 1.0f, 1.0f, 1.0f);
    d->Pass(s.program, 0);
}

ZELKOR_SCENE("fill", Fill, DrawFill, PrepareFill);
ZELKOR_SCENE_LIBRARY()
