// The draw layer: the immediate-mode calls the scenes, the effects and the
// texture manager make, as a table of functions with one table per backend.
//
//   fixed   the OpenGL 1.x calls themselves, one for one and in the same
//           order (the default: the show's own path).
//   modern  OpenGL ES 2.0-compatible calls only: vertices batched into
//           buffers, a few shaders for the fixed-function state the scenes
//           use, matrices kept on the CPU. Runs in a GL 3.3 core, GL 2.1 or
//           GLES 2/3 context, and in WebGL. It alone has the scenes' own
//           shader programs and render targets.
//   null    draws nothing; scenes still advance exactly as when drawn.
//
// The constants carry OpenGL's own values, so the fixed backend passes them
// straight through. A scene is handed its table in its frame; code outside a
// frame (start-up, texture loads) uses Draw_Current(). The entries' types are
// OpenGL's own, so the fixed table holds the GL entry points themselves: a
// scene's call costs one indirect call, as the GL call it replaces.
#pragma once
#include "core/api.h"

#include <cstdint>

enum DrawRenderer { DRAW_FIXED = 0, DRAW_MODERN = 1, DRAW_NULL = 2 };

enum DrawPrimitive {
    DRAW_POINTS = 0x0000, // squares PointSize pixels wide
    DRAW_LINES = 0x0001,
    DRAW_LINE_LOOP = 0x0002,
    DRAW_LINE_STRIP = 0x0003,
    DRAW_TRIANGLES = 0x0004,
    DRAW_TRIANGLE_STRIP = 0x0005,
    DRAW_TRIANGLE_FAN = 0x0006,
    DRAW_QUADS = 0x0007,
};

enum DrawCapability {
    DRAW_TEXTURE_2D = 0x0DE1,
    DRAW_BLEND = 0x0BE2,
    DRAW_DEPTH_TEST = 0x0B71,
};

enum DrawBlendFactor {
    DRAW_ZERO = 0,
    DRAW_ONE = 1,
    DRAW_SRC_COLOR = 0x0300,
    DRAW_ONE_MINUS_SRC_COLOR = 0x0301,
    DRAW_SRC_ALPHA = 0x0302,
    DRAW_ONE_MINUS_SRC_ALPHA = 0x0303,
    DRAW_DST_ALPHA = 0x0304,
    DRAW_ONE_MINUS_DST_ALPHA = 0x0305,
    DRAW_DST_COLOR = 0x0306,
    DRAW_ONE_MINUS_DST_COLOR = 0x0307,
};

enum DrawPolygonMode { DRAW_LINE = 0x1B01, DRAW_FILL = 0x1B02 };

enum DrawClearBits { DRAW_DEPTH_BUFFER_BIT = 0x0100, DRAW_COLOR_BUFFER_BIT = 0x4000 };

enum DrawTargetFlags {
    DRAW_TARGET_DEPTH = 1,     // with a depth buffer
    DRAW_TARGET_PING_PONG = 2, // two textures: one drawn into, the other read
    DRAW_TARGET_HALF = 4,      // with 0 x 0: half the picture's width and height
    DRAW_TARGET_QUARTER = 8,   // with 0 x 0: a quarter of them
};

// A decoded picture to upload: rows in file order, R G B (A), each row
// starting on a multiple of rowAlignment bytes.
struct DrawImage {
    int width = 0, height = 0;
    int channels = 3; // 3 or 4
    int rowAlignment = 1;
    const uint8_t* pixels = nullptr;
};

struct Draw {
    int renderer; // DrawRenderer
    const char* name;

    // Made current after the context: 1, or 0 when the backend cannot run
    // there (no shaders, too old a context). Stop releases what Start made.
    int (*Start)();
    void (*Stop)();

