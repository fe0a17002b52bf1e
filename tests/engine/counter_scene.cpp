// A scene that counts its frames in its record and in a block of its own,
// and shows both as the picture's colour (the count in red, or in blue from
// the second build on, the block's in green). Built three ways:
// COUNTER_BUILD 1, 2 (new code, the same record) and 3 (a record grown).
#include "zelkor/zelkor.h"

struct Counter {
    int32_t frames;
    int32_t* block;
#if COUNTER_BUILD == 3
    int32_t grown;
#endif
};

static int PrepareCounter(Counter& s, int kept) {
    if (kept) return 1;
    s.block = (int32_t*)Scene_Alloc(sizeof(int32_t));
    return s.block != nullptr;
}

static void DrawCounter(const SceneFrame& f, Counter& s) {
    const Draw* d = f.draw;
    s.frames++;
    ++*s.block;
    float count = (float)s.frames / 255.0f;
    d->Disable(DRAW_TEXTURE_2D);
    d->Disable(DRAW_DEPTH_TEST);
    d->Disable(DRAW_BLEND);
    d->LoadIdentity();
    float red = COUNTER_BUILD == 2 ? 0.0f : count, blue = COUNTER_BUILD == 2 ? count : 0.0f;
    d->Color3f(red, (float)*s.block / 255.0f, blue);
    DrawBackdrop(d);
}

ZELKOR_SCENE("counter", Counter, DrawCounter, PrepareCounter);
ZELKOR_SCENE_LIBRARY()
