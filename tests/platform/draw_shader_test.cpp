// The scenes' own GPU work on the modern backend: render targets drawn into
// and read back, a program in the GLSL subset in each context's dialect
// (with its uniforms, a track over one and the frame's time), and the null
// backend telling a frame that reads an earlier frame's target from one that
// stands alone.
#include "platform/draw.h"
#include "platform/draw_modern.h"
#include "platform/opengl.h"
#include "platform/window.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace {

const int W = 160, H = 120;

// A hidden window with a context of the kind the limit stands for, and the
// modern table started in it.
struct Context {
    ZELKOR_Window window;
    SDL_GLContext context = nullptr;
    const Draw* d = Draw_Modern();

    int Open(int limit) {
        window.SetHidden(1);
        if (!window.Initialize(nullptr, ZELKOR_DefWindowProc, W, H, 0, nullptr)) return 0;
        if (limit == DRAW_MODERN_AS_IS) {
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_CORE);
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 3);
        } else if (limit == DRAW_MODERN_AS_GLES2) {
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
            SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
        } // else the compatibility context SDL makes by default
        context = SDL_GL_CreateContext(window.GetHandle());
        SDL_GL_ResetAttributes();
        if (!context) return 0;
        DrawModern_LimitTo(limit);
        int started = d->Start();
        DrawModern_LimitTo(DRAW_MODERN_AS_IS);
        if (!started) return 0;
        d->Viewport(0, 0, W, H);
        d->Perspective(45.0, (double)W / H, 0.1f, 1000.0);
        d->InitialState();
        return 1;
    }
    ~Context() {
        if (context) {
            d->Stop();
            SDL_GL_DeleteContext(context);
        }
        window.Shutdown();
    }
};

// The picture's pixel at (x, y) from the bottom left, as 0-255 RGB.
void Pixel(int x, int y, int rgb[3]) {
    Draw_Modern()->Submit();
    unsigned char p[4];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(x, y, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, p);
    for (int i = 0; i < 3; i++) rgb[i] = p[i];
}

void ExpectPixel(int x, int y, int r, int g, int b, const char* what) {
    int p[3];
    Pixel(x, y, p);
    EXPECT_NEAR(p[0], r, 2) << what;
    EXPECT_NEAR(p[1], g, 2) << what;
    EXPECT_NEAR(p[2], b, 2) << what;
}

// A target filled with one colour by a pass of the backend's own program.
void Fill(const Draw* d, uint32_t target, float r, float g, float b) {
    d->DrawInto(target);
    d->Disable(DRAW_BLEND);
    d->Color4f(r, g, b, 1.0f);
    d->Pass(0, 0);
    d->Color4f(1.0f, 1.0f, 1.0f, 1.0f);
}

TEST(DrawShader, RenderTargetsAreDrawnIntoAndRead) {
    Context c;
    ASSERT_TRUE(c.Open(DRAW_MODERN_AS_IS)) << SDL_GetError();
    const Draw* d = c.d;

    // A target's content, bound as a texture over the picture's left half.
    uint32_t small = d->MakeTarget(64, 32, DRAW_TARGET_DEPTH);
    ASSERT_NE(small, 0u);
    Fill(d, small, 1, 0, 0);
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 64);
    EXPECT_EQ(viewport[3], 32);
    d->DrawInto(0);
    d->Clear(DRAW_COLOR_BUFFER_BIT | DRAW_DEPTH_BUFFER_BIT);
    d->BeginOverlay(W, H);
    d->Enable(DRAW_TEXTURE_2D);
    d->BindTexture(d->TargetTexture(small));
    d->Color4f(1, 1, 1, 1);
    d->Begin(DRAW_QUADS);
    d->TexCoord2f(0, 0), d->Vertex3f(0, 0, 0);
    d->TexCoord2f(1, 0), d->Vertex3f(W / 2, 0, 0);
    d->TexCoord2f(1, 1), d->Vertex3f(W / 2, H, 0);
    d->TexCoord2f(0, 1), d->Vertex3f(0, H, 0);
    d->End();
    d->EndOverlay();
    ExpectPixel(W / 4, H / 2, 255, 0, 0, "the target's red, bound");
    ExpectPixel(3 * W / 4, H / 2, 0, 0, 0, "the picture beside it");

    // Ping-pong: the texture read is the one drawn before the last swap.
    uint32_t trail = d->MakeTarget(0, 0, DRAW_TARGET_PING_PONG);
    ASSERT_NE(trail, 0u);
    Fill(d, trail, 0, 1, 0);
    d->SwapTarget(trail);
    Fill(d, trail, 0, 0, 1);
    d->DrawInto(0);
    d->Pass(0, trail);
    ExpectPixel(W / 2, H / 2, 0, 255, 0, "the front texture before the swap");
    d->SwapTarget(trail);
    d->Pass(0, trail);
    ExpectPixel(W / 2, H / 2, 0, 0, 255, "after it");

    // A target of the picture's size follows it.
    d->Viewport(0, 0, W / 2, H / 2);
    d->DrawInto(trail);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], W / 2);
    EXPECT_EQ(viewport[3], H / 2);
    d->DrawInto(0);
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], W / 2);
    EXPECT_EQ(DrawModern_GLErrors(), 0);
}

