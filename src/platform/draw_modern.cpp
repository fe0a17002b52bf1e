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
// as such lines. Points become squares of the point size in window pixels,
// dropped when their centre is outside the view volume, as GL drops them.
//
// All of its state is one record (modern_state.h), which the scenes'
// programs, render targets and passes (modern_passes.cpp) share.
#include "platform/draw_modern.h"

#include "modern_gl.h"
#include "modern_program.h"
#include "modern_state.h"
#include "modern_texture.h"
#include "platform/draw.h"
#include "platform/draw_matrix.h"

#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <vector>

ModernState md;

namespace {

typedef ModernVertex Vertex;
typedef ModernBatchKey BatchKey;

void ApplyState(const BatchKey& key) {
    ModernPasses_ApplyProgram(key);
    if (key.texture && key.texture != md.appliedTexture)
        md.gl.BindTexture(GL_TEXTURE_2D, md.appliedTexture = key.texture);
    // Where the texture is magnified everywhere the mip levels are never read,
    // but a rasteriser in software still works out the level for every pixel:
    // the same picture for a third less of its time. Put back after the draw.
    if (key.magnified) md.gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    if (key.blend != md.appliedBlend) (key.blend ? md.gl.Enable : md.gl.Disable)(GL_BLEND);
    if (key.blend && (key.source != md.appliedSource || key.destination != md.appliedDestination))
        md.gl.BlendFunc(md.appliedSource = key.source, md.appliedDestination = key.destination);
    if (key.depthTest != md.appliedDepth)
        (key.depthTest ? md.gl.Enable : md.gl.Disable)(GL_DEPTH_TEST);
    md.appliedBlend = key.blend, md.appliedDepth = key.depthTest;
}

} // namespace

void Modern_Submit() {
    if (md.batch.empty()) return;
    if (md.started) {
        ApplyState(md.batchKey);
        md.gl.BufferData(GL_ARRAY_BUFFER, (GLsizeiptr)(md.batch.size() * sizeof(Vertex)),
                         md.batch.data(), GL_STREAM_DRAW);
        md.gl.DrawArrays(md.batchKey.primitive, 0, (GLsizei)md.batch.size());
        if (md.batchKey.magnified)
            md.gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        md.drawCalls++;
    }
    md.batch.clear();
}

BatchKey Modern_CurrentKey(GLenum gpuPrimitive) {
    BatchKey key;
    key.primitive = gpuPrimitive;
    int ready = md.boundTexture < md.textureReady.size() && md.textureReady[md.boundTexture];
    key.texture = md.textureEnabled && ready ? md.boundTexture : 0;
    key.blend = md.blendEnabled;
    if (md.blendEnabled) key.source = md.blendSource, key.destination = md.blendDestination;
    key.depthTest = md.depthEnabled;
    key.program = md.program;
    return key;
}

void Modern_Emit(const BatchKey& key, const Vertex* vertices, int count) {
    if (!md.batch.empty() && !(key == md.batchKey)) Modern_Submit();
    md.batchKey = key;
    md.batch.insert(md.batch.end(), vertices, vertices + count);
}

namespace {

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
    const int* viewport = md.viewport;
    float da = a.position[2] + a.position[3], db = b.position[2] + b.position[3];
    if (da < 0 && db < 0) return;
    if (da < 0) a = Mix(a, b, da / (da - db));
    if (db < 0) b = Mix(b, a, db / (db - da));
    if (a.position[3] <= 0 || b.position[3] <= 0 || viewport[2] <= 0 || viewport[3] <= 0) return;
    float dx = (b.position[0] / b.position[3] - a.position[0] / a.position[3]) * viewport[2];
    float dy = (b.position[1] / b.position[3] - a.position[1] / a.position[3]) * viewport[3];
    float offsetX = 0, offsetY = 0; // in normalised device units
    if (fabsf(dx) >= fabsf(dy))
        offsetY = md.lineWidth / viewport[3];
    else
        offsetX = md.lineWidth / viewport[2];
    Vertex quad[4] = {a, b, b, a};
    for (int i = 0; i < 4; i++) {
        float side = i == 0 || i == 1 ? -1.0f : 1.0f;
        quad[i].position[0] += side * offsetX * quad[i].position[3];
        quad[i].position[1] += side * offsetY * quad[i].position[3];
    }
    const Vertex triangles[6] = {quad[0], quad[1], quad[2], quad[0], quad[2], quad[3]};
    Modern_Emit(key, triangles, 6);
}

