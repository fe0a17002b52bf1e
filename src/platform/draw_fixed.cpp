// The fixed backend: every draw-layer call is the OpenGL 1.x call of the same
// name, made once, in the order the scenes make them. The draw constants hold
// OpenGL's own values and are passed through unchanged. Shader programs and
// render targets it has not: those calls make nothing and say so once.
#include "platform/draw.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <GL/glu.h>

#include <cstdio>
#include <cstdlib>

namespace {

int Start() {
    return 1;
}

void Stop() {}

void InitialState() {
    glShadeModel(GL_SMOOTH);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glClearDepth(1.0);
    glDepthFunc(GL_LEQUAL);
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_NORMALIZE);
}

void Perspective(double fieldOfView, double aspect, double nearPlane, double farPlane) {
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(fieldOfView, aspect, nearPlane, farPlane);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void ClearBars(int w, int h, int viewX, int viewY, int viewWidth, int viewHeight, int gap) {
    // Scissored clears touch only the bars (and the gap); the saved state
    // keeps the scenes' clear colour and scissor as they were.
    glPushAttrib(GL_COLOR_BUFFER_BIT | GL_SCISSOR_BIT);
    glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
    glEnable(GL_SCISSOR_TEST);
    if (viewX > 0 || gap > 0) { // pillarbox (left and right) and the gap
        glScissor(0, 0, viewX + gap, h);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    if (viewX > 0) {
        glScissor(viewX + viewWidth, 0, w - viewX - viewWidth, h);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    if (viewY > 0) { // letterbox: bottom and top
        glScissor(0, 0, w, viewY);
        glClear(GL_COLOR_BUFFER_BIT);
        glScissor(0, viewY + viewHeight, w, h - viewY - viewHeight);
        glClear(GL_COLOR_BUFFER_BIT);
    }
    glPopAttrib();
}

void Submit() {}

void PolygonMode(int mode) {
    glPolygonMode(GL_FRONT_AND_BACK, (GLenum)mode);
}

void NicestPerspective() {
    glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
}

// The unpack alignment is set to the decoder's row layout for this one upload
// and restored after, so packed TGA rows of any width are read neither skewed
// nor past the buffer.
uint32_t UploadTexture(uint32_t name, const DrawImage* image, int mipmaps) {
    GLenum format = image->channels == 4 ? GL_RGBA : GL_RGB;
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, image->rowAlignment);
    GLuint object = name;
    if (!object) glGenTextures(1, &object);
    glBindTexture(GL_TEXTURE_2D, object);
    if (mipmaps) {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        gluBuild2DMipmaps(GL_TEXTURE_2D, format, image->width, image->height, format,
                          GL_UNSIGNED_BYTE, image->pixels);
    } else {
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        glTexImage2D(GL_TEXTURE_2D, 0, format, image->width, image->height, 0, format,
                     GL_UNSIGNED_BYTE, image->pixels);
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    return object;
}

void BindTexture(uint32_t name) {
    glBindTexture(GL_TEXTURE_2D, name);
}

int MaxTextureSide() {
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side;
}

void BeginOverlay(int width, int height) {
    glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT | GL_CURRENT_BIT | GL_POLYGON_BIT |
                 GL_TEXTURE_BIT | GL_LINE_BIT);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glOrtho(0.0, width, 0.0, height, -1.0, 1.0);
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    glDisable(GL_TEXTURE_2D);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glPolygonMode(GL_FRONT_AND_BACK, GL_FILL);
}

void EndOverlay() {
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glPopMatrix();
    glPopAttrib();
}

// What the table has found out: whether the context has point sprites
// (OpenGL 2.0; -1 before the first ask), and whether a refusal was said.
struct Fixed {
    int sprites = -1;
    int refused = 0;
};
Fixed fixed;

void PointSprites(int on) {
    if (fixed.sprites < 0) {
        const char* version = (const char*)glGetString(GL_VERSION);
        fixed.sprites = version && atoi(version) >= 2;
        if (!fixed.sprites) fprintf(stderr, "draw: this OpenGL has no point sprites\n");
    }
    if (!fixed.sprites) return;
    (on ? glEnable : glDisable)(GL_POINT_SPRITE);
    glTexEnvi(GL_POINT_SPRITE, GL_COORD_REPLACE, on ? GL_TRUE : GL_FALSE);
}

void Refuse() {
    if (!fixed.refused++)
        fprintf(stderr, "draw: the fixed renderer has no shader programs or render targets; "
                        "they need the modern one\n");
}
uint32_t ProgramFromFiles(const char*) {
    return Refuse(), 0;
}
uint32_t ProgramFromSource(const char*, const char*, const char*) {
    return Refuse(), 0;
}
uint32_t MakeTarget(int, int, int) {
    return Refuse(), 0;
}
void Handle(uint32_t) {}
void Handles(uint32_t, uint32_t) {}
uint32_t NoTexture(uint32_t) {
    return 0;
}
void Uniform(const char*, int, const float*) {}
void UniformTexture(const char*, int, uint32_t) {}
void FrameValues(float, float) {}

const Draw fixedDraw = {
    .renderer = DRAW_FIXED,
    .name = "fixed",
    .Start = Start,
    .Stop = Stop,
    .InitialState = InitialState,
    .Perspective = Perspective,
    .LookAt = gluLookAt,
    .Viewport = glViewport,
    .Clear = glClear,
    .ClearBars = ClearBars,
    .Flush = glFlush,
    .Submit = Submit,
    .Begin = glBegin,
    .End = glEnd,
    .Vertex3f = glVertex3f,
    .TexCoord2f = glTexCoord2f,
    .TexCoord2d = glTexCoord2d,
    .Color3f = glColor3f,
    .Color4f = glColor4f,
    .Normal3f = glNormal3f,
    .LoadIdentity = glLoadIdentity,
    .PushMatrix = glPushMatrix,
    .PopMatrix = glPopMatrix,
    .Translatef = glTranslatef,
    .Rotatef = glRotatef,
    .Scalef = glScalef,
    .Enable = glEnable,
    .Disable = glDisable,
    .BlendFunc = glBlendFunc,
    .PolygonMode = PolygonMode,
    .NicestPerspective = NicestPerspective,
    .LineWidth = glLineWidth,
    .PointSize = glPointSize,
    .UploadTexture = UploadTexture,
    .BindTexture = BindTexture,
    .MaxTextureSide = MaxTextureSide,
    .BeginOverlay = BeginOverlay,
    .EndOverlay = EndOverlay,
    .PointSprites = PointSprites,
    .ProgramFromFiles = ProgramFromFiles,
    .ProgramFromSource = ProgramFromSource,
    .UseProgram = Handle,
    .Uniform = Uniform,
    .UniformTexture = UniformTexture,
    .FrameValues = FrameValues,
    .MakeTarget = MakeTarget,
    .DeleteTarget = Handle,
    .DrawInto = Handle,
    .TargetTexture = NoTexture,
    .SwapTarget = Handle,
    .Pass = Handles,
};

} // namespace

const Draw* Draw_Fixed() {
    return &fixedDraw;
}