    // The fixed render state the show starts from (smooth shading, black
    // clear colour, far depth, LEQUAL, nicest perspective, depth test on,
    // normals renormalised).
    void (*InitialState)();
    // Projection: a perspective of fieldOfView degrees over `aspect`, then
    // the modelview matrix is made current and reset.
    void (*Perspective)(double fieldOfView, double aspect, double nearPlane, double farPlane);
    void (*LookAt)(double eyeX, double eyeY, double eyeZ, double atX, double atY, double atZ,
                   double upX, double upY, double upZ);
    void (*Viewport)(int x, int y, int width, int height);
    void (*Clear)(unsigned mask); // DrawClearBits
    // Blackens the frame outside the picture area, and `leftGap` columns at
    // the area's left edge, leaving every state as it was.
    void (*ClearBars)(int frameWidth, int frameHeight, int x, int y, int width, int height,
                      int leftGap);
    void (*Flush)();
    // Hands GL whatever the backend still holds back (the modern one batches
    // vertices), with no GL call of its own: call it before reading the frame
    // or drawing into it with GL directly. The fixed backend holds nothing.
    void (*Submit)();

    // Immediate mode.
    void (*Begin)(unsigned primitive);
    void (*End)();
    void (*Vertex3f)(float x, float y, float z);
    void (*TexCoord2f)(float s, float t);
    void (*TexCoord2d)(double s, double t);
    void (*Color3f)(float r, float g, float b);
    void (*Color4f)(float r, float g, float b, float a);
    void (*Normal3f)(float x, float y, float z);

    // The modelview matrix.
    void (*LoadIdentity)();
    void (*PushMatrix)();
    void (*PopMatrix)();
    void (*Translatef)(float x, float y, float z);
    void (*Rotatef)(float degrees, float x, float y, float z);
    void (*Scalef)(float x, float y, float z);

    // State.
    void (*Enable)(unsigned capability);
    void (*Disable)(unsigned capability);
    void (*BlendFunc)(unsigned source, unsigned destination);
    void (*PolygonMode)(int mode); // front and back faces
    void (*NicestPerspective)();   // the perspective-correction hint
    void (*LineWidth)(float width);
    void (*PointSize)(float size);

    // Textures: `name` 0 makes a new texture object, else refills that one.
    // Returns the object's name. Mipmapped uploads filter trilinearly.
    uint32_t (*UploadTexture)(uint32_t name, const DrawImage* image, int mipmaps);
    void (*BindTexture)(uint32_t name);
    // The largest texture side the context takes (0 when there is none).
    int (*MaxTextureSide)();

    // Drawing over the finished picture (the engine's fades, a tool's
    // overlay). BeginOverlay keeps every state the draw layer sets and both
    // matrices, then makes the view width x height units from the bottom
    // left, untextured, without depth test, alpha-blended (SRC_ALPHA,
    // ONE_MINUS_SRC_ALPHA), polygons filled; EndOverlay puts it all back.
    void (*BeginOverlay)(int width, int height);
    void (*EndOverlay)();

    // ---- Points, shader programs and render targets (docs/scene-api-draw.md).
    // Programs and targets are made in a scene's preparation (the null table
    // makes none); the fixed table makes none either, and says so once.

    // Points drawn from here on are sprites: the bound texture spans each
    // square, (0, 0) at its upper left. The fixed table needs GL 2.0 for it.
    void (*PointSprites)(int on);

    // A program from shaders/NAME.frag and, when there is one, NAME.vert in
    // the show folder, in the GLSL subset every context takes; asked again
    // by the same name, the same handle, compiled afresh. 0 when NAME is not
    // a plain file name. A program whose source does not compile draws with
    // the last code that did, or as the backend's own shaders before any.
    uint32_t (*ProgramFromFiles)(const char* name);
    // The same from source (`vertex` null: the backend's own vertex shader).
    uint32_t (*ProgramFromSource)(const char* name, const char* vertex, const char* fragment);
    // Draws from here on go through the program (0: the backend's own).
    void (*UseProgram)(uint32_t program);
    // A uniform of the program in use: `count` floats, 1 to 4 (float to
    // vec4) or 16 (a mat4, column by column). A track named
    // "PROGRAM.UNIFORM" (".x" to ".w" for a vector's parts) goes over it.
    void (*Uniform)(const char* name, int count, const float* values);
    // A sampler of the program in use reads `texture` (a texture's or a
    // target's name) on texture unit `unit` (1 to 7; unit 0 is the texture
    // BindTexture binds, which "picture" reads).
    void (*UniformTexture)(const char* name, int unit, uint32_t texture);
    // Before the scenes, from the engine: the standard uniforms "time"
    // (music time in seconds) and "beat" (0 to 1 within the beat).
    void (*FrameValues)(float seconds, float beat);

