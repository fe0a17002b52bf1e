// The null backend: draws nothing, so scenes run their own state (clocks,
// particles, random numbers) exactly as when drawn, at no GL cost. It keeps
// the render state the calls leave (what GL would carry into the next frame)
// so drawing can resume where a run that drew every frame would stand, and
// whether the frame owes its picture to frames before it.
//
// Render targets are the modern backend's: it is asked for their textures
// (which it names without a GL call), and a ping-pong target's swaps go to
// it, so that drawing resumes with the textures where a straight run has them.
#include "platform/draw.h"
#include "platform/draw_modern.h"
#include "platform/draw_targets.h"
#include "modern_state.h" // the live target count, read without a call

namespace {

enum { MAX_FRESH = 16 };

struct NullState {
    DrawCarried carried;
    // Since the frame began: the picture was drawn on; its colour and depth
    // were cleared before that; a target's texture was read that was not
    // cleared in this frame (it holds an earlier frame's drawing).
    int painted = 0, colourCleared = 0, depthCleared = 0, readStale = 0;
    uint32_t target = 0;       // drawn into (0: the picture)
    uint32_t fresh[MAX_FRESH]; // target textures cleared in this frame
    int freshCount = 0;
    // How much of the picture before it the frame keeps at most: what its
    // first drawing on the picture multiplies it by (a fade: zero times the
    // source plus the destination times the source's alpha, a colour's alpha
    // the most that can be), else all of it. The last frame's, once told.
    float firstKeeps = 1.0f, lastKeeps = 1.0f;
    // The last frame's picture alone, its targets' reads left out.
    int lastAlonePicture = 0, lastReadStale = 0;
    float lastKeepsPicture = 1.0f;
    int lastCapability = 0; // where the last capability set is kept in `carried`
};
NullState state;

int Start() {
    return 1;
}
void Nothing() {}
void Perspective(double, double, double, double) {}
void LookAt(double, double, double, double, double, double, double, double, double) {}
void Rect(int, int, int, int) {}

void MarkFresh(uint32_t texture) {
    for (int i = 0; i < state.freshCount; i++)
        if (state.fresh[i] == texture) return;
    if (state.freshCount < MAX_FRESH) state.fresh[state.freshCount++] = texture;
}

// A texture sampled: a target's that this frame has not cleared carries an
// earlier frame's picture into this one.
void Read(uint32_t texture) {
    // A simulated frame binds textures by the thousand: ask only while targets exist.
    if (!md.targetCount || !texture || state.readStale || !DrawModern_IsTargetTexture(texture))
        return;
    for (int i = 0; i < state.freshCount; i++)
        if (state.fresh[i] == texture) return;
    state.readStale = 1;
}

void Clear(unsigned mask) {
    if (state.target) {
        if (mask & DRAW_COLOR_BUFFER_BIT) MarkFresh(DrawModern_TargetBack(state.target));
    } else if (!state.painted) {
        state.colourCleared |= (mask & DRAW_COLOR_BUFFER_BIT) != 0;
        state.depthCleared |= (mask & DRAW_DEPTH_BUFFER_BIT) != 0;
    }
}
// Blending is on, unless these frames turned it off: the frame before may have.
int Blending() {
    int blending = 1;
    for (int i = 0; i < state.carried.capabilities; i++)
        if (state.carried.capability[i] == DRAW_BLEND) blending = state.carried.on[i];
    return blending;
}
void Begin(unsigned) {
    if (state.target) return;
    if (!state.painted) {
        const DrawCarried& c = state.carried;
        int fade = Blending() && c.blend && c.blendSource == DRAW_ZERO &&
                   c.blendDestination == DRAW_SRC_ALPHA && c.colour;
        state.firstKeeps = fade && c.rgba[3] >= 0.0f && c.rgba[3] < 1.0f ? c.rgba[3] : 1.0f;
    }
    state.painted = 1;
}
void ClearBars(int, int, int, int, int, int, int) {}
void Int2(int, int) {}
void Float3(float, float, float) {}
void Float4(float, float, float, float) {}

void SetCapability(unsigned capability, int on) {
    DrawCarried& c = state.carried;
    // The particles enable texturing once each: the last one set comes first.
    int& last = state.lastCapability;
    if (last < c.capabilities && c.capability[last] == capability) {
        c.on[last] = on;
        return;
    }
    int i = 0;
    while (i < c.capabilities && c.capability[i] != capability) i++;
    if (i == DRAW_CARRIED_CAPABILITIES) return; // more kinds than the scenes use
    if (i == c.capabilities) c.capabilities++;
    c.capability[i] = capability;
    c.on[i] = on;
    last = i;
}
void Enable(unsigned capability) {
    SetCapability(capability, 1);
}
void Disable(unsigned capability) {
    SetCapability(capability, 0);
}
void BlendFunc(unsigned source, unsigned destination) {
    state.carried.blend = 1;
    state.carried.blendSource = source, state.carried.blendDestination = destination;
}
void PolygonMode(int mode) {
    state.carried.polygon = 1;
    state.carried.polygonMode = mode;
}
void NicestPerspective() {
    state.carried.nicest = 1;
}
void LineWidth(float width) {
    state.carried.line = 1;
    state.carried.lineWidth = width;
}
void PointSize(float size) {
    state.carried.point = 1;
    state.carried.pointSize = size;
}
void Color4f(float r, float g, float b, float a) {
    DrawCarried& c = state.carried;
    c.colour = 1;
    c.rgba[0] = r, c.rgba[1] = g, c.rgba[2] = b, c.rgba[3] = a;
}
void Color3f(float r, float g, float b) {
    Color4f(r, g, b, 1.0f);
}
void Normal3f(float x, float y, float z) {
    state.carried.normal = 1;
    state.carried.xyz[0] = x, state.carried.xyz[1] = y, state.carried.xyz[2] = z;
}
void TexCoord2d(double s, double t) {
    state.carried.texCoord = 1;
    state.carried.st[0] = s, state.carried.st[1] = t;
}
void TexCoord2f(float s, float t) {
    TexCoord2d(s, t);
}
uint32_t UploadTexture(uint32_t name, const DrawImage*, int) {
    return name;
}
void BindTexture(uint32_t name) {
    state.carried.texture = 1;
    state.carried.textureName = name;
    Read(name);
}
int NoSide() {
    return 0;
}

void PointSprites(int on) {
    state.carried.sprites = 1;
    state.carried.spritesOn = on;
}
uint32_t ProgramFromFiles(const char*) {
    return 0;
}
uint32_t ProgramFromSource(const char*, const char*, const char*) {
    return 0;
}
void UseProgram(uint32_t program) {
    state.carried.program = 1;
    state.carried.programName = program;
}
void Uniform(const char*, int, const float*) {}
void UniformTexture(const char*, int, uint32_t texture) {
    Read(texture);
}
void FrameValues(float, float) {}
uint32_t MakeTarget(int, int, int) {
    return 0;
}
void DeleteTarget(uint32_t) {}
void DrawInto(uint32_t target) {
    state.target = target;
    // Nothing is drawn into it: it no longer holds what a drawn run's has.
    if (target) DrawTargets_Missed(target);
}
uint32_t TargetTexture(uint32_t target) {
    return Draw_Modern()->TargetTexture(target);
}
void SwapTarget(uint32_t target) {
    Draw_Modern()->SwapTarget(target);
}
// Without blending, a pass covers all that is drawn into: like a clear of
// its colour, after reading its source.
void Pass(uint32_t, uint32_t source) {
    Read(TargetTexture(source));
    int blending = Blending();
    if (state.target) {
        if (!blending) MarkFresh(DrawModern_TargetBack(state.target));
    } else if (!state.painted && !blending) {
        state.colourCleared = 1;
    } else {
        state.painted = 1;
    }
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
    .PointSprites = PointSprites,
    .ProgramFromFiles = ProgramFromFiles,
    .ProgramFromSource = ProgramFromSource,
    .UseProgram = UseProgram,
    .Uniform = Uniform,
    .UniformTexture = UniformTexture,
    .FrameValues = FrameValues,
    .MakeTarget = MakeTarget,
    .DeleteTarget = DeleteTarget,
    .DrawInto = DrawInto,
    .TargetTexture = TargetTexture,
    .SwapTarget = SwapTarget,
    .Pass = Pass,
};

} // namespace

