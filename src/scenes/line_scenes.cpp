#include "scenes/line_scenes.h"

#include "platform/draw.h"
#include "sequencing/scene_set.h"

#include <string>

ZELKOR_SCENE("scene1", LineScene, Scene1, PrepareScene1);
ZELKOR_SCENE("scene8", LineScene, Scene8, PrepareScene8);
ZELKOR_SCENE("creditsend", LineScene, CreditsEnd, PrepareCreditsEnd);

static int PrepareLines(LineScene* s, const char* picture, float r, float g, float b) {
    s->picture = SceneTexture(picture);
    return s->lines.Init(500, r, g, b);
}

int PrepareScene1(LineScene& s, int kept) {
    return kept || PrepareLines(&s, "tarnis_credits.tga", 0.7f, 0.7f, 1.0f);
}
int PrepareScene8(LineScene& s, int kept) {
    return kept || PrepareLines(&s, "tarnis_6.tga", 1.0f, 1.0f, 1.0f);
}
int PrepareCreditsEnd(LineScene& s, int kept) {
    return kept || PrepareLines(&s, "tarnis_credits.tga", 0.7f, 0.7f, 1.0f);
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
    if (s->lines.Ready()) {
        s->lines.Update();
        s->lines.Render(d, 0.0f, f.Param(p.y, -2.2f), f.Param(p.depth, -10.0f));
    }
}

void Scene1(const SceneFrame& f, LineScene& s) {
    static const LineParams params = LineParamsOf("scene1");
    RunLines(&s, f, params);
}
void Scene8(const SceneFrame& f, LineScene& s) {
    static const LineParams params = LineParamsOf("scene8");
    RunLines(&s, f, params);
}
void CreditsEnd(const SceneFrame& f, LineScene& s) {
    static const LineParams params = LineParamsOf("creditsend");
    RunLines(&s, f, params);
}
