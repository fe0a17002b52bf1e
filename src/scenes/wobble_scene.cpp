#include "scenes/wobble_scene.h"

#include "platform/draw.h"
#include "textures/texture.h"
#include "sequencing/scene_set.h"

#include <cmath>

ZELKOR_SCENE("scene6", WobbleScene, Scene6, PrepareScene6);

void ComputeWobbleTube(WobbleTube tube, float a, float b) {
    for (int j = 0; j < 16; j++) {
        float r = (float)(1.5 + b * sin(cos(a + 0.2 * j) + a + 0.9 * j));
        double cx = cos(a + 0.65 * j), cy = sin(a + 0.4 * j);
        for (int k = 0; k < 16; k++) {
            float theta = (float)k * 0.3926991f;
            tube[j][k][0] = (float)(cos((double)theta) * r + cx);
            tube[j][k][1] = (float)(sin((double)theta) * r + cy);
        }
    }
}

void DrawWobbleTube(const Draw* d, const WobbleTube tube, ZELKOR_Texture* texture, float tx,
                    float ty, float tz, float rx, float ry, float rz) {
    d->LoadIdentity();
    BindHolder(d, texture);
    d->Translatef(tx, ty, tz);
    d->Rotatef(rx, 1.0f, 0.0f, 0.0f);
    d->Rotatef(ry, 0.0f, 1.0f, 0.0f);
    d->Rotatef(rz, 0.0f, 0.0f, 1.0f);
    const float dz = 1.0f; // ring spacing
    d->Begin(DRAW_QUADS);
    for (int j = 0; j < 15; j++) {
        for (int k = 0; k < 16; k++) {
            const float* P = tube[j][k];
            const float* Q = tube[j][(k + 1) & 15]; // point 16 is point 0
            const float* R = tube[j + 1][k];
            const float* S = tube[j + 1][(k + 1) & 15];
            float dx = Q[0] - P[0], dy = Q[1] - P[1];
            d->Normal3f(dy * dz, -(dx * dz), dx * (Q[1] - S[1]) - dy * (Q[0] - S[0]));
            d->TexCoord2f(0.0f, 0.0f);
            d->Vertex3f(P[0], P[1], (float)j);
            d->TexCoord2f(1.0f, 0.0f);
            d->Vertex3f(Q[0], Q[1], (float)j);
            d->TexCoord2f(1.0f, 1.0f);
            d->Vertex3f(S[0], S[1], (float)(j + 1));
            d->TexCoord2f(0.0f, 1.0f);
            d->Vertex3f(R[0], R[1], (float)(j + 1));
        }
    }
    d->End();
}

// On the modern backend the particles, soft blobs, are drawn at half the
// picture's size, and reach the picture with the backdrop in one pass
// before the tube. Additions clamped at white come out alike in any order.
static const char* const pictureAndParticles = R"(
varying vec4 vColour;
varying vec2 vTexCoord;
varying vec2 vPlace;
uniform sampler2D picture;
uniform sampler2D particles;
void main() {
    vec4 texel = texture2D(picture, vTexCoord);
    vec3 lit = vColour.rgb * texel.rgb * (vColour.a * texel.a);
    gl_FragColor = vec4(lit + texture2D(particles, vPlace).rgb, 1.0);
}
)";

int PrepareScene6(WobbleScene& s, int kept) {
    const Draw* d = Draw_Current();
    s.program = s.target = 0; // made again at every preparation
    if (d->renderer == DRAW_MODERN) {
        s.program = d->ProgramFromSource("scene6.particles", scenePlaceVertex, pictureAndParticles);
        s.target = d->MakeTarget(0, 0, DRAW_TARGET_HALF);
    }
    if (kept) return 1;
    const char* paths[3] = {"tarnis_4.tga", "particletex.tga", "wobble.rgs"};
    LoadSceneTextures(s.textures, paths, 3);
    return s.particles.InitWithRespawn(1500, s.textures[1], SpiralRespawn);
}

void Scene6(const SceneFrame& f, WobbleScene& state) {
    static const TrackHandle fadeLength = Tracks_Intern("scene6.fade.length"),
                             red = Tracks_Intern("scene6.tube.red"),
                             green = Tracks_Intern("scene6.tube.green"),
                             blue = Tracks_Intern("scene6.tube.blue"),
                             depth = Tracks_Intern("scene6.tube.depth"),
                             speed = Tracks_Intern("scene6.tube.speed"),
                             growth = Tracks_Intern("scene6.tube.growth");
    const Draw* d = f.draw;
    WobbleScene* s = &state;
    float t = SceneTime(f.musicTime);
    BeginSceneFrame(d);
    if (AdvanceSceneClock(&s->clock, t)) s->phase = s->amplitude = s->fade = 0.0f;
    d->LoadIdentity();
    UpdateFade(&s->fade, &s->clock, t, f.Param(fadeLength, 5000.0f));

    ZELKOR_Texture* picture = s->textures[0];
    ParticleSystem* ps = &s->particles;
    int split = d->renderer == DRAW_MODERN && s->program && s->target && ps->Ready() && picture &&
                picture->pixels;
    if (split) {
        d->DrawInto(s->target);
        d->Clear(DRAW_COLOR_BUFFER_BIT);
        d->Disable(DRAW_DEPTH_TEST);
        d->Enable(DRAW_BLEND);
        d->BlendFunc(DRAW_SRC_ALPHA, DRAW_ONE);
        ps->Update(f.elapsed);
        ps->Render(d, 0.0f, 0.0f, -50.0f, 1);
        d->DrawInto(0);
        d->LoadIdentity();
        d->BlendFunc(DRAW_ONE, DRAW_ONE); // the program has weighed the picture by its alpha
        d->Color4f(1.0f, 1.0f, 1.0f, s->fade);
        BindHolder(d, picture);
        d->UseProgram(s->program);
        d->UniformTexture("particles", 1, d->TargetTexture(s->target));
        DrawBackdrop(d);
        d->UseProgram(0);
        d->BlendFunc(DRAW_SRC_ALPHA, DRAW_ONE);
    } else {
        DrawFadedBackdrop(d, picture, s->fade);
    }

    // The tube runs from depth -20 to -5.
    d->Color4f(f.Param(red, 0.4f), f.Param(green, 0.6f), f.Param(blue, 1.0f), s->fade);
    ComputeWobbleTube(s->tube, s->phase, s->amplitude);
    DrawWobbleTube(d, s->tube, s->textures[2], 0.0f, 0.0f, f.Param(depth, -20.0f), 0.0f, 0.0f,
                   0.0f);

    d->LoadIdentity();
    if (split) {
        const Particle& last = ps->particles[ps->count - 1]; // the state Render leaves
        BindHolder(d, ps->texture);
        d->Color4f(last.colour[0], last.colour[1], last.colour[2], last.life);
        d->TexCoord2d(0.0, 0.0);
    } else {
        ps->Update(f.elapsed);
        ps->Render(d, 0.0f, 0.0f, -50.0f, 1);
    }
    s->phase = (float)(s->phase + s->clock.dt * f.Param(speed, 0.005));
    s->amplitude = (float)(s->amplitude + s->clock.dt * f.Param(growth, 0.0005)); // unbounded
}