const Draw* Draw_Null() {
    return &nullDraw;
}

DrawCarried* Draw_NullCarried() {
    return &state.carried;
}

int Draw_NullFrameStandsAlone() {
    state.lastAlonePicture = state.colourCleared && state.depthCleared;
    state.lastKeepsPicture = state.lastAlonePicture ? 0.0f
                             : state.painted        ? state.firstKeeps
                                                    : 1.0f;
    state.lastReadStale = state.readStale;
    int alone = state.lastAlonePicture && !state.readStale;
    state.lastKeeps = alone ? 0.0f : state.painted && !state.readStale ? state.firstKeeps : 1.0f;
    state.painted = state.colourCleared = state.depthCleared = state.readStale = 0;
    state.freshCount = 0;
    state.firstKeeps = 1.0f;
    return alone;
}

float Draw_NullFrameKeeps() {
    return state.lastKeeps;
}

void Draw_NullFramePicture(int* standsAlone, float* keeps, int* readTarget) {
    *standsAlone = state.lastAlonePicture;
    *keeps = state.lastKeepsPicture;
    *readTarget = state.lastReadStale;
}

void Draw_NullForget() {
    state.carried = DrawCarried();
}

void Draw_NullCarry(const Draw* d) {
    const DrawCarried& c = state.carried;
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
    if (c.sprites) d->PointSprites(c.spritesOn);
    if (c.program) d->UseProgram(c.programName);
    Draw_NullForget();
}
