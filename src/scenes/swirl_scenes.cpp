#include "scenes/swirl_scenes.h"

#include "platform/draw.h"
#include "textures/texture.h"
#include "sequencing/scene_set.h"

#include <cmath>
#include <string>

ZELKOR_SCENE("scene2", SwirlScene, Scene2, PrepareScene2);
ZELKOR_SCENE("scene7", SwirlScene, Scene7, PrepareScene7);

static int PrepareSwirl(SwirlScene* s, const char* picture) {
    const char* paths[2] = {picture, "particletex.tga"};
    LoadSceneTextures(s->textures, paths, 2);
    return s->particles.Init(1500, s->textures[1]);
}

// On the modern backend the particles are drawn at half the picture's size
// (soft blobs a few tens of pixels across, so little is lost), and the
// darkening, the picture and the particles are one pass: each pixel is read
// once, multiplied by the trail and added the picture and the particles.
// Additions clamped at white come out alike in any order.
static const char* const darkenAndAdd = R"(
varying vec4 vColour;
varying vec2 vTexCoord;
varying vec2 vPlace;
uniform sampler2D picture;
uniform sampler2D particles;
void main() {
    vec4 texel = texture2D(picture, vTexCoord);
    vec3 lit = vColour.rgb * texel.rgb * texel.a + texture2D(particles, vPlace).rgb;
    gl_FragColor = vec4(lit, vColour.a * texel.a);
}
)";

static void PrepareSwirlPass(SwirlScene* s) {
    const Draw* d = Draw_Current();
    s->program = s->target = 0;
    if (d->renderer == DRAW_MODERN) {
        s->program = d->ProgramFromSource("swirl.darken", scenePlaceVertex, darkenAndAdd);
        s->target = d->MakeTarget(0, 0, DRAW_TARGET_HALF);
    }
}

int PrepareScene2(SwirlScene& s, int kept) {
    PrepareSwirlPass(&s); // made again at every preparation
    return kept || PrepareSwirl(&s, "tarnis_logo.tga");
}
int PrepareScene7(SwirlScene& s, int kept) {
    PrepareSwirlPass(&s);
    return kept || PrepareSwirl(&s, "tarnis_5.tga");
}

// What a maker may tune: how much of the old frame stays, the particles'
// spin and distance, the picture's brightness, the orbit's step per frame.
struct SwirlParams {
    TrackHandle trail, spin, distance, brightness, orbit;
};

static SwirlParams SwirlParamsOf(const char* scene) {
    std::string n = scene;
    return {Tracks_Intern((n + ".trail").c_str()), Tracks_Intern((n + ".particles.spin").c_str()),
            Tracks_Intern((n + ".camera.distance").c_str()),
            Tracks_Intern((n + ".picture.brightness").c_str()),
            Tracks_Intern((n + ".orbit.step").c_str())};
}

static void SwirlParticles(SwirlScene* s, const SceneFrame& f, const SwirlParams& p,
                           ParticleSystem* ps) {
    const Draw* d = f.draw;
    d->PushMatrix();
    d->LoadIdentity();
    d->Translatef(0.0f, 0.0f, -f.Param(p.distance, 20.0f));
    d->BlendFunc(DRAW_SRC_ALPHA, DRAW_ONE);
    if (ps) {
        ps->Update(f.elapsed);
        ps->Render(d, (float)(5.0 * sin(s->orbitPhase)), (float)(5.0 * cos(s->orbitPhase)), 0.0f,
                   0);
    }
    d->PopMatrix();
}

// No clear: the previous image is darkened and drawn over.
static void RunSwirl(SwirlScene* s, const SceneFrame& f, const SwirlParams& p) {
    const Draw* d = f.draw;
    float t = SceneTime(f.musicTime);
    AdvanceSceneClock(&s->clock, t);
    d->LoadIdentity();
    ParticleSystem* ps = s->particles.Ready() ? &s->particles : nullptr;
    float spin = f.Param(p.spin, 0.4f);
    if (ps) ps->rotationSpeed = t - s->clock.start < 5000.0f ? spin : -spin;

    float trail = f.Param(p.trail, 0.7f), brightness = f.Param(p.brightness, 0.3f);
    d->Disable(DRAW_DEPTH_TEST);
    d->Enable(DRAW_BLEND);
    ZELKOR_Texture* picture = s->textures[0];
    if (d->renderer == DRAW_MODERN && s->program && s->target && picture && picture->pixels) {
        d->DrawInto(s->target);
        d->Clear(DRAW_COLOR_BUFFER_BIT);
        SwirlParticles(s, f, p, ps);
        d->DrawInto(0);
        // The picture darkens by its own alpha: the texture bound when the
        // layers darken, but for the first frame of a run.
        BindHolder(d, picture);
        d->BlendFunc(DRAW_ONE, DRAW_SRC_ALPHA);
        d->Color4f(brightness, brightness, brightness, trail);
        d->UseProgram(s->program);
        d->UniformTexture("particles", 1, d->TargetTexture(s->target));
        DrawBackdrop(d);
        d->UseProgram(0);
        // The state the layers leave.
        d->BlendFunc(DRAW_SRC_ALPHA, DRAW_ONE);
        d->TexCoord2f(0.0f, 1.0f);
        d->Color4f(brightness, brightness, brightness, 1.0f);
    } else {
        // Multiplies the old frame by the trail times the alpha of whatever
        // texture is bound (normally this picture, from the previous frame).
        d->BlendFunc(DRAW_ZERO, DRAW_SRC_ALPHA);
        d->Color4f(1.0f, 1.0f, 1.0f, trail);
        DrawBackdrop(d);
        SwirlParticles(s, f, p, ps);
        BindHolder(d, picture);
        d->Color4f(brightness, brightness, brightness, 1.0f);
        DrawBackdrop(d);
    }
    s->orbitPhase =
        (float)(s->orbitPhase + f.Param(p.orbit, 0.1)); // per call, not per unit of time
}

void Scene2(const SceneFrame& f, SwirlScene& s) {
    static const SwirlParams params = SwirlParamsOf("scene2");
    RunSwirl(&s, f, params);
}
void Scene7(const SceneFrame& f, SwirlScene& s) {
    static const SwirlParams params = SwirlParamsOf("scene7");
    RunSwirl(&s, f, params);
}
