// The modern backend: the immediate-mode calls emulated with OpenGL ES 2.0
// features only, so it runs in a GL 3.3 core context, GLES 2/3 and WebGL.
//
// Every vertex is taken to clip space on the CPU, by the projection times the
// modelview of the moment, with the current colour (clamped, as the fixed
// pipeline clamps it) and texture coordinate. At End the primitive is cut
// into triangles or lines and appended to the batch: the vertices that share
// one draw state (texture, blend, depth test, GL primitive). The batch goes
// to the GPU in one upload and one draw call when a primitive needs another
// state, and before a clear, a viewport change, a texture upload or a flush.
// Matrix changes and state set to its current value never break a batch, so
// the particle systems' 1500 strips, each under its own rotation, are one
// draw call.
//
// Lines wider than one pixel become quads: GL widens an aliased line along its
// minor axis (vertically for a line closer to horizontal), by the width in
// window pixels, and so do these. Polygon mode LINE draws the polygons' edges
// as such lines.
#include "platform/draw_modern.h"

#include "modern_gl.h"
#include "modern_program.h"
#include "modern_texture.h"
#include "platform/draw.h"
#include "platform/draw_matrix.h"

#include <cmath>
#include <cstddef>
#include <vector>

namespace {

struct Vertex {
    float position[4]; // clip space
    float colour[4];
    float texCoord[2];
};

// Everything a batch's vertices are drawn with.
struct BatchKey {
    GLenum primitive = GL_TRIANGLES; // GL_TRIANGLES or GL_LINES
    GLuint texture = 0;              // 0: untextured
    int blend = 0;
    GLenum source = GL_ONE, destination = GL_ZERO; // only when blending
    int depthTest = 0;
    bool operator==(const BatchKey& o) const {
        return primitive == o.primitive && texture == o.texture && blend == o.blend &&
               source == o.source && destination == o.destination && depthTest == o.depthTest;
    }
};

const int stackDepth = 32; // Mesa's modelview stack

ModernGL gl;
int started = 0;
int limitToGles2 = 0;
long drawCalls = 0;
GLuint programs[2] = {0, 0}; // untextured, textured
GLuint vertexBuffer = 0, vertexArray = 0;

// The state as the scenes set it.
int textureEnabled, blendEnabled, depthEnabled, polygonLines;
GLenum blendSource, blendDestination;
GLuint boundTexture;
float lineWidth, pointSize;
float colour[4], texCoord[2], normal[3];
int viewport[4];
DrawMatrix modelview[stackDepth], projection, clipMatrix;
int depth, clipMatrixStale;
std::vector<uint8_t> textureReady; // by name: uploaded with an image

// Begin/End.
int primitive = -1; // outside
std::vector<Vertex> primitiveVertices;

// The batch, and what the context holds.
BatchKey batchKey;
std::vector<Vertex> batch;
GLuint appliedProgram, appliedTexture;
int appliedBlend, appliedDepth;
GLenum appliedSource, appliedDestination;

void ApplyState(const BatchKey& key) {
    GLuint program = programs[key.texture ? 1 : 0];
    if (program != appliedProgram) gl.UseProgram(appliedProgram = program);
    if (key.texture && key.texture != appliedTexture)
        gl.BindTexture(GL_TEXTURE_2D, appliedTexture = key.texture);
    if (key.blend != appliedBlend) (key.blend ? gl.Enable : gl.Disable)(GL_BLEND);
    if (key.blend && (key.source != appliedSource || key.destination != appliedDestination))
        gl.BlendFunc(appliedSource = key.source, appliedDestination = key.destination);
    if (key.depthTest != appliedDepth) (key.depthTest ? gl.Enable : gl.Disable)(GL_DEPTH_TEST);
    appliedBlend = key.blend, appliedDepth = key.depthTest;
}

void Submit() {
    if (batch.empty()) return;
    if (started) {
        ApplyState(batchKey);
        gl.BufferData(GL_ARRAY_BUFFER, (GLsizeiptr)(batch.size() * sizeof(Vertex)), batch.data(),
                      GL_STREAM_DRAW);
        gl.DrawArrays(batchKey.primitive, 0, (GLsizei)batch.size());
        drawCalls++;
    }
    batch.clear();
}

BatchKey CurrentKey(GLenum gpuPrimitive) {
    BatchKey key;
    key.primitive = gpuPrimitive;
    int ready = boundTexture < textureReady.size() && textureReady[boundTexture];
    key.texture = textureEnabled && ready ? boundTexture : 0;
    key.blend = blendEnabled;
    if (blendEnabled) key.source = blendSource, key.destination = blendDestination;
    key.depthTest = depthEnabled;
    return key;
}

void Emit(const BatchKey& key, const Vertex* vertices, int count) {
    if (!batch.empty() && !(key == batchKey)) Submit();
    batchKey = key;
    batch.insert(batch.end(), vertices, vertices + count);
}

Vertex Mix(const Vertex& a, const Vertex& b, float t) {
    Vertex v;
    for (int i = 0; i < 4; i++) v.position[i] = a.position[i] + t * (b.position[i] - a.position[i]);
    for (int i = 0; i < 4; i++) v.colour[i] = a.colour[i] + t * (b.colour[i] - a.colour[i]);
    for (int i = 0; i < 2; i++) v.texCoord[i] = a.texCoord[i] + t * (b.texCoord[i] - a.texCoord[i]);
    return v;
}

// A line lineWidth pixels wide as two triangles: clipped to the near plane
// first (the widening happens in window space), then each end moved half the
// width up and down (or left and right) in window pixels.
void WideLine(Vertex a, Vertex b, const BatchKey& key) {
    float da = a.position[2] + a.position[3], db = b.position[2] + b.position[3];
    if (da < 0 && db < 0) return;
    if (da < 0) a = Mix(a, b, da / (da - db));
    if (db < 0) b = Mix(b, a, db / (db - da));
    if (a.position[3] <= 0 || b.position[3] <= 0 || viewport[2] <= 0 || viewport[3] <= 0) return;
    float dx = (b.position[0] / b.position[3] - a.position[0] / a.position[3]) * viewport[2];
    float dy = (b.position[1] / b.position[3] - a.position[1] / a.position[3]) * viewport[3];
    float offsetX = 0, offsetY = 0; // in normalised device units
    if (fabsf(dx) >= fabsf(dy))
        offsetY = lineWidth / viewport[3];
    else
        offsetX = lineWidth / viewport[2];
    Vertex quad[4] = {a, b, b, a};
    for (int i = 0; i < 4; i++) {
        float side = i == 0 || i == 1 ? -1.0f : 1.0f;
        quad[i].position[0] += side * offsetX * quad[i].position[3];
        quad[i].position[1] += side * offsetY * quad[i].position[3];
    }
    const Vertex triangles[6] = {quad[0], quad[1], quad[2], quad[0], quad[2], quad[3]};
    Emit(key, triangles, 6);
}

struct Outlet {
    BatchKey triangles, lines;
};

void Segment(const Outlet& out, const Vertex& a, const Vertex& b) {
    if (lineWidth > 1.0f) {
        WideLine(a, b, out.triangles);
    } else {
        const Vertex line[2] = {a, b};
        Emit(out.lines, line, 2);
    }
}

void Triangle(const Outlet& out, const Vertex& a, const Vertex& b, const Vertex& c) {
    if (polygonLines) {
        Segment(out, a, b), Segment(out, b, c), Segment(out, c, a);
    } else {
        const Vertex triangle[3] = {a, b, c};
        Emit(out.triangles, triangle, 3);
    }
}

// ---- The table's calls.

int Start() {
    started = 0;
    gl = ModernGL();
    if (!ModernGL_Load(&gl)) return 0;
    if (limitToGles2) gl.es = 1, gl.major = 2, gl.minor = 0, gl.vertexArrays = 0, gl.fullNpot = 0;
    programs[0] = ModernProgram_Build(gl, 0);
    programs[1] = programs[0] ? ModernProgram_Build(gl, 1) : 0;
    if (!programs[1]) {
        if (programs[0]) gl.DeleteProgram(programs[0]);
        programs[0] = 0;
        return 0;
    }
    if (gl.vertexArrays) {
        gl.GenVertexArrays(1, &vertexArray);
        gl.BindVertexArray(vertexArray);
    }
    gl.GenBuffers(1, &vertexBuffer);
    gl.BindBuffer(GL_ARRAY_BUFFER, vertexBuffer);
    const GLsizei stride = sizeof(Vertex);
    gl.VertexAttribPointer(MODERN_POSITION, 4, GL_FLOAT, GL_FALSE, stride,
                           (const void*)offsetof(Vertex, position));
    gl.VertexAttribPointer(MODERN_COLOUR, 4, GL_FLOAT, GL_FALSE, stride,
                           (const void*)offsetof(Vertex, colour));
    gl.VertexAttribPointer(MODERN_TEXCOORD, 2, GL_FLOAT, GL_FALSE, stride,
                           (const void*)offsetof(Vertex, texCoord));
    for (GLuint a : {MODERN_POSITION, MODERN_COLOUR, MODERN_TEXCOORD})
        gl.EnableVertexAttribArray(a);

    // OpenGL's initial state, in the context and here.
    gl.UseProgram(appliedProgram = 0);
    gl.ActiveTexture(GL_TEXTURE0);
    gl.BindTexture(GL_TEXTURE_2D, appliedTexture = 0);
    gl.Disable(GL_BLEND);
    gl.BlendFunc(appliedSource = GL_ONE, appliedDestination = GL_ZERO);
    gl.Disable(GL_DEPTH_TEST);
    appliedBlend = appliedDepth = 0;
    textureEnabled = blendEnabled = depthEnabled = polygonLines = 0;
    blendSource = GL_ONE, blendDestination = GL_ZERO;
    boundTexture = 0;
    lineWidth = pointSize = 1.0f;
    colour[0] = colour[1] = colour[2] = colour[3] = 1.0f;
    texCoord[0] = texCoord[1] = 0.0f;
    normal[0] = normal[1] = 0.0f, normal[2] = 1.0f;
    depth = 1;
    DrawMatrix_Identity(&modelview[0]);
    DrawMatrix_Identity(&projection);
    clipMatrixStale = 1;
    textureReady.clear();
    primitive = -1;
    primitiveVertices.clear();
    batch.clear();
    gl.GetIntegerv(GL_VIEWPORT, viewport);
    drawCalls = 0;
    started = 1;
    return 1;
}

void Stop() {
    if (!started) return;
    batch.clear();
    gl.UseProgram(0);
    gl.DeleteProgram(programs[0]);
    gl.DeleteProgram(programs[1]);
    gl.DeleteBuffers(1, &vertexBuffer);
    if (vertexArray) gl.DeleteVertexArrays(1, &vertexArray);
    programs[0] = programs[1] = vertexBuffer = vertexArray = 0;
    started = 0;
}

void InitialState() {
    if (!started) return;
    gl.ClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    gl.ClearDepthf(1.0f);
    gl.DepthFunc(GL_LEQUAL);
    depthEnabled = 1;
}

DrawMatrix* Top() {
    return &modelview[depth - 1];
}

void Perspective(double fieldOfView, double aspect, double nearPlane, double farPlane) {
    DrawMatrix_Identity(&projection);
    DrawMatrix_Perspective(&projection, fieldOfView, aspect, nearPlane, farPlane);
    DrawMatrix_Identity(Top());
    clipMatrixStale = 1;
}

void LookAt(double eyeX, double eyeY, double eyeZ, double atX, double atY, double atZ, double upX,
            double upY, double upZ) {
    DrawMatrix_LookAt(Top(), eyeX, eyeY, eyeZ, atX, atY, atZ, upX, upY, upZ);
    clipMatrixStale = 1;
}

void Viewport(int x, int y, int w, int h) {
    Submit();
    viewport[0] = x, viewport[1] = y, viewport[2] = w, viewport[3] = h;
    if (started) gl.Viewport(x, y, w, h);
}

void Clear(unsigned mask) {
    Submit();
    if (started) gl.Clear(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
}

void ClearBars(int w, int h, int viewX, int viewY, int viewWidth, int viewHeight, int gap) {
    Submit();
    if (!started) return;
    // The clear colour is black whenever the scenes draw (nothing else sets
    // it), and the scissor test is never on outside this call.
    gl.Enable(GL_SCISSOR_TEST);
    if (viewX > 0 || gap > 0) {
        gl.Scissor(0, 0, viewX + gap, h);
        gl.Clear(GL_COLOR_BUFFER_BIT);
    }
    if (viewX > 0) {
        gl.Scissor(viewX + viewWidth, 0, w - viewX - viewWidth, h);
        gl.Clear(GL_COLOR_BUFFER_BIT);
    }
    if (viewY > 0) {
        gl.Scissor(0, 0, w, viewY);
        gl.Clear(GL_COLOR_BUFFER_BIT);
        gl.Scissor(0, viewY + viewHeight, w, h - viewY - viewHeight);
        gl.Clear(GL_COLOR_BUFFER_BIT);
    }
    gl.Disable(GL_SCISSOR_TEST);
}

void Flush() {
    Submit();
    if (started) gl.Flush();
}

void Begin(unsigned mode) {
    if (primitive >= 0 || mode < DRAW_LINES || mode > DRAW_QUADS) return; // GL ignores these
    primitive = mode;
    primitiveVertices.clear();
}

void End() {
    if (primitive < 0) return;
    const int mode = primitive;
    primitive = -1;
    const Vertex* v = primitiveVertices.data();
    const int n = (int)primitiveVertices.size();
    const Outlet out = {CurrentKey(GL_TRIANGLES), CurrentKey(GL_LINES)};
    switch (mode) {
    case DRAW_LINES:
        for (int i = 0; i + 1 < n; i += 2) Segment(out, v[i], v[i + 1]);
        break;
    case DRAW_LINE_STRIP:
    case DRAW_LINE_LOOP:
        for (int i = 0; i + 1 < n; i++) Segment(out, v[i], v[i + 1]);
        if (mode == DRAW_LINE_LOOP && n >= 2) Segment(out, v[n - 1], v[0]);
        break;
    case DRAW_TRIANGLES:
        for (int i = 0; i + 2 < n; i += 3) Triangle(out, v[i], v[i + 1], v[i + 2]);
        break;
    case DRAW_TRIANGLE_STRIP:
        for (int i = 0; i + 2 < n; i++) Triangle(out, v[i + (i & 1)], v[i + 1 - (i & 1)], v[i + 2]);
        break;
    case DRAW_TRIANGLE_FAN:
        for (int i = 1; i + 1 < n; i++) Triangle(out, v[0], v[i], v[i + 1]);
        break;
    case DRAW_QUADS: {
        // Mesa cuts each quad along 0-2, or along 1-3 when some vertex of the
        // draw lies outside the view volume and the draw takes its clipper.
        // A quad that is not flat (the wobble tube's twisted rings) or not
        // evenly coloured shows the cut, so it follows the same rule.
        int outside = 0;
        for (int i = 0; i < n && !outside; i++) {
            const float* p = v[i].position;
            outside = fabsf(p[0]) > p[3] || fabsf(p[1]) > p[3] || fabsf(p[2]) > p[3];
        }
        const int cut = outside ? 1 : 0; // first vertex of the cut
        for (int i = 0; i + 3 < n; i += 4) {
            if (polygonLines) {
                for (int e = 0; e < 4; e++) Segment(out, v[i + e], v[i + (e + 1) % 4]);
            } else {
                Triangle(out, v[i + cut], v[i + cut + 1], v[i + (cut + 2) % 4]);
                Triangle(out, v[i + cut], v[i + (cut + 2) % 4], v[i + (cut + 3) % 4]);
            }
        }
        break;
    }
    }
}

void Vertex3f(float x, float y, float z) {
    if (primitive < 0) return;
    if (clipMatrixStale) {
        DrawMatrix_Multiply(&clipMatrix, projection, *Top());
        clipMatrixStale = 0;
    }
    Vertex v;
    DrawMatrix_Point(clipMatrix, x, y, z, v.position);
    for (int i = 0; i < 4; i++) v.colour[i] = colour[i];
    v.texCoord[0] = texCoord[0], v.texCoord[1] = texCoord[1];
    primitiveVertices.push_back(v);
}

void TexCoord2f(float s, float t) {
    texCoord[0] = s, texCoord[1] = t;
}

void TexCoord2d(double s, double t) {
    texCoord[0] = (float)s, texCoord[1] = (float)t;
}

float Clamped(float c) {
    return fminf(fmaxf(c, 0.0f), 1.0f); // NaN becomes 0
}

void Color4f(float r, float g, float b, float a) {
    colour[0] = Clamped(r), colour[1] = Clamped(g), colour[2] = Clamped(b), colour[3] = Clamped(a);
}

void Color3f(float r, float g, float b) {
    Color4f(r, g, b, 1.0f);
}

// Kept as GL keeps it, though nothing lights the scenes.
void Normal3f(float x, float y, float z) {
    normal[0] = x, normal[1] = y, normal[2] = z;
}

void LoadIdentity() {
    DrawMatrix_Identity(Top());
    clipMatrixStale = 1;
}

// Overflow and underflow are ignored, as GL ignores them after the error.
void PushMatrix() {
    if (depth == stackDepth) return;
    modelview[depth] = modelview[depth - 1];
    depth++;
}

void PopMatrix() {
    if (depth == 1) return;
    depth--;
    clipMatrixStale = 1;
}

void Translatef(float x, float y, float z) {
    DrawMatrix_Translate(Top(), x, y, z);
    clipMatrixStale = 1;
}

void Rotatef(float degrees, float x, float y, float z) {
    DrawMatrix_Rotate(Top(), degrees, x, y, z);
    clipMatrixStale = 1;
}

void Scalef(float x, float y, float z) {
    DrawMatrix_Scale(Top(), x, y, z);
    clipMatrixStale = 1;
}

void SetCapability(int capability, int on) {
    if (capability == DRAW_TEXTURE_2D) textureEnabled = on;
    if (capability == DRAW_BLEND) blendEnabled = on;
    if (capability == DRAW_DEPTH_TEST) depthEnabled = on;
}

void Enable(unsigned capability) {
    SetCapability(capability, 1);
}

void Disable(unsigned capability) {
    SetCapability(capability, 0);
}

void BlendFunc(unsigned source, unsigned destination) {
    blendSource = (GLenum)source, blendDestination = (GLenum)destination;
}

void PolygonMode(int mode) {
    if (mode == DRAW_LINE || mode == DRAW_FILL) polygonLines = mode == DRAW_LINE;
}

void NicestPerspective() {} // interpolation is always perspective-correct

void LineWidth(float width) {
    if (width > 0.0f) lineWidth = width;
}

void PointSize(float size) {
    if (size > 0.0f) pointSize = size; // no primitive draws points
}

uint32_t UploadTexture(uint32_t name, const DrawImage* image, int mipmaps) {
    Submit(); // what is batched samples the texture as it was
    if (!started) return name;
    GLuint object = name;
    if (!object) gl.GenTextures(1, &object);
    int ready = ModernTexture_Upload(gl, object, *image, mipmaps);
    appliedTexture = boundTexture = object; // left bound, as by the fixed backend
    if (object >= textureReady.size()) textureReady.resize(object + 1, 0);
    textureReady[object] = (uint8_t)ready;
    return object;
}

void BindTexture(uint32_t name) {
    boundTexture = name;
}

int MaxTextureSide() {
    GLint side = 0;
    if (started) gl.GetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side;
}

const Draw modernDraw = {
    .renderer = DRAW_MODERN,
    .name = "modern",
    .Start = Start,
    .Stop = Stop,
    .InitialState = InitialState,
    .Perspective = Perspective,
    .LookAt = LookAt,
    .Viewport = Viewport,
    .Clear = Clear,
    .ClearBars = ClearBars,
    .Flush = Flush,
    .Submit = Submit,
    .Begin = Begin,
    .End = End,
    .Vertex3f = Vertex3f,
    .TexCoord2f = TexCoord2f,
    .TexCoord2d = TexCoord2d,
    .Color3f = Color3f,
    .Color4f = Color4f,
    .Normal3f = Normal3f,
    .LoadIdentity = LoadIdentity,
    .PushMatrix = PushMatrix,
    .PopMatrix = PopMatrix,
    .Translatef = Translatef,
    .Rotatef = Rotatef,
    .Scalef = Scalef,
    .Enable = Enable,
    .Disable = Disable,
    .BlendFunc = BlendFunc,
    .PolygonMode = PolygonMode,
    .NicestPerspective = NicestPerspective,
    .LineWidth = LineWidth,
    .PointSize = PointSize,
    .UploadTexture = UploadTexture,
    .BindTexture = BindTexture,
    .MaxTextureSide = MaxTextureSide,
};

} // namespace

const Draw* Draw_Modern() {
    return &modernDraw;
}

long DrawModern_DrawCalls() {
    return drawCalls;
}

void DrawModern_LimitToGles2(int limit) {
    limitToGles2 = limit;
}
