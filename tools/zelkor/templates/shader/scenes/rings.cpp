// "rings": a fragment-shader effect on the beat, finished by a glow. Three
// programs of shaders/, each run as a pass over all it draws into:
// rings.frag paints the rings over the backdrop into a target the size of
// the picture, blur.frag blurs its bright parts into a small target, and
// glow.frag puts the two together onto the picture, the glow as strong as
// the track "glow.strength" (tracks.txt) says.
#include "zelkor/zelkor.h"

// The rings' tint: rings.frag mixes it into its colours.
static const float kTint[3] = {1.0f, 0.75f, 0.5f};

// What the scene keeps from frame to frame. The engine owns it, saves it
// for exact seeks and keeps it across a rebuild while it stays the same.
struct Rings {
    ZELKOR_Texture* backdrop;
    // Made again at every preparation, kept or not: a rebuild deletes the
    // programs and targets the scenes before it made.
    uint32_t rings, blur, glow; // programs
    uint32_t scene, bright;     // render targets
};

static int PrepareRings(Rings& s, int) {
    s.backdrop = SceneTexture("backdrop.tga"); // the same record at every call
    const Draw* d = Draw_Current();
    s.rings = d->ProgramFromFiles("rings");
    s.blur = d->ProgramFromFiles("blur");
    s.glow = d->ProgramFromFiles("glow");
    s.scene = d->MakeTarget(0, 0, 0); // the picture's size, following the window
    // A glow is soft: a quarter of the picture's width does, at a sixteenth
    // of the cost (13 reads a pixel at 800x600 take some 33 ms on llvmpipe).
    s.bright = d->MakeTarget(200, 150, 0);
    return s.rings && s.blur && s.glow && s.scene && s.bright;
}

static void DrawRings(const SceneFrame& frame, Rings& s) {
    const Draw* d = frame.draw;
    d->Disable(DRAW_BLEND);
    d->Disable(DRAW_DEPTH_TEST);
    d->Color4f(1.0f, 1.0f, 1.0f, 1.0f);

    // The rings over the backdrop (time, beat and resolution are set for
    // every program), into the scene's target.
    d->DrawInto(s.scene);
    d->UseProgram(s.rings);
    d->Uniform("tint", 3, kTint);
    d->UniformTexture("backdrop", 1, s.backdrop ? s.backdrop->glName : 0);
    d->Pass(s.rings, 0);

    // Its bright parts, blurred, into the small target.
    d->DrawInto(s.bright);
    d->Pass(s.blur, s.scene);

    // The picture: the scene with its glow added. The strength set here
    // holds where the track glow.strength has no keys. With the depth
    // cleared, the pass covers all: the frame owes nothing to the one before,
    // so seeks and captures draw only it.
    d->DrawInto(0);
    d->Clear(DRAW_DEPTH_BUFFER_BIT);
    d->UseProgram(s.glow);
    static const float strength = 1.0f;
    d->Uniform("strength", 1, &strength);
    d->UniformTexture("glow", 1, d->TargetTexture(s.bright));
    d->Pass(s.glow, s.scene);
    d->UseProgram(0);
}

ZELKOR_SCENE("rings", Rings, DrawRings, PrepareRings);