// A point as a square pointSize pixels wide. A sprite's texture coordinates
// run 0 to 1 across it from the upper left, as GL's point sprites' do.
void Point(const Vertex& p, const BatchKey& key) {
    const float* c = p.position;
    if (!(fabsf(c[0]) <= c[3] && fabsf(c[1]) <= c[3] && fabsf(c[2]) <= c[3])) return;
    if (md.viewport[2] <= 0 || md.viewport[3] <= 0) return;
    const float halfX = md.pointSize / md.viewport[2] * c[3];
    const float halfY = md.pointSize / md.viewport[3] * c[3];
    static const float corners[4][4] = {{-1, -1, 0, 1}, {1, -1, 1, 1}, {1, 1, 1, 0}, {-1, 1, 0, 0}};
    Vertex square[4];
    for (int i = 0; i < 4; i++) {
        square[i] = p;
        square[i].position[0] += corners[i][0] * halfX;
        square[i].position[1] += corners[i][1] * halfY;
        if (md.sprites)
            square[i].texCoord[0] = corners[i][2], square[i].texCoord[1] = corners[i][3];
    }
    const Vertex triangles[6] = {square[0], square[1], square[2], square[0], square[2], square[3]};
    Modern_Emit(key, triangles, 6);
}

struct Outlet {
    BatchKey triangles, lines;
};

void Segment(const Outlet& out, const Vertex& a, const Vertex& b) {
    if (md.lineWidth > 1.0f) {
        WideLine(a, b, out.triangles);
    } else {
        const Vertex line[2] = {a, b};
        Modern_Emit(out.lines, line, 2);
    }
}

// Whether a triangle of the backend's own program shows its mipmapped
// texture magnified all over: no more than 0.95 texels to a pixel either way
// across the screen. Only a triangle parallel to the screen (one w) maps
// texels to pixels evenly enough to tell; the bound is on the sum of both
// texel steps, over any measure GL lets an implementation take for the level.
int Magnified(const BatchKey& key, const Vertex& a, const Vertex& b, const Vertex& c) {
    if (!key.texture || key.program || key.texture >= md.mipmapped.size()) return 0;
    const int texW = md.mipmapped[key.texture].first, texH = md.mipmapped[key.texture].second;
    const float w = a.position[3];
    if (texW <= 0 || !(w > 0) || fabsf(b.position[3] - w) > w * 1e-5f ||
        fabsf(c.position[3] - w) > w * 1e-5f)
        return 0;
    const float sx = 0.5f * md.viewport[2] / w, sy = 0.5f * md.viewport[3] / w;
    const float x1 = (b.position[0] - a.position[0]) * sx,
                y1 = (b.position[1] - a.position[1]) * sy;
    const float x2 = (c.position[0] - a.position[0]) * sx,
                y2 = (c.position[1] - a.position[1]) * sy;
    const float u1 = (b.texCoord[0] - a.texCoord[0]) * texW,
                v1 = (b.texCoord[1] - a.texCoord[1]) * texH;
    const float u2 = (c.texCoord[0] - a.texCoord[0]) * texW,
                v2 = (c.texCoord[1] - a.texCoord[1]) * texH;
    const float det = x1 * y2 - x2 * y1;
    if (!(fabsf(det) > 1e-6f)) return 0;
    const float dudx = (u1 * y2 - u2 * y1) / det, dvdx = (v1 * y2 - v2 * y1) / det;
    const float dudy = (x1 * u2 - x2 * u1) / det, dvdy = (x1 * v2 - x2 * v1) / det;
    return fabsf(dudx) + fabsf(dvdx) <= 0.95f && fabsf(dudy) + fabsf(dvdy) <= 0.95f;
}

void Triangle(const Outlet& out, const Vertex& a, const Vertex& b, const Vertex& c) {
    if (md.polygonLines) {
        Segment(out, a, b), Segment(out, b, c), Segment(out, c, a);
    } else {
        const Vertex triangle[3] = {a, b, c};
        BatchKey key = out.triangles;
        key.magnified = Magnified(key, a, b, c);
        Modern_Emit(key, triangle, 3);
    }
}

// ---- The table's calls.

