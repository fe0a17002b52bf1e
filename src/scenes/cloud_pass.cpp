// The cloud stack in one pass, for the modern backend: each pixel finds where
// it falls on every layer (a plane square to the view, so the mapping is
// affine in the picture), sums their texels and writes once, instead of 32
// blended quads over the whole view.
#include "scenes/cloud_scene.h"

#include "platform/draw.h"
#include "textures/texture.h"

#include <cmath>

// The layers' planes are square to the view axis, so on layer k a pixel's
// point is its ray times the layer's distance, less the orbit's offset,
// turned back by the layer's (k + 1) turns. The projection is the show's:
// 45 degrees over the picture's aspect, near plane 0.1, far 1000.
//
// Each layer, seen from the eye, is the first one scaled down about the view
// axis (the next lies a unit further), so a pixel outside the circle about
// one layer's corners is outside every layer after it: the loop ends there.
static const char* const cloudShader = R"(
varying vec4 vColour;
varying vec2 vTexCoord;
uniform sampler2D cloud;
uniform vec2 resolution;
uniform vec4 stack; // orbit offset x and y, first layer's distance, step
uniform vec2 turn;  // cosine and sine of one layer's turn
uniform vec4 quad;  // half width, half height, their circle's radius squared
void main() {
    float tangent = 0.41421356;
    vec2 ray = (vTexCoord * 2.0 - 1.0) * vec2(tangent * resolution.x / resolution.y, tangent);
    vec3 sum = vec3(0.0);
    vec2 cs = turn;
    float distance = stack.z;
    for (int k = 0; k < 32; k++) {
        vec2 p = ray * distance - stack.xy;
        float near = step(0.1, distance) * step(distance, 1000.0);
        if (near > 0.0 && dot(p, p) > quad.w) break;
        vec2 local = vec2(cs.x * p.x + cs.y * p.y, cs.x * p.y - cs.y * p.x);
        vec2 inside = step(abs(local), quad.xy);
        vec4 texel = texture2D(cloud, (local + quad.xy) / quad.xy, -2.0);
        sum += texel.rgb * (texel.a * inside.x * inside.y * near);
        cs = vec2(cs.x * turn.x - cs.y * turn.y, cs.y * turn.x + cs.x * turn.y);
        distance += stack.w;
    }
    gl_FragColor = vec4(sum * vColour.rgb * vColour.a, 1.0);
}
)";

void PrepareCloudPass(const Draw* d, CloudScene* s) {
    s->program = s->target = 0;
    if (d->renderer != DRAW_MODERN) return;
    s->program = d->ProgramFromSource("scene3.clouds", nullptr, cloudShader);
    s->target = d->MakeTarget(0, 0, DRAW_TARGET_QUARTER);
}

// The pass draws the stack as it stands when every layer turns alike, is the
// same size and texture, and the layers lie one unit apart (as they are made
// and moved); 0 leaves a stack that is not so to the layer-by-layer drawing.
int CloudPass(const Draw* d, const CloudScene& s, float orbitX, float orbitY) {
    const CloudLayer* l = s.layers;
    if (!s.program || !s.target || !l[0].texture || !l[0].texture->pixels)
        return 0; // an unloaded one
    const float step = l[1].z - l[0].z;
    for (int k = 1; k < 32; k++) {
        const CloudLayer& c = l[k];
        if (c.angle != l[0].angle || c.alpha != l[0].alpha || c.width != l[0].width ||
            c.height != l[0].height || c.x != 0.0f || c.y != 0.0f || c.texture != l[0].texture ||
            fabsf(c.z - (l[0].z + step * k)) > 1e-3f)
            return 0;
    }
    if (l[0].x != 0.0f || l[0].y != 0.0f || !(step < 0.0f)) return 0; // centred, going away
    const double radians = l[0].angle * 3.14159265358979323846 / 180.0;
    const float stack[4] = {orbitX, orbitY, -l[0].z, -step};
    const float turn[2] = {(float)cos(radians), (float)sin(radians)};
    // The circle a little wider than the corners, so that no pixel next to
    // one whose loop ended reads a texel.
    const float w = l[0].width * 0.5f, h = l[0].height * 0.5f;
    const float quad[4] = {w, h, 0.0f, (w * w + h * h) * 1.1f};
    d->UseProgram(s.program);
    d->Uniform("stack", 4, stack);
    d->Uniform("turn", 2, turn);
    d->Uniform("quad", 4, quad);
    d->UniformTexture("cloud", 1, l[0].texture->glName);
    // The clouds are soft: a sixteenth of the pixels, sampled as sharply as
    // the whole picture's (the shader's bias), then spread over it.
    d->DrawInto(s.target);
    d->Disable(DRAW_BLEND);
    d->Pass(s.program, 0);
    d->UseProgram(0);
    d->DrawInto(0);
    d->Enable(DRAW_BLEND);
    d->BlendFunc(DRAW_ONE, DRAW_ONE); // the shader has weighed each texel by its alpha
    d->Color4f(1.0f, 1.0f, 1.0f, 1.0f);
    d->Pass(0, s.target);
    d->BlendFunc(DRAW_SRC_ALPHA, DRAW_ONE);
    return 1;
}
