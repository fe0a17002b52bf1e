#include "scenes/line_scenes.h"

#include "platform/draw.h"

#include <new>

LineScene lineScene1, lineScene8, lineCreditsEnd;

static int PrepareLines(LineScene* s, const char* picture, float r, float g, float b) {
    LoadSceneTextures(&s->picture, &picture, 1);
    s->lines = new (std::nothrow) LineSystem();
    if (!s->lines) return 0;
    return s->lines->Init(500, r, g, b);
}

int PrepareScene1() {
    return PrepareLines(&lineScene1, "tarnis_credits.tga", 0.7f, 0.7f, 1.0f);
}
int PrepareScene8() {
    return PrepareLines(&lineScene8, "tarnis_6.tga", 1.0f, 1.0f, 1.0f);
}
int PrepareCreditsEnd() {
    return PrepareLines(&lineCreditsEnd, "tarnis_credits.tga", 0.7f, 0.7f, 1.0f);
}

static void RunLines(LineScene* s, const SceneFrame& f) {
    const Draw* d = f.draw;
    BeginSceneFrame(d);
    AdvanceSceneClock(&s->clock, SceneTime(f.musicTime));
    // Depth test on: strokes that drift behind the picture at -21 vanish.
    d->Enable(DRAW_DEPTH_TEST);
    d->Enable(DRAW_BLEND);
    d->BlendFunc(DRAW_SRC_ALPHA, DRAW_ONE);
    d->NicestPerspective();
    d->Enable(DRAW_TEXTURE_2D);
    d->LoadIdentity();
    BindHolder(d, s->picture);
    d->Color3f(1.0f, 1.0f, 1.0f);
    DrawBackdrop(d);
    // The strokes keep the picture bound and the backdrop's last texture
    // coordinate, so each is tinted by that texel.
    if (s->lines && s->lines->Ready()) {
        s->lines->Update();
        s->lines->Render(d, 0.0f, -2.2f, -10.0f);
    }
}

void Scene1(const SceneFrame& f) {
    RunLines(&lineScene1, f);
}
void Scene8(const SceneFrame& f) {
    RunLines(&lineScene8, f);
}
void CreditsEnd(const SceneFrame& f) {
    RunLines(&lineCreditsEnd, f);
}
