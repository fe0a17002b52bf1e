// The null backend: every call does nothing, so scenes run their own state
// (clocks, particles, random numbers) exactly as when drawn, at no GL cost.
#include "platform/draw.h"

namespace {

int Start() {
    return 1;
}
void Nothing() {}
void Perspective(double, double, double, double) {}
void LookAt(double, double, double, double, double, double, double, double, double) {}
void Rect(int, int, int, int) {}
void Clear(unsigned) {}
void ClearBars(int, int, int, int, int, int, int) {}
void Int(int) {}
void Int2(int, int) {}
void Float(float) {}
void Float2(float, float) {}
void Double2(double, double) {}
void Float3(float, float, float) {}
void Float4(float, float, float, float) {}
void Unsigned(unsigned) {}
void Unsigned2(unsigned, unsigned) {}
uint32_t UploadTexture(uint32_t name, const DrawImage*, int) {
    return name;
}
void BindTexture(uint32_t) {}
int NoSide() {
    return 0;
}

const Draw nullDraw = {
    .renderer = DRAW_NULL,
    .name = "null",
    .Start = Start,
    .Stop = Nothing,
    .InitialState = Nothing,
    .Perspective = Perspective,
    .LookAt = LookAt,
    .Viewport = Rect,
    .Clear = Clear,
    .ClearBars = ClearBars,
    .Flush = Nothing,
    .Submit = Nothing,
    .Begin = Unsigned,
    .End = Nothing,
    .Vertex3f = Float3,
    .TexCoord2f = Float2,
    .TexCoord2d = Double2,
    .Color3f = Float3,
    .Color4f = Float4,
    .Normal3f = Float3,
    .LoadIdentity = Nothing,
    .PushMatrix = Nothing,
    .PopMatrix = Nothing,
    .Translatef = Float3,
    .Rotatef = Float4,
    .Scalef = Float3,
    .Enable = Unsigned,
    .Disable = Unsigned,
    .BlendFunc = Unsigned2,
    .PolygonMode = Int,
    .NicestPerspective = Nothing,
    .LineWidth = Float,
    .PointSize = Float,
    .UploadTexture = UploadTexture,
    .BindTexture = BindTexture,
    .MaxTextureSide = NoSide,
    .BeginOverlay = Int2,
    .EndOverlay = Nothing,
};

} // namespace

const Draw* Draw_Null() {
    return &nullDraw;
}
