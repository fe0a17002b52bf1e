#include "scenes/line_scenes.h"

#include "platform/draw.h"

#include <new>
#include <string>

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

// What a maker may tune: the picture's brightness and where the strokes sit.
struct LineParams {
    TrackHandle brightness, y, depth;
};

static LineParams LineParamsOf(const char* scene) {
    std::string n = scene;
    return {Tracks_Intern((n + ".picture.brightness").c_str()),
            Tracks_Intern((n + ".lines.y").c_str()), Tracks_Intern((n + ".lines.depth").c_str())};
}

static void RunLines(LineScene* s, const SceneFrame& f, const LineParams& p) {
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
    float brightness = f.Param(p.brightness, 1.0f);
    d->Color3f(brightness, brightness, brightness);
    DrawBackdrop(d);
    // The strokes keep the picture bound and the backdrop's last texture
    // coordinate, so each is tinted by that texel.
    if (s->lines && s->lines->Ready()) {
        s->lines->Update();
        s->lines->Render(d, 0.0f, f.Param(p.y, -2.2f), f.Param(p.depth, -10.0f));
    }
}

void Scene1(const SceneFrame& f) {
    static const LineParams params = LineParamsOf("scene1");
    RunLines(&lineScene1, f, params);
}
void Scene8(const SceneFrame& f) {
    static const LineParams params = LineParamsOf("scene8");
    RunLines(&lineScene8, f, params);
}
void CreditsEnd(const SceneFrame& f) {
    static const LineParams params = LineParamsOf("creditsend");
    RunLines(&lineCreditsEnd, f, params);
}
