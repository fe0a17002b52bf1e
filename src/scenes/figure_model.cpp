#include "scenes/figure_model.h"

#include "platform/draw.h"
#include "scenes/scene_kit.h"

namespace {

struct FigureQuad {
    float normal[3]; // not unit length; lighting is never on
    float v[4][5];   // s, t, x, y, z
};

// Torso, leg A (upper, lower), leg B, arm A, arm B (the lower one raised), head.
// The head's t runs from its top down, the other way from the body's quads.
const FigureQuad figureMesh[10] = {
    {{0, 0, 1},
     {{0, 1, -0.4f, 0.6f, -0.1f},
      {1, 1, 0.4f, 0.6f, -0.1f},
      {1, 0, 0.4f, -0.6f, 0},
      {0, 0, -0.4f, -0.6f, 0}}},
    {{0, -0.6f, 1},
     {{0, 1, -0.4f, -0.65f, 0},
      {1, 1, -0.05f, -0.65f, 0},
      {1, 0, -0.05f, -1.1f, 0.5f},
      {0, 0, -0.4f, -1.1f, 0.5f}}},
    {{0, -1, 1},
     {{0, 1, -0.4f, -1.15f, 0.5f},
      {1, 1, -0.05f, -1.15f, 0.5f},
      {1, 0, -0.05f, -1.6f, 0.1f},
      {0, 0, -0.4f, -1.6f, 0.1f}}},
    {{0, -0.9f, 1},
     {{0, 1, 0.4f, -0.65f, 0},
      {1, 1, 0.05f, -0.65f, 0},
      {1, 0, 0.05f, -1.1f, -0.1f},
      {0, 0, 0.4f, -1.1f, -0.1f}}},
    {{0, -1.3f, 1},
     {{0, 1, 0.4f, -1.15f, -0.1f},
      {1, 1, 0.05f, -1.15f, -0.1f},
      {1, 0, 0.05f, -1.6f, -0.4f},
      {0, 0, 0.4f, -1.6f, -0.4f}}},
    {{0, 0.3f, 1},
     {{0, 1, 0.43f, 0.6f, -0.1f},
      {1, 1, 0.7f, 0.6f, -0.1f},
      {1, 0, 0.7f, 0.05f, 0.1f},
      {0, 0, 0.43f, 0.05f, 0.1f}}},
    {{0, 0.2f, 1},
     {{0, 1, 0.43f, 0, 0.13f},
      {1, 1, 0.7f, 0, 0.13f},
      {1, 0, 0.7f, -0.35f, 0.6f},
      {0, 0, 0.43f, -0.35f, 0.6f}}},
    {{0, 0.4f, 1},
     {{0, 1, -0.43f, 0.6f, -0.13f},
      {1, 1, -0.7f, 0.6f, -0.13f},
      {1, 0, -0.7f, 0.2f, 0.3f},
      {0, 0, -0.43f, 0.2f, 0.3f}}},
    {{0, 0.3f, 1},
     {{0, 1, -0.43f, 0.21f, 0.32f},
      {1, 1, -0.7f, 0.21f, 0.32f},
      {1, 0, -0.7f, 0.45f, 0.7f},
      {0, 0, -0.43f, 0.45f, 0.7f}}},
    {{0, 0.3f, 1},
     {{0, 0, -0.2f, 1.05f, -0.23f},
      {1, 0, 0.2f, 1.05f, -0.23f},
      {1, 1, 0.2f, 0.65f, -0.13f},
      {0, 1, -0.2f, 0.65f, -0.13f}}},
};

// One quad batch holding quads first..last (1-based, as in the table above).
void DrawQuads(const Draw* d, int first, int last) {
    d->Begin(DRAW_QUADS);
    for (int q = first - 1; q < last; q++) {
        const FigureQuad& quad = figureMesh[q];
        d->Normal3f(quad.normal[0], quad.normal[1], quad.normal[2]);
        for (const float* v : quad.v) {
            d->TexCoord2f(v[0], v[1]);
            d->Vertex3f(v[2], v[3], v[4]);
        }
    }
    d->End();
}

} // namespace

void DrawFigureRigid(const Draw* d, ZELKOR_Texture* body, ZELKOR_Texture* head) {
    d->Scalef(1.5f, 1.5f, 1.5f);
    BindHolder(d, body);
    DrawQuads(d, 1, 9);
    BindHolder(d, head);
    DrawQuads(d, 10, 10);
}

void DrawFigure(const Draw* d, ZELKOR_Texture* body, ZELKOR_Texture* head, float swing) {
    d->Scalef(1.5f, 1.5f, 1.5f);
    BindHolder(d, body);
    d->Rotatef(swing, 1.0f, 0.0f, 0.0f);
    DrawQuads(d, 1, 1);
    d->Rotatef(-swing, 1.0f, 0.0f, 0.0f);
    DrawQuads(d, 2, 8);
    DrawQuads(d, 9, 9);
    BindHolder(d, head);
    d->Rotatef(swing, 1.0f, 0.0f, 0.0f);
    DrawQuads(d, 10, 10);
    d->Rotatef(-swing, 1.0f, 0.0f, 0.0f);
}
