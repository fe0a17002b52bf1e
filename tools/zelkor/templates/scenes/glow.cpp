// "glow": the backdrop picture, and a star of light turning over it. Its
// spin follows the parameter track "glow.spin" (tracks.txt).
#include "scenes.h"

#include "platform/draw.h"
#include "scenes/scene_kit.h"

#include <cmath>

// The star's colour: change it while `zelkor play --scenes` runs, rebuild,
// and the new colour plays on at the same music time.
static const float kColour[3] = {1.0f, 0.55f, 0.2f};

static ZELKOR_Texture* pictures[1];

int PrepareGlow() {
    static const char* const paths[1] = {"backdrop.tga"};
    LoadSceneTextures(pictures, paths, 1);
    return 1;
}

void Glow(const SceneFrame& frame) {
    const Draw* d = frame.draw;
    float seconds = (float)frame.musicTime / 1000.0f;
    // Named once; each frame's lookup is then an index.
    static const TrackHandle spinTrack = Tracks_Intern("glow.spin");
    float spin = frame.Param(spinTrack, 1.0f);

    BeginSceneFrame(d);
    d->Disable(DRAW_DEPTH_TEST);
    d->Disable(DRAW_BLEND);
    d->Enable(DRAW_TEXTURE_2D);
    d->Color4f(1.0f, 1.0f, 1.0f, 1.0f);
    BindHolder(d, pictures[0]);
    DrawBackdrop(d);

    // Twelve rays, added onto the picture.
    d->Disable(DRAW_TEXTURE_2D);
    d->Enable(DRAW_BLEND);
    d->BlendFunc(DRAW_SRC_ALPHA, DRAW_ONE);
    d->LoadIdentity();
    d->Translatef(0.0f, 0.0f, -8.0f);
    d->Rotatef(seconds * 30.0f * spin, 0.0f, 0.0f, 1.0f);
    float pulse = 0.75f + 0.25f * std::sin(seconds * 3.0f);
    d->Begin(DRAW_TRIANGLES);
    for (int i = 0; i < 12; i++) {
        float a = (float)i * 0.5235988f, b = a + 0.12f;
        d->Color4f(kColour[0], kColour[1], kColour[2], 0.9f);
        d->Vertex3f(0.0f, 0.0f, 0.0f);
        d->Color4f(kColour[0], kColour[1], kColour[2], 0.0f);
        d->Vertex3f(3.2f * pulse * std::cos(a), 3.2f * pulse * std::sin(a), 0.0f);
        d->Vertex3f(3.2f * pulse * std::cos(b), 3.2f * pulse * std::sin(b), 0.0f);
    }
    d->End();
    d->Disable(DRAW_BLEND);
}
