// A test show's one scene, as a scene library: the picture filled by a pass
// through the program of the show's shaders/fill.frag.
#include "platform/draw.h"
#include "sequencing/scene_set.h"

static uint32_t fill;

static int PrepareFill() {
    fill = Draw_Current()->ProgramFromFiles("fill");
    return 1;
}

static void Fill(const SceneFrame& frame) {
    const Draw* d = frame.draw;
    d->Clear(DRAW_COLOR_BUFFER_BIT | DRAW_DEPTH_BUFFER_BIT);
    d->Disable(DRAW_BLEND);
    d->Color4f(1.0f, 1.0f, 1.0f, 1.0f);
    d->Pass(fill, 0);
}

static const SceneSetEntry scenes[] = {{"fill", Fill, PrepareFill}};
ZELKOR_SCENE_LIBRARY(scenes)
