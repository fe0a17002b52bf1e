#include "scenes/line_scenes.h"

#include "platform/draw.h"
#include "sequencing/scene_set.h"

#include <string>

ZELKOR_SCENE("scene1", LineScene, Scene1, PrepareScene1);
ZELKOR_SCENE("scene8", LineScene, Scene8, PrepareScene8);
ZELKOR_SCENE("creditsend", LineScene, CreditsEnd, PrepareCreditsEnd);

// On the modern backend each stroke is drawn once at twice the light: the
// fixed calls draw it there and back (a two-vertex loop), adding it twice,
// which clamped at white is the same sum. All strokes are one primitive.
static const char* const twiceAsBright = R"(
varying vec4 vColour;
varying vec2 vTexCoord;
uniform sampler2D picture;
void main() {
    vec4 texel = texture2D(picture, vTexCoord);
    gl_FragColor = vec4(2.0 * vColour.rgb * texel.rgb * (vColour.a * texel.a), 1.0);
}
)";

static void PrepareStrokes(LineScene* s) {
    const Draw* d = Draw_Current();
    s->program = d->renderer == DRAW_MODERN
                     ? d->ProgramFromSource("lines.strokes", nullptr, twiceAsBright)
                     : 0;
}

static void DrawStrokes(const Draw* d, const LineSystem& lines, uint32_t program, float cx,
                        float cy, float cz) {
    d->UseProgram(program);
    d->BlendFunc(DRAW_ONE, DRAW_ONE); // the program has weighed the light by its alpha
    d->LineWidth(3.0f);
    d->Begin(DRAW_LINES);
    for (int i = 1; i < lines.count - 1; i++) {
        const Particle* a = &lines.particles[i];
        const Particle* b = &lines.particles[i + 1];
        d->Color4f(a->colour[0], a->colour[1], a->colour[2], a->life);
        d->Vertex3f(cx + a->position[0], cy + a->position[1], cz + a->position[2]);
        d->Vertex3f(cx + b->position[0], cy + b->position[1], cz + b->position[2]);
    }
    d->End();
    d->UseProgram(0);
    d->BlendFunc(DRAW_SRC_ALPHA, DRAW_ONE);
}

static int PrepareLines(LineScene* s, const char* picture, float r, float g, float b) {
    s->picture = SceneTexture(picture);
    return s->lines.Init(500, r, g, b);
}

int PrepareScene1(LineScene& s, int kept) {
    PrepareStrokes(&s); // made again at every preparation
    return kept || PrepareLines(&s, "tarnis_credits.tga", 0.7f, 0.7f, 1.0f);
}
int PrepareScene8(LineScene& s, int kept) {
    PrepareStrokes(&s);
    return kept || PrepareLines(&s, "tarnis_6.tga", 1.0f, 1.0f, 1.0f);
}
int PrepareCreditsEnd(LineScene& s, int kept) {
    PrepareStrokes(&s);
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
        float y = f.Param(p.y, -2.2f), z = f.Param(p.depth, -10.0f);
        if (d->renderer == DRAW_MODERN && s->program && s->lines.count > 2) {
            DrawStrokes(d, s->lines, s->program, 0.0f, y, z);
            const Particle& last = s->lines.particles[s->lines.count - 2];
            d->Color4f(last.colour[0], last.colour[1], last.colour[2], last.life); // as left
        } else {
            s->lines.Render(d, 0.0f, y, z);
        }
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