int Start() {
    md.started = 0;
    md.gl = ModernGL();
    ModernGL& gl = md.gl;
    if (!ModernGL_Load(&gl)) return 0;
    if (md.limit == DRAW_MODERN_AS_GLES2)
        gl.es = 1, gl.major = 2, gl.minor = 0, gl.vertexArrays = 0, gl.fullNpot = 0, gl.glsl = 100;
    if (md.limit == DRAW_MODERN_AS_GL21)
        gl.es = 0, gl.major = 2, gl.minor = 1, gl.vertexArrays = 0, gl.glsl = 120;
#ifdef NDEBUG
    md.checkErrors = getenv("ZELKOR_GL_CHECK") != nullptr;
#else
    md.checkErrors = 1;
#endif
    md.programs[0] = ModernProgram_Build(gl, 0);
    md.programs[1] = md.programs[0] ? ModernProgram_Build(gl, 1) : 0;
    if (!md.programs[1]) {
        if (md.programs[0]) gl.DeleteProgram(md.programs[0]);
        md.programs[0] = 0;
        return 0;
    }
    if (gl.vertexArrays) {
        gl.GenVertexArrays(1, &md.vertexArray);
        gl.BindVertexArray(md.vertexArray);
    }
    gl.GenBuffers(1, &md.vertexBuffer);
    gl.BindBuffer(GL_ARRAY_BUFFER, md.vertexBuffer);
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
    gl.UseProgram(md.appliedProgram = 0);
    gl.ActiveTexture(GL_TEXTURE0);
    gl.BindTexture(GL_TEXTURE_2D, md.appliedTexture = 0);
    gl.Disable(GL_BLEND);
    gl.BlendFunc(md.appliedSource = GL_ONE, md.appliedDestination = GL_ZERO);
    gl.Disable(GL_DEPTH_TEST);
    md.appliedBlend = md.appliedDepth = 0;
    md.textureEnabled = md.blendEnabled = md.depthEnabled = md.polygonLines = md.sprites = 0;
    md.blendSource = GL_ONE, md.blendDestination = GL_ZERO;
    md.boundTexture = 0;
    md.program = 0;
    md.lineWidth = md.pointSize = 1.0f;
    md.colour[0] = md.colour[1] = md.colour[2] = md.colour[3] = 1.0f;
    md.texCoord[0] = md.texCoord[1] = 0.0f;
    md.normal[0] = md.normal[1] = 0.0f, md.normal[2] = 1.0f;
    md.depth = 1;
    DrawMatrix_Identity(&md.modelview[0]);
    DrawMatrix_Identity(&md.projection);
    md.clipMatrixStale = 1;
    md.textureReady.clear();
    md.mipmapped.clear();
    md.target = 0;
    md.primitive = -1;
    md.primitiveVertices.clear();
    md.batch.clear();
    gl.GetIntegerv(GL_VIEWPORT, md.viewport);
    md.drawCalls = md.glErrors = 0;
    md.started = 1;
    return 1;
}

void Stop() {
    if (!md.started) return;
    md.batch.clear();
    ModernPasses_Release();
    md.gl.UseProgram(0);
    md.gl.DeleteProgram(md.programs[0]);
    md.gl.DeleteProgram(md.programs[1]);
    md.gl.DeleteBuffers(1, &md.vertexBuffer);
    if (md.vertexArray) md.gl.DeleteVertexArrays(1, &md.vertexArray);
    md.programs[0] = md.programs[1] = md.vertexBuffer = md.vertexArray = 0;
    md.started = 0;
}

void InitialState() {
    if (!md.started) return;
    md.gl.ClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    md.gl.ClearDepthf(1.0f);
    md.gl.DepthFunc(GL_LEQUAL);
    md.depthEnabled = 1;
}

DrawMatrix* Top() {
    return &md.modelview[md.depth - 1];
}

void Perspective(double fieldOfView, double aspect, double nearPlane, double farPlane) {
    DrawMatrix_Identity(&md.projection);
    DrawMatrix_Perspective(&md.projection, fieldOfView, aspect, nearPlane, farPlane);
    DrawMatrix_Identity(Top());
    md.clipMatrixStale = 1;
}

void LookAt(double eyeX, double eyeY, double eyeZ, double atX, double atY, double atZ, double upX,
            double upY, double upZ) {
    DrawMatrix_LookAt(Top(), eyeX, eyeY, eyeZ, atX, atY, atZ, upX, upY, upZ);
    md.clipMatrixStale = 1;
}

void Viewport(int x, int y, int w, int h) {
    Modern_Submit();
    md.viewport[0] = x, md.viewport[1] = y, md.viewport[2] = w, md.viewport[3] = h;
    if (md.started) md.gl.Viewport(x, y, w, h);
}

