// "glow": the backdrop picture and a star of light over it, turning at the
// pace of the track "glow.spin" (tracks.txt) and flaring on every beat.
#include "zelkor/zelkor.h"

#include <cmath>

// The star's colour: change it while `zelkor play` runs, rebuild, and the
// new colour plays on at the same music time, the star where it was.
static const float kColour[3] = {1.0f, 0.55f, 0.2f};

// What the scene keeps from frame to frame. The engine owns it: it saves it
// for exact seeks and keeps it across a rebuild while the record stays the
// same (give it `static constexpr int version = 2;` when a field changes its
// meaning but not its size). No pointers into this file's code or data.
struct Glow {
    ZELKOR_Texture* picture;
    float angle; // degrees, turned on frame by frame
};

static int PrepareGlow(Glow& s, int) {
    // Asked at every preparation (the same record each time), so a rebuild
    // that names another picture shows it. A kept record's angle is left
    // as it was: the star turns on from where it was.
    s.picture = SceneTexture("backdrop.tga");
    return 1;
}

static void DrawGlow(const SceneFrame& frame, Glow& s) {
    const Draw* d = frame.draw;
    // Named once; each frame's lookup is then an index.
    static const TrackHandle spinTrack = Tracks_Intern("glow.spin");
    s.angle += (float)frame.delta * 0.03f * frame.Param(spinTrack, 1.0f); // 30 degrees a second

    BeginSceneFrame(d);
    d->Disable(DRAW_DEPTH_TEST);
    d->Disable(DRAW_BLEND);
    d->Enable(DRAW_TEXTURE_2D);
    d->Color4f(1.0f, 1.0f, 1.0f, 1.0f);
    BindHolder(d, s.picture);
    DrawBackdrop(d);

    // Twelve rays, added onto the picture, longest on the beat.
    d->Disable(DRAW_TEXTURE_2D);
    d->Enable(DRAW_BLEND);
    d->BlendFunc(DRAW_SRC_ALPHA, DRAW_ONE);
    d->LoadIdentity();
    d->Translatef(0.0f, 0.0f, -8.0f);
    d->Rotatef(s.angle, 0.0f, 0.0f, 1.0f);
    float flare = 1.0f - frame.beatPhase;
    float length = 3.2f * (0.75f + 0.35f * flare * flare);
    d->Begin(DRAW_TRIANGLES);
    for (int i = 0; i < 12; i++) {
        float a = (float)i * 0.5235988f, b = a + 0.12f;
        d->Color4f(kColour[0], kColour[1], kColour[2], 0.9f);
        d->Vertex3f(0.0f, 0.0f, 0.0f);
        d->Color4f(kColour[0], kColour[1], kColour[2], 0.0f);
        d->Vertex3f(length * std::cos(a), length * std::sin(a), 0.0f);
        d->Vertex3f(length * std::cos(b), length * std::sin(b), 0.0f);
    }
    d->End();
    d->Disable(DRAW_BLEND);
}

ZELKOR_SCENE("glow", Glow, DrawGlow, PrepareGlow);
