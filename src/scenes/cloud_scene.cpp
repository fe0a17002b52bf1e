#include "scenes/cloud_scene.h"

#include "platform/draw.h"
#include "scenes/figure_model.h"
#include "sequencing/scene_set.h"

#include <cmath>

ZELKOR_SCENE("scene3", CloudScene, Scene3, PrepareScene3);

int PrepareScene3(CloudScene& s, int) {
    // "tarnis_particle2.tga" is loaded but drawn by nothing.
    const char* paths[5] = {"tarnis_1.tga", "p1_kopf.tga", "p1_koerper.tga", "tarnis_particle2.tga",
                            "tarnis_cloud.tga"};
    LoadSceneTextures(s.textures, paths, 5); // the same records when kept
    PrepareCloudPass(Draw_Current(), &s);    // made again at every preparation
    return 1;
}

static void CreateCloudLayers(CloudScene* s, float t) {
    for (int k = 0; k < 32; k++) {
        CloudLayer& c = s->layers[k];
        c.x = c.y = 0.0f;
        c.z = (float)(-45 - k);
        c.angle = 0.0f;
        c.spin = 1.0f;
        c.nextFlip = (float)(t + 1000.0);
        c.alpha = 1.0f;
        c.width = c.height = 40.0f;
        c.texture = s->textures[4];
    }
}

static void DrawLayer(const Draw* d, const CloudLayer& c, float r, float g, float b) {
    d->Rotatef(c.angle, 0.0f, 0.0f, 1.0f);
    d->Color4f(r, g, b, c.alpha);
    BindHolder(d, c.texture);
    float x0 = (float)(c.x - c.width * 0.5), y0 = (float)(c.y - c.height * 0.5);
    // Texture coordinates up to 2: the image repeats twice across a layer.
    d->Begin(DRAW_QUADS);
    d->TexCoord2f(0.0f, 0.0f);
    d->Vertex3f(x0, y0, c.z);
    d->TexCoord2f(2.0f, 0.0f);
    d->Vertex3f(x0 + c.width, y0, c.z);
    d->TexCoord2f(2.0f, 2.0f);
    d->Vertex3f(x0 + c.width, y0 + c.height, c.z);
    d->TexCoord2f(0.0f, 2.0f);
    d->Vertex3f(x0, y0 + c.height, c.z);
    d->End();
    d->Enable(DRAW_TEXTURE_2D);
}

void Scene3(const SceneFrame& f, CloudScene& state) {
    static const TrackHandle fadeLength = Tracks_Intern("scene3.fade.length"),
                             orbitSpeed = Tracks_Intern("scene3.orbit.speed"),
                             orbitRadius = Tracks_Intern("scene3.orbit.radius"),
                             red = Tracks_Intern("scene3.cloud.red"),
                             green = Tracks_Intern("scene3.cloud.green"),
                             blue = Tracks_Intern("scene3.cloud.blue"),
                             figureSpeed = Tracks_Intern("scene3.figure.speed");
    const Draw* d = f.draw;
    CloudScene* s = &state;
    float t = SceneTime(f.musicTime);
    BeginSceneFrame(d);
    if (!s->clock.started) {
        s->fade = 0.0f;
        CreateCloudLayers(s, t);
    }
    AdvanceSceneClock(&s->clock, t);
    float dt = s->clock.dt;
    d->LoadIdentity();
    UpdateFade(&s->fade, &s->clock, t, f.Param(fadeLength, 5000.0f));

    DrawFadedBackdrop(d, s->textures[0], s->fade);

    // The whole stack circles slowly about the view axis.
    d->LoadIdentity();
    s->orbit = (float)(s->orbit + dt * f.Param(orbitSpeed, 0.10471976f) * 0.01);
    double radius = f.Param(orbitRadius, 5.0);
    float orbitX = (float)(radius * sin(s->orbit)), orbitY = (float)(radius * cos(s->orbit));
    d->Translatef(orbitX, orbitY, 0.0f);

    for (CloudLayer& c : s->layers)
        if (t >= c.nextFlip) {
            c.nextFlip = (float)(t + 2000.0);
            c.spin = -c.spin;
        }
    float r = f.Param(red, 0.5f), g = f.Param(green, 0.5f), b = f.Param(blue, 0.7f);
    const CloudLayer& last = s->layers[31];
    int passed = 0;
    if (d->renderer == DRAW_MODERN) {
        d->Color4f(r, g, b, last.alpha);
        passed = CloudPass(d, *s, orbitX, orbitY);
        if (passed) { // as the layers leave them
            d->Color4f(r, g, b, last.alpha);
            BindHolder(d, last.texture);
        }
    }
    // The rotations accumulate: layer k turns k + 1 times the common angle,
    // a fan that opens and closes as the spin flips.
    for (CloudLayer& c : s->layers) {
        if (!passed) DrawLayer(d, c, r, g, b);
        c.angle += c.spin;
    }

    // The figure takes the last cloud's colour and is added like them.
    d->LoadIdentity();
    s->figureDepth = (float)(s->figureDepth + dt * f.Param(figureSpeed, 0.0038));
    s->figureSpin = (float)(s->figureSpin + dt * 0.08);
    d->Translatef(0.0f, 0.0f, s->figureDepth);
    d->Rotatef(s->figureSpin, 0.0f, 0.0f, 1.0f);
    DrawFigureRigid(d, s->textures[2], s->textures[1]);

    if (s->figureDepth >= 0.0f)
        for (CloudLayer& c : s->layers) c.z = (float)(c.z + dt * 0.05);
}