void Clear(unsigned mask) {
    Modern_Submit();
    if (md.started) md.gl.Clear(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
}

void ClearBars(int w, int h, int viewX, int viewY, int viewWidth, int viewHeight, int gap) {
    Modern_Submit();
    if (!md.started) return;
    ModernGL& gl = md.gl;
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
    Modern_Submit();
    if (md.started) md.gl.Flush();
}

void Begin(unsigned mode) {
    if (md.primitive >= 0 || mode > DRAW_QUADS) return; // GL ignores these
    md.primitive = (int)mode;
    md.primitiveVertices.clear();
}

void End() {
    if (md.primitive < 0) return;
    const int mode = md.primitive;
    md.primitive = -1;
    const Vertex* v = md.primitiveVertices.data();
    const int n = (int)md.primitiveVertices.size();
    const Outlet out = {Modern_CurrentKey(GL_TRIANGLES), Modern_CurrentKey(GL_LINES)};
    switch (mode) {
    case DRAW_POINTS:
        for (int i = 0; i < n; i++) Point(v[i], out.triangles);
        break;
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
            if (md.polygonLines) {
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
    if (md.primitive < 0) return;
    if (md.clipMatrixStale) {
        DrawMatrix_Multiply(&md.clipMatrix, md.projection, *Top());
        md.clipMatrixStale = 0;
    }
    Vertex v;
    DrawMatrix_Point(md.clipMatrix, x, y, z, v.position);
    for (int i = 0; i < 4; i++) v.colour[i] = md.colour[i];
    v.texCoord[0] = md.texCoord[0], v.texCoord[1] = md.texCoord[1];
    md.primitiveVertices.push_back(v);
}

void TexCoord2f(float s, float t) {
    md.texCoord[0] = s, md.texCoord[1] = t;
}

void TexCoord2d(double s, double t) {
    md.texCoord[0] = (float)s, md.texCoord[1] = (float)t;
}

float Clamped(float c) {
    return fminf(fmaxf(c, 0.0f), 1.0f); // NaN becomes 0
}

void Color4f(float r, float g, float b, float a) {
    md.colour[0] = Clamped(r), md.colour[1] = Clamped(g), md.colour[2] = Clamped(b);
    md.colour[3] = Clamped(a);
}

void Color3f(float r, float g, float b) {
    Color4f(r, g, b, 1.0f);
}

// Kept as GL keeps it, though nothing lights the scenes.
void Normal3f(float x, float y, float z) {
    md.normal[0] = x, md.normal[1] = y, md.normal[2] = z;
}

void LoadIdentity() {
    DrawMatrix_Identity(Top());
    md.clipMatrixStale = 1;
}

// Overflow and underflow are ignored, as GL ignores them after the error.
void PushMatrix() {
    if (md.depth == MODERN_STACK_DEPTH) return;
    md.modelview[md.depth] = md.modelview[md.depth - 1];
    md.depth++;
}

void PopMatrix() {
    if (md.depth == 1) return;
    md.depth--;
    md.clipMatrixStale = 1;
}

void Translatef(float x, float y, float z) {
    DrawMatrix_Translate(Top(), x, y, z);
    md.clipMatrixStale = 1;
}

void Rotatef(float degrees, float x, float y, float z) {
    DrawMatrix_Rotate(Top(), degrees, x, y, z);
    md.clipMatrixStale = 1;
}

void Scalef(float x, float y, float z) {
    DrawMatrix_Scale(Top(), x, y, z);
    md.clipMatrixStale = 1;
}

void SetCapability(int capability, int on) {
    if (capability == DRAW_TEXTURE_2D) md.textureEnabled = on;
    if (capability == DRAW_BLEND) md.blendEnabled = on;
    if (capability == DRAW_DEPTH_TEST) md.depthEnabled = on;
}

void Enable(unsigned capability) {
    SetCapability(capability, 1);
}

void Disable(unsigned capability) {
    SetCapability(capability, 0);
}

void BlendFunc(unsigned source, unsigned destination) {
    md.blendSource = (GLenum)source, md.blendDestination = (GLenum)destination;
}

void PolygonMode(int mode) {
    if (mode == DRAW_LINE || mode == DRAW_FILL) md.polygonLines = mode == DRAW_LINE;
}

void NicestPerspective() {} // interpolation is always perspective-correct

void LineWidth(float width) {
    if (width > 0.0f) md.lineWidth = width;
}

void PointSize(float size) {
    if (size > 0.0f) md.pointSize = size;
}

void PointSprites(int on) {
    md.sprites = on != 0;
}

uint32_t UploadTexture(uint32_t name, const DrawImage* image, int mipmaps) {
    Modern_Submit(); // what is batched samples the texture as it was
    if (!md.started) return name;
    GLuint object = name;
    if (!object) md.gl.GenTextures(1, &object);
    int w = 0, h = 0;
    int ready = ModernTexture_Upload(md.gl, object, *image, mipmaps, &w, &h);
    md.appliedTexture = md.boundTexture = object; // left bound, as by the fixed backend
    if (object >= md.textureReady.size()) md.textureReady.resize(object + 1, 0);
    md.textureReady[object] = (uint8_t)ready;
    if (object >= md.mipmapped.size()) md.mipmapped.resize(object + 1);
    md.mipmapped[object] = mipmaps && ready ? std::make_pair(w, h) : std::make_pair(0, 0);
    return object;
}

void BindTexture(uint32_t name) {
    md.boundTexture = name;
}

int MaxTextureSide() {
    GLint side = 0;
    if (md.started) md.gl.GetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side;
}

void BeginOverlay(int width, int height) {
    md.saved = {md.textureEnabled,
                md.blendEnabled,
                md.depthEnabled,
                md.polygonLines,
                md.sprites,
                md.blendSource,
                md.blendDestination,
                md.boundTexture,
                md.program,
                md.lineWidth,
                {md.colour[0], md.colour[1], md.colour[2], md.colour[3]},
                {md.texCoord[0], md.texCoord[1]},
                md.projection,
                *Top()};
    DrawMatrix_Identity(&md.projection); // glOrtho(0, width, 0, height, -1, 1)
    md.projection.m[0] = 2.0f / (float)(width > 0 ? width : 1);
    md.projection.m[5] = 2.0f / (float)(height > 0 ? height : 1);
    md.projection.m[10] = -1.0f;
    md.projection.m[12] = md.projection.m[13] = -1.0f;
    DrawMatrix_Identity(Top());
    md.clipMatrixStale = 1;
    md.textureEnabled = md.depthEnabled = md.polygonLines = md.sprites = 0;
    md.program = 0;
    md.blendEnabled = 1;
    md.blendSource = GL_SRC_ALPHA, md.blendDestination = GL_ONE_MINUS_SRC_ALPHA;
}

void EndOverlay() {
    const ModernSaved& s = md.saved;
    md.textureEnabled = s.textureEnabled, md.blendEnabled = s.blendEnabled;
    md.depthEnabled = s.depthEnabled, md.polygonLines = s.polygonLines, md.sprites = s.sprites;
    md.blendSource = s.blendSource, md.blendDestination = s.blendDestination;
    md.boundTexture = s.boundTexture, md.program = s.program, md.lineWidth = s.lineWidth;
    for (int i = 0; i < 4; i++) md.colour[i] = s.colour[i];
    md.texCoord[0] = s.texCoord[0], md.texCoord[1] = s.texCoord[1];
    md.projection = s.projection;
    *Top() = s.modelview;
    md.clipMatrixStale = 1;
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
    .Submit = Modern_Submit,
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
    .BeginOverlay = BeginOverlay,
    .EndOverlay = EndOverlay,
    .PointSprites = PointSprites,
    .ProgramFromFiles = ModernPasses_ProgramFromFiles,
    .ProgramFromSource = ModernPasses_ProgramFromSource,
    .UseProgram = ModernPasses_UseProgram,
    .Uniform = ModernPasses_Uniform,
    .UniformTexture = ModernPasses_UniformTexture,
    .FrameValues = ModernPasses_FrameValues,
    .MakeTarget = ModernPasses_MakeTarget,
    .DeleteTarget = ModernPasses_DeleteTarget,
    .DrawInto = ModernPasses_DrawInto,
    .TargetTexture = ModernPasses_TargetTexture,
    .SwapTarget = ModernPasses_SwapTarget,
    .Pass = ModernPasses_Pass,
};

} // namespace

const Draw* Draw_Modern() {
    return &modernDraw;
}

long DrawModern_DrawCalls() {
    return md.drawCalls;
}

void DrawModern_LimitTo(int limit) {
    md.limit = limit;
}
