// The null backend: draws nothing, so scenes run their own state (clocks,
// particles, random numbers) exactly as when drawn, at no GL cost. It keeps
// the render state the calls leave (what GL would carry into the next frame)
// so drawing can resume where a run that drew every frame would stand.
#include "platform/draw.h"

namespace {

DrawCarried carried;
// The frame began with a full clear, before anything was drawn in it.
int painted = 0, clearedFirst = 0;
// How much of the picture before it the frame keeps at most: what its first
// drawing multiplies the picture by (a fade: zero times the source, plus the
// destination times the source's alpha, with a colour's alpha the most it
// can be), else all of it. The last frame's, once told.
float firstKeeps = 1.0f, lastKeeps = 1.0f;

int Start() {
    return 1;
}
void Nothing() {}
void Perspective(double, double, double, double) {}
void LookAt(double, double, double, double, double, double, double, double, double) {}
void Rect(int, int, int, int) {}
void Clear(unsigned mask) {
    const unsigned full = DRAW_COLOR_BUFFER_BIT | DRAW_DEPTH_BUFFER_BIT;
    if (!painted && (mask & full) == full) clearedFirst = 1;
}
int Enabled(unsigned capability);
void Begin(unsigned) {
    if (!painted) {
        const DrawCarried& c = carried;
        int fade = Enabled(DRAW_BLEND) && c.blend && c.blendSource == DRAW_ZERO &&
                   c.blendDestination == DRAW_SRC_ALPHA && c.colour;
        firstKeeps = fade && c.rgba[3] >= 0.0f && c.rgba[3] < 1.0f ? c.rgba[3] : 1.0f;
    }
    painted = 1;
}
void ClearBars(int, int, int, int, int, int, int) {}
void Int2(int, int) {}
void Float3(float, float, float) {}
void Float4(float, float, float, float) {}

void SetCapability(unsigned capability, int on) {
    DrawCarried& c = carried;
    int i = 0;
    while (i < c.capabilities && c.capability[i] != capability) i++;
    if (i == DRAW_CARRIED_CAPABILITIES) return; // more kinds than the scenes use
    if (i == c.capabilities) c.capabilities++;
    c.capability[i] = capability;
    c.on[i] = on;
}
int Enabled(unsigned capability) {
    for (int i = 0; i < carried.capabilities; i++)
        if (carried.capability[i] == capability) return carried.on[i];
    return 0;
}
void Enable(unsigned capability) {
    SetCapability(capability, 1);
}
void Disable(unsigned capability) {
    SetCapability(capability, 0);
}
void BlendFunc(unsigned source, unsigned destination) {
    carried.blend = 1;
    carried.blendSource = source, carried.blendDestination = destination;
}
void PolygonMode(int mode) {
    carried.polygon = 1;
    carried.polygonMode = mode;
}
void NicestPerspective() {
    carried.nicest = 1;
}
void LineWidth(float width) {
    carried.line = 1;
    carried.lineWidth = width;
}
void PointSize(float size) {
    carried.point = 1;
    carried.pointSize = size;
}
void Color4f(float r, float g, float b, float a) {
    carried.colour = 1;
    carried.rgba[0] = r, carried.rgba[1] = g, carried.rgba[2] = b, carried.rgba[3] = a;
}
void Color3f(float r, float g, float b) {
    Color4f(r, g, b, 1.0f);
}
void Normal3f(float x, float y, float z) {
    carried.normal = 1;
    carried.xyz[0] = x, carried.xyz[1] = y, carried.xyz[2] = z;
}
void TexCoord2d(double s, double t) {
    carried.texCoord = 1;
    carried.st[0] = s, carried.st[1] = t;
}
void TexCoord2f(float s, float t) {
    TexCoord2d(s, t);
}
uint32_t UploadTexture(uint32_t name, const DrawImage*, int) {
    return name;
}
void BindTexture(uint32_t name) {
    carried.texture = 1;
    carried.textureName = name;
}
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
    .Begin = Begin,
    .End = Nothing,
    .Vertex3f = Float3,
    .TexCoord2f = TexCoord2f,
    .TexCoord2d = TexCoord2d,
    .Color3f = Color3f,
    .Color4f = Color4f,
    .Normal3f = Normal3f,
    .LoadIdentity = Nothing,
    .PushMatrix = Nothing,
    .PopMatrix = Nothing,
    .Translatef = Float3,
    .Rotatef = Float4,
    .Scalef = Float3,
    .Enable = Enable,
    .Disable = Disable,
    .BlendFunc = BlendFunc,
    .PolygonMode = PolygonMode,
    .NicestPerspective = NicestPerspective,
    .LineWidth = LineWidth,
    .PointSize = PointSize,
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

DrawCarried* Draw_NullCarried() {
    return &carried;
}

int Draw_NullFrameStandsAlone() {
    int alone = clearedFirst;
    lastKeeps = alone ? 0.0f : painted ? firstKeeps : 1.0f;
    painted = clearedFirst = 0;
    firstKeeps = 1.0f;
    return alone;
}

float Draw_NullFrameKeeps() {
    return lastKeeps;
}

void Draw_NullForget() {
    carried = DrawCarried();
}

void Draw_NullCarry(const Draw* d) {
    const DrawCarried& c = carried;
    for (int i = 0; i < c.capabilities; i++) (c.on[i] ? d->Enable : d->Disable)(c.capability[i]);
    if (c.blend) d->BlendFunc(c.blendSource, c.blendDestination);
    if (c.polygon) d->PolygonMode(c.polygonMode);
    if (c.nicest) d->NicestPerspective();
    if (c.line) d->LineWidth(c.lineWidth);
    if (c.point) d->PointSize(c.pointSize);
    if (c.texture) d->BindTexture(c.textureName);
    if (c.colour) d->Color4f(c.rgba[0], c.rgba[1], c.rgba[2], c.rgba[3]);
    if (c.normal) d->Normal3f(c.xyz[0], c.xyz[1], c.xyz[2]);
    if (c.texCoord) d->TexCoord2d(c.st[0], c.st[1]);
    Draw_NullForget();
}