// A track for "shade.gain" only, at 0.5.
int FindTrack(const char* name) {
    return strcmp(name, "shade.gain") == 0 ? 7 : 1;
}
int TrackValue(int handle, float* out) {
    if (handle != 7) return 0;
    *out = 0.5f;
    return 1;
}

const char* const vertexSource = R"(attribute vec4 position;
attribute vec2 texCoord;
varying vec2 vTexCoord;
uniform mat4 warp;
void main() {
    gl_Position = warp * position;
    vTexCoord = texCoord;
}
)";

const char* const fragmentSource = R"(precision mediump float;
varying vec2 vTexCoord;
uniform sampler2D picture;
uniform vec4 tint;
uniform float gain;
uniform float time;
void main() {
    vec3 texel = texture2D(picture, vTexCoord).rgb;
    gl_FragColor = vec4(texel * tint.rgb * gain + vec3(0.0, 0.0, time), 1.0);
}
)";

// The same source in GL 3.3 core, GLES 2 (WebGL 1) and GL 2.1: a matrix
// halves the pass, a vector tints it, a track halves it again, the frame's
// time is its blue; broken, it names its line and the last good code draws on.
TEST(DrawShader, TheSubsetRunsInEveryDialect) {
    const DrawUniformSource tracks = {FindTrack, TrackValue};
    Draw_SetUniformSource(&tracks);
    for (int limit : {DRAW_MODERN_AS_IS, DRAW_MODERN_AS_GLES2, DRAW_MODERN_AS_GL21}) {
        SCOPED_TRACE(limit);
        Context c;
        ASSERT_TRUE(c.Open(limit)) << SDL_GetError();
        const Draw* d = c.d;
        uint32_t white = d->MakeTarget(32, 32, 0);
        Fill(d, white, 1, 1, 1);
        uint32_t shade = d->ProgramFromSource("shade", vertexSource, fragmentSource);
        ASSERT_NE(shade, 0u);
        ASSERT_EQ(DrawModern_ShaderProblem(0), nullptr) << DrawModern_ShaderProblem(0);

        auto draw = [&] {
            d->DrawInto(0);
            d->Clear(DRAW_COLOR_BUFFER_BIT | DRAW_DEPTH_BUFFER_BIT);
            d->FrameValues(0.25f, 0.0f);
            d->UseProgram(shade);
            const float tint[4] = {1.0f, 0.5f, 0.0f, 1.0f}, gain = 1.0f;
            float warp[16] = {0.5f, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, -0.5f, 0, 0, 1};
            d->Uniform("tint", 4, tint);
            d->Uniform("gain", 1, &gain); // the track's 0.5 goes over it
            d->Uniform("warp", 16, warp);
            d->Pass(shade, white);
            d->UseProgram(0);
            ExpectPixel(W / 4, H / 2, 128, 64, 64, "the shaded left half");
            ExpectPixel(3 * W / 4, H / 2, 0, 0, 0, "the right half");
        };
        draw();

        std::string broken = fragmentSource;
        broken.replace(broken.find("texel *"), 7, "texel * undeclared *");
        EXPECT_EQ(d->ProgramFromSource("shade", vertexSource, broken.c_str()), shade);
        const char* problem = DrawModern_ShaderProblem(0);
        ASSERT_NE(problem, nullptr);
        EXPECT_EQ(std::string(problem).rfind("shade (fragment):9: ", 0), 0u) << problem;
        draw();
        EXPECT_EQ(DrawModern_GLErrors(), 0);
    }
    Draw_SetUniformSource(nullptr);
}

// Catch-up may start drawing at a frame that stands alone; one that reads a
// target drawn in an earlier frame (feedback) does not.
TEST(DrawShader, AFrameReadingAnEarlierFramesTargetDoesNotStandAlone) {
    Context c;
    ASSERT_TRUE(c.Open(DRAW_MODERN_AS_IS)) << SDL_GetError();
    uint32_t glow = c.d->MakeTarget(64, 64, 0);
    uint32_t trail = c.d->MakeTarget(0, 0, DRAW_TARGET_PING_PONG);
    const Draw* n = Draw_Null();
    Draw_NullFrameStandsAlone();

    // Drawn into and cleared first, then read: the frame owes nothing.
    n->DrawInto(glow);
    n->Clear(DRAW_COLOR_BUFFER_BIT);
    n->Begin(DRAW_TRIANGLES);
    n->End();
    n->DrawInto(0);
    n->Clear(DRAW_COLOR_BUFFER_BIT | DRAW_DEPTH_BUFFER_BIT);
    n->Enable(DRAW_TEXTURE_2D);
    n->BindTexture(n->TargetTexture(glow));
    n->Pass(0, glow);
    EXPECT_TRUE(Draw_NullFrameStandsAlone());

    // The trail's front holds the frame before: read, it carries that on.
    n->DrawInto(0);
    n->Clear(DRAW_COLOR_BUFFER_BIT | DRAW_DEPTH_BUFFER_BIT);
    n->DrawInto(trail);
    n->Pass(0, trail);
    n->SwapTarget(trail);
    n->DrawInto(0);
    n->Pass(0, trail);
    EXPECT_FALSE(Draw_NullFrameStandsAlone());
}

} // namespace