    // A render target of width x height pixels, or the picture's size
    // (0 x 0), which follows the window. 0 when it cannot be made.
    uint32_t (*MakeTarget)(int width, int height, int flags); // DrawTargetFlags
    void (*DeleteTarget)(uint32_t target);
    // Draws from here on go into the target, its whole area the viewport
    // (0: the picture again, with its viewport).
    void (*DrawInto)(uint32_t target);
    // The target's texture, for BindTexture or UniformTexture: its name
    // holds while the target lives. A ping-pong target's is the one drawn
    // before the last SwapTarget.
    uint32_t (*TargetTexture)(uint32_t target);
    // A ping-pong target's textures change places.
    void (*SwapTarget)(uint32_t target);
    // One quad over all that is drawn into, texture coordinates 0 to 1,
    // in the current colour and blending, without the depth test, through
    // `program` (0: the backend's own) with `source`'s texture bound (0:
    // none). A target read while it is drawn into reads nothing sure.
    void (*Pass)(uint32_t program, uint32_t source);
};

// Where the programs find the tracks that drive their uniforms: `find`
// gives a track name's handle (as Tracks_Intern), `value` its value at the
// frame's music time (1), or 0 when no track gives one.
struct DrawUniformSource {
    int (*find)(const char* name);
    int (*value)(int handle, float* out);
};
void Draw_SetUniformSource(const DrawUniformSource* source);

// The backends' tables.
const Draw* Draw_Fixed();
const Draw* Draw_Modern();
const Draw* Draw_Null();
const Draw* Draw_ForRenderer(int renderer);

// The render state the null backend's calls have left since the last Forget
// (capabilities, blending, polygon mode, bound texture, current colour,
// normal and texture coordinate, line and point size, point sprites, the
// program in use), which GL would have carried into the next frame. Carry
// hands it to a drawing backend, so the first frame drawn after simulated
// ones starts where a run that drew every frame would, and forgets it.
void Draw_NullForget();
void Draw_NullCarry(const Draw* draw);
enum { DRAW_CARRIED_CAPABILITIES = 8 };
struct DrawCarried {
    unsigned capability[DRAW_CARRIED_CAPABILITIES];
    int on[DRAW_CARRIED_CAPABILITIES];
    int capabilities;
    int blend;
    unsigned blendSource, blendDestination;
    int polygon, polygonMode;
    int texture;
    uint32_t textureName;
    int colour;
    float rgba[4];
    int normal;
    float xyz[3];
    int texCoord;
    double st[2];
    int line, point, nicest;
    float lineWidth, pointSize;
    int sprites, spritesOn;
    int program;
    uint32_t programName;
};
// The record itself, to be copied out and put back (a rewound catch-up).
DrawCarried* Draw_NullCarried();
// 1 when the calls since the last call cleared colour and depth before
// anything was drawn, and read no target that was not cleared since: that
// frame's picture owes nothing to earlier frames. A pass over the whole
// picture without blending counts as a clear of its colour.
int Draw_NullFrameStandsAlone();
// What share of the picture before it the frame just told of keeps at most:
// 0 when it stood alone, a fade's alpha when its first drawing was a fade
// (the destination times the source alpha, nothing of the source), else 1.
float Draw_NullFrameKeeps();
// The same with the targets it read left out (as if each held what a run
// drawing every frame has), and whether it read one it did not clear.
void Draw_NullFramePicture(int* standsAlone, float* keeps, int* readTarget);

// The table the context was started with; the fixed one before any.
ZELKOR_API const Draw* Draw_Current();
void Draw_SetCurrent(const Draw* draw);

// "fixed", "modern" or "null" -> DrawRenderer; -1 for another name.
int Draw_ParseRenderer(const char* name);
