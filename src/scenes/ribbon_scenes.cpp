#include "scenes/ribbon_scenes.h"

#include "platform/draw.h"
#include "sequencing/scene_set.h"

#include <cmath>
#include <string>

ZELKOR_SCENE("scene4", RibbonScene, Scene4, PrepareScene4);
ZELKOR_SCENE("scene9", RibbonScene, Scene9, PrepareScene9);

static int PrepareRibbons(RibbonScene* s, const char* picture, float r, float g, float b) {
    s->picture = SceneTexture(picture);
    const float wire[4] = {r, g, b, 1.0f};
    for (int k = 0; k < 4; k++) s->wire[k] = wire[k];
    return 1;
}

int PrepareScene4(RibbonScene& s, int) {
    return PrepareRibbons(&s, "tarnis_2.tga", 0.7f, 0.7f, 1.0f);
}

int PrepareScene9(RibbonScene& s, int) {
    return PrepareRibbons(&s, "tarnis_7.tga", 0.0f, 0.3f, 1.0f);
}

void RibbonQuad(int i, float T, float corners[4][3]) {
    double t = T;
    // i + 2.1T alone is taken to single precision before its sine and cosine.
    float u = (float)(i + 2.1 * t);
    double v[4][3] = {
        {-sin(i + t), -cos(i + 1.1 * t), -5.0 - cos(u) * sin(t)},
        {cos(i - 1.11 * t), -sin(i + t), cos(i + 0.62 * t) * sin(i + t) - 5.0},
        {-sin(i - t), cos(i - 1.12 * t), sin(u) * cos(t) - 5.0},
        {cos(i + t), sin(i - 1.23 * t), -5.0 - cos(i + t) * sin(u)},
    };
    for (int k = 0; k < 4; k++)
        for (int c = 0; c < 3; c++) corners[k][c] = (float)v[k][c];
}

// What a maker may tune: the wires' colour, pace and offset, the picture's
// brightness.
struct RibbonParams {
    TrackHandle red, green, blue, speed, z, brightness;
};

static RibbonParams RibbonParamsOf(const char* scene) {
    std::string n = scene;
    return {Tracks_Intern((n + ".wire.red").c_str()),
            Tracks_Intern((n + ".wire.green").c_str()),
            Tracks_Intern((n + ".wire.blue").c_str()),
            Tracks_Intern((n + ".wire.speed").c_str()),
            Tracks_Intern((n + ".wire.z").c_str()),
            Tracks_Intern((n + ".picture.brightness").c_str())};
}

static void RunRibbons(RibbonScene* s, const SceneFrame& f, const RibbonParams& p) {
    const Draw* d = f.draw;
    BeginSceneFrame(d);
    AdvanceSceneClock(&s->clock, SceneTime(f.musicTime));
    d->Disable(DRAW_DEPTH_TEST);
    d->Enable(DRAW_BLEND);
    d->LoadIdentity();
    d->PushMatrix();

    // Outlines only, untextured and additive.
    d->Color4f(f.Param(p.red, s->wire[0]), f.Param(p.green, s->wire[1]),
               f.Param(p.blue, s->wire[2]), s->wire[3]);
    d->Disable(DRAW_TEXTURE_2D);
    d->PolygonMode(DRAW_LINE);
    d->Enable(DRAW_BLEND);
    d->BlendFunc(DRAW_SRC_ALPHA, DRAW_ONE);
    float T = (float)(f.elapsed * f.Param(p.speed, 0.002));
    d->Translatef(0.0f, 0.0f, f.Param(p.z, 1.5f));
    for (int i = 0; i < 50; i++) {
        float q[4][3];
        RibbonQuad(i, T, q);
        d->Begin(DRAW_QUADS);
        for (const float* v : q) d->Vertex3f(v[0], v[1], v[2]);
        d->End();
    }
    d->PopMatrix();

    // The picture added over the wires at half brightness.
    BindHolder(d, s->picture);
    d->PolygonMode(DRAW_FILL);
    float brightness = f.Param(p.brightness, 0.5f);
    d->Color3f(brightness, brightness, brightness);
    DrawBackdrop(d);
}

void Scene4(const SceneFrame& f, RibbonScene& s) {
    static const RibbonParams params = RibbonParamsOf("scene4");
    RunRibbons(&s, f, params);
}
void Scene9(const SceneFrame& f, RibbonScene& s) {
    static const RibbonParams params = RibbonParamsOf("scene9");
    RunRibbons(&s, f, params);
}
