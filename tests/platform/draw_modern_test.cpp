// The modern draw backend against the fixed one: the same short sequences go
// through each table, the fixed one in a compatibility context and the modern
// one in the core context ZELKOR_OpenGL makes for it (or a GLES context held
// to what GLES 2 offers), and the pictures must agree.
#include "platform/draw.h"
#include "platform/draw_matrix.h"
#include "platform/draw_modern.h"
#include "platform/opengl.h"
#include "platform/window.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace {

const int W = 320, H = 240;

// Texture names in the backend's own context.
struct Textures {
    uint32_t rgb = 0, rgba = 0, npot = 0;
};

// A picture with structure, so a misplaced texel shows: rings in red, stripes
// in green and blue; alpha (when there is one) falls off from the centre.
std::vector<uint8_t> Pattern(int w, int h, int channels, int rowAlignment) {
    size_t stride = ((size_t)w * channels + rowAlignment - 1) / rowAlignment * rowAlignment;
    std::vector<uint8_t> px(stride * h);
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            uint8_t* p = &px[y * stride + (size_t)x * channels];
            double dx = x - w / 2.0, dy = y - h / 2.0, r = std::sqrt(dx * dx + dy * dy);
            p[0] = (uint8_t)(127 + 127 * std::cos(r * 0.4));
            p[1] = (uint8_t)(x * 8 % 256);
            p[2] = (uint8_t)((y / 4) % 2 ? 230 : 40);
            if (channels == 4) p[3] = (uint8_t)std::fmax(0.0, 255 - r * 512 / w);
        }
    return px;
}

Textures Upload(const Draw* d) {
    Textures t;
    std::vector<uint8_t> rgb = Pattern(64, 64, 3, 1), rgba = Pattern(32, 32, 4, 4);
    std::vector<uint8_t> npot = Pattern(45, 30, 3, 4); // rows padded to 4 bytes
    DrawImage image;
    image = {64, 64, 3, 1, rgb.data()};
    t.rgb = d->UploadTexture(0, &image, 1);
    image = {32, 32, 4, 4, rgba.data()};
    t.rgba = d->UploadTexture(0, &image, 1);
    image = {45, 30, 3, 4, npot.data()};
    t.npot = d->UploadTexture(0, &image, 1);
    return t;
}

typedef void (*Sequence)(const Draw* d, const Textures& t);

std::vector<uint8_t> ReadFrame() {
    std::vector<uint8_t> px((size_t)W * H * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, W, H, GL_RGBA, GL_UNSIGNED_BYTE, px.data());
    return px;
}

double Luma(const uint8_t* p) {
    return 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
}

// How two frames differ: luma PSNR, and the share of the pixels lit in either
// whose colour is off by more than `tolerance` in some channel.
struct Difference {
    double psnr = 0, offShare = 0;
    int lit = 0;
};

Difference Compare(const std::vector<uint8_t>& a, const std::vector<uint8_t>& b,
                   int tolerance = 24) {
    Difference d;
    double sum = 0;
    int off = 0;
    for (size_t i = 0; i < a.size(); i += 4) {
        double e = Luma(&a[i]) - Luma(&b[i]);
        sum += e * e;
        if (Luma(&a[i]) < 8 && Luma(&b[i]) < 8) continue;
        d.lit++;
        for (int c = 0; c < 3; c++)
            if (abs(a[i + c] - b[i + c]) > tolerance) {
                off++;
                break;
            }
    }
    double mse = sum / (a.size() / 4);
    d.psnr = mse == 0 ? 99.0 : 10 * std::log10(255.0 * 255.0 / mse);
    d.offShare = d.lit ? (double)off / d.lit : 0;
    return d;
}

class DrawModernTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(Open(&fixedWindow, &fixedGL, DRAW_FIXED));
        fixedContext = SDL_GL_GetCurrentContext();
        fixedTextures = Upload(Draw_Fixed());
        ASSERT_TRUE(Open(&modernWindow, &modernGL, DRAW_MODERN));
        modernContext = SDL_GL_GetCurrentContext();
        modernTextures = Upload(Draw_Modern());
    }
    void TearDown() override {
        SDL_GL_MakeCurrent(modernWindow.GetHandle(), modernContext);
        modernGL.Shutdown();
        modernWindow.Shutdown();
        SDL_GL_MakeCurrent(fixedWindow.GetHandle(), fixedContext);
        fixedGL.Shutdown();
        fixedWindow.Shutdown();
    }
    static int Open(ZELKOR_Window* window, ZELKOR_OpenGL* gl, int renderer) {
        window->SetHidden(1);
        gl->SetRenderer(renderer);
        return window->Initialize(nullptr, ZELKOR_DefWindowProc, W, H, 0, nullptr) &&
               gl->Initialize(window, 32, nullptr);
    }

    // Both frames of `sequence`, drawn from a cleared frame with the
    // camera at the origin.
    void DrawBoth(Sequence sequence) {
        SDL_GL_MakeCurrent(fixedWindow.GetHandle(), fixedContext);
        Run(Draw_Fixed(), fixedTextures, sequence);
        fixedFrame = ReadFrame();
        SDL_GL_MakeCurrent(modernWindow.GetHandle(), modernContext);
        Run(Draw_Modern(), modernTextures, sequence);
        modernFrame = ReadFrame();
    }
    static void Run(const Draw* d, const Textures& t, Sequence sequence) {
        d->Clear(DRAW_COLOR_BUFFER_BIT | DRAW_DEPTH_BUFFER_BIT);
        d->LoadIdentity();
        d->Disable(DRAW_TEXTURE_2D);
        d->Disable(DRAW_BLEND);
        d->Enable(DRAW_DEPTH_TEST);
        d->PolygonMode(DRAW_FILL);
        d->LineWidth(1.0f);
        d->Color4f(1, 1, 1, 1);
        sequence(d, t);
        d->Flush();
    }
    void ExpectAlike(double minPsnr = 40, double maxOffShare = 0.01) {
        Difference d = Compare(fixedFrame, modernFrame);
        EXPECT_GT(d.lit, 500) << "too little was drawn to compare";
        EXPECT_GE(d.psnr, minPsnr);
        EXPECT_LE(d.offShare, maxOffShare) << "of " << d.lit << " lit pixels";
    }

    ZELKOR_Window fixedWindow, modernWindow;
    ZELKOR_OpenGL fixedGL, modernGL;
    SDL_GLContext fixedContext = nullptr, modernContext = nullptr;
    Textures fixedTextures, modernTextures;
    std::vector<uint8_t> fixedFrame, modernFrame;
};

void Quad(const Draw* d, float x0, float y0, float x1, float y1, float z, float repeat = 1) {
    d->Begin(DRAW_QUADS);
    d->TexCoord2f(0, 0);
    d->Vertex3f(x0, y0, z);
    d->TexCoord2f(repeat, 0);
    d->Vertex3f(x1, y0, z);
    d->TexCoord2f(repeat, repeat);
    d->Vertex3f(x1, y1, z);
    d->TexCoord2f(0, repeat);
    d->Vertex3f(x0, y1, z);
    d->End();
}

TEST_F(DrawModernTest, FilledPrimitivesWithColoursAndTheDepthTest) {
    DrawBoth([](const Draw* d, const Textures&) {
        d->Translatef(0, 0, -10);
        d->Rotatef(20, 0, 0, 1);
        d->Begin(DRAW_QUADS); // colours persist from vertex to vertex
        d->Color3f(1, 0, 0);
        d->Vertex3f(-3, -2, 0);
        d->Color3f(0, 1, 0);
        d->Vertex3f(2, -2, 0);
        d->Vertex3f(2, 2, 0);
        d->Color4f(0, 0, 1, 1);
        d->Vertex3f(-3, 2, 0);
        d->End();
        d->Begin(DRAW_TRIANGLE_STRIP); // half in front of the quad, half behind
        for (int i = 0; i < 8; i++) {
            d->Color3f(i / 8.0f, 1 - i / 8.0f, 0.5f);
            d->Vertex3f(-4 + i, i % 2 ? 1.0f : -0.5f, i < 4 ? 1.0f : -1.0f);
        }
        d->End();
        d->Begin(DRAW_TRIANGLE_FAN);
        d->Color3f(1, 1, 0);
        d->Vertex3f(-3, 3, 0); // equal depth still passes (LEQUAL)
        for (int i = 0; i <= 6; i++)
            d->Vertex3f(-3 + 2.0f * cosf(i * 0.4f), 3 - 2.0f * sinf(i * 0.4f), 0);
        d->End();
        d->Begin(DRAW_TRIANGLES);
        d->Color3f(0, 1, 1);
        d->Vertex3f(3, 0, 2);
        d->Vertex3f(5, 0, 2);
        d->Vertex3f(4, 3, -2);
        d->End();
    });
    ExpectAlike();
}

TEST_F(DrawModernTest, RotatedTexturesModulateAndRepeat) {
    DrawBoth([](const Draw* d, const Textures& t) {
        d->Translatef(-1.5f, 0, -9);
        d->Rotatef(35, 0, 0, 1);
        d->Rotatef(50, 1, 0.3f, 0); // steep: the far side samples small mipmaps
        d->Enable(DRAW_TEXTURE_2D);
        d->BindTexture(t.rgb);
        d->Color3f(0.9f, 0.7f, 1.0f);
        Quad(d, -3, -3, 3, 3, 0, 2);
        d->LoadIdentity();
        d->Enable(DRAW_BLEND);
        d->BlendFunc(DRAW_SRC_ALPHA, DRAW_ONE_MINUS_SRC_ALPHA);
        d->BindTexture(t.rgba); // alpha from the texel times the colour's
        d->Color4f(1, 1, 1, 0.8f);
        Quad(d, 0.5f, -1.5f, 3.5f, 1.5f, -8);
        d->BindTexture(t.npot);
        Quad(d, -3.8f, -2.8f, -0.8f, -0.8f, -8, 2);
    });
    // The fixed backend scales the 45 x 30 picture to 32 x 32 (GLU does), this
    // one keeps it: their seams differ.
    ExpectAlike(35, 0.05);
}

TEST_F(DrawModernTest, WideLinesAreThreePixelsWide) {
    DrawBoth([](const Draw* d, const Textures&) {
        d->Disable(DRAW_DEPTH_TEST);
        d->Enable(DRAW_BLEND);
        d->BlendFunc(DRAW_SRC_ALPHA, DRAW_ONE);
        d->LineWidth(3.0f);
        d->Translatef(0, 0, -10);
        d->Begin(DRAW_LINE_LOOP);
        for (int i = 0; i < 5; i++) {
            d->Color4f(1, i / 5.0f, 0.3f, 1);
            d->Vertex3f(3 * cosf(i * 1.2566f), 3 * sinf(i * 1.2566f), 0);
        }
        d->End();
        d->Begin(DRAW_LINE_STRIP); // steep and shallow pieces
        d->Color4f(0.2f, 0.5f, 1, 1);
        d->Vertex3f(-5, -3, 0);
        d->Vertex3f(-4.5f, 2, 0);
        d->Color4f(0.2f, 1, 0.5f, 1);
        d->Vertex3f(-2, 3, 0);
        d->Vertex3f(4, 2.5f, 0);
        d->End();
        d->Color4f(0.4f, 0.4f, 0.4f, 1);
        d->Begin(DRAW_LINE_LOOP); // two vertices: drawn there and back, twice as bright
        d->Vertex3f(-4, -3.5f, 0);
        d->Vertex3f(4, -2.8f, 0);
        d->End();
        d->LineWidth(1.0f);
        d->Begin(DRAW_LINES);
        d->Color3f(1, 1, 1);
        d->Vertex3f(-5, 3.5f, 0);
        d->Vertex3f(5, 3.2f, 0);
        d->End();
    });
    ExpectAlike(35, 0.03);
}

TEST_F(DrawModernTest, PolygonModeLineDrawsTheOutlines) {
    DrawBoth([](const Draw* d, const Textures& t) {
        d->Disable(DRAW_DEPTH_TEST);
        d->Enable(DRAW_BLEND);
        d->BlendFunc(DRAW_SRC_ALPHA, DRAW_ONE);
        d->LineWidth(3.0f);
        d->PolygonMode(DRAW_LINE);
        d->Color4f(0.7f, 0.7f, 1.0f, 1.0f);
        d->Translatef(0, 0, 1.5f);
        for (int i = 0; i < 12; i++) {
            d->Begin(DRAW_QUADS);
            d->Vertex3f(-sinf(i * 0.5f), -cosf(i * 0.7f), -5.0f - 0.3f * i);
            d->Vertex3f(cosf(i * 0.9f), -sinf(i * 1.1f), -5.2f);
            d->Vertex3f(-sinf(i - 1.3f), cosf(i * 0.4f), -5.0f + 0.2f * i);
            d->Vertex3f(cosf(i + 2.0f), sinf(i * 0.8f), -4.8f);
            d->End();
        }
        d->PolygonMode(DRAW_FILL); // the picture added at half brightness
        d->LoadIdentity();
        d->Enable(DRAW_TEXTURE_2D);
        d->BindTexture(t.rgb);
        d->Color3f(0.5f, 0.5f, 0.5f);
        Quad(d, -11.5f, -8.71f, 11.6f, 8.7f, -21);
    });
    ExpectAlike(35, 0.03);
}

TEST_F(DrawModernTest, BlendFactorsAddAndDarken) {
    DrawBoth([](const Draw* d, const Textures& t) {
        d->Translatef(0, 0, -10);
        d->Enable(DRAW_TEXTURE_2D);
        d->BindTexture(t.rgb);
        Quad(d, -4, -3, 4, 3, 0);
        d->Disable(DRAW_DEPTH_TEST);
        d->Enable(DRAW_BLEND);
        d->BlendFunc(DRAW_SRC_ALPHA, DRAW_ONE); // additive
        d->Disable(DRAW_TEXTURE_2D);
        d->Color4f(0.2f, 0.6f, 0.1f, 0.7f);
        Quad(d, -3, -2, 0, 2, 0);
        // Darkens by 0.7 x the bound texture's alpha, as the swirl's trails.
        d->Enable(DRAW_TEXTURE_2D);
        d->BindTexture(t.rgba);
        d->BlendFunc(DRAW_ZERO, DRAW_SRC_ALPHA);
        d->Color4f(1, 1, 1, 0.7f);
        Quad(d, -1, -3, 4, 3, 0);
        d->Color4f(1, 1, 1, -2.0f); // clamped to 0: the corner turns black
        Quad(d, 3, 2, 4, 3, 0);
    });
    ExpectAlike();
}

// ParticleSystem::Render's calls: a strip per particle under a rotation that
// accumulates, the same texture bound before each.
void Particles(const Draw* d, uint32_t texture) {
    d->Disable(DRAW_DEPTH_TEST);
    d->Enable(DRAW_BLEND);
    d->BlendFunc(DRAW_SRC_ALPHA, DRAW_ONE);
    d->Translatef(0, 0, -20);
    for (int i = 0; i < 1500; i++) {
        d->Enable(DRAW_TEXTURE_2D);
        d->BindTexture(texture);
        d->Color4f(0.4f, 0.6f, 1.0f, (i % 10) * 0.05f);
        d->Rotatef(0.37f, 1, 1, 1);
        float x = (float)((i * 7919) % 200) * 0.05f - 5,
              y = (float)((i * 104729) % 160) * 0.05f - 4;
        d->Begin(DRAW_TRIANGLE_STRIP);
        d->TexCoord2d(1, 1);
        d->Vertex3f(x + 0.5f, y + 0.5f, 0);
        d->TexCoord2d(0, 1);
        d->Vertex3f(x - 0.5f, y + 0.5f, 0);
        d->TexCoord2d(1, 0);
        d->Vertex3f(x + 0.5f, y - 0.5f, 0);
        d->TexCoord2d(0, 0);
        d->Vertex3f(x - 0.5f, y - 0.5f, 0);
        d->End();
    }
}

TEST_F(DrawModernTest, ParticleSystemIsOneDrawCall) {
    DrawBoth([](const Draw* d, const Textures& t) {
        d->Flush();
        long before = DrawModern_DrawCalls();
        Particles(d, t.rgba);
        d->Flush();
        if (d == Draw_Modern()) {
            EXPECT_EQ(DrawModern_DrawCalls() - before, 1);
        }
    });
    ExpectAlike();
}

TEST_F(DrawModernTest, ClearBarsLeavesTheScissorOff) {
    DrawBoth([](const Draw* d, const Textures&) {
        d->Disable(DRAW_DEPTH_TEST);
        d->Color3f(0.8f, 0.8f, 0.8f);
        Quad(d, -10, -10, 10, 10, -5);
        d->ClearBars(W, H, 40, 0, W - 80, H, 0);
        d->ClearBars(W, H, 0, 30, W, H - 60, 0);
        d->Color3f(1.0f, 0.3f, 0.3f); // across a bar: drawn whole
        Quad(d, -10, -0.5f, 10, 0.5f, -5);
    });
    ExpectAlike();
}

// Particles as textured point sprites (the texture's stripes show which way
// up a sprite is), then plain points in one colour each.
TEST_F(DrawModernTest, PointSpritesAsTheFixedBackendDrawsThem) {
    DrawBoth([](const Draw* d, const Textures& t) {
        d->Disable(DRAW_DEPTH_TEST);
        d->Enable(DRAW_BLEND);
        d->BlendFunc(DRAW_SRC_ALPHA, DRAW_ONE);
        d->Enable(DRAW_TEXTURE_2D);
        d->BindTexture(t.rgba);
        d->PointSprites(1);
        d->PointSize(28.0f);
        d->Translatef(0, 0, -10);
        d->Begin(DRAW_POINTS);
        for (int i = 0; i < 12; i++) {
            d->Color4f(1, 0.3f + i / 20.0f, 1 - i / 12.0f, 1);
            d->Vertex3f(4 * cosf(i * 0.52f), 3 * sinf(i * 0.52f), 0);
        }
        d->End();
        d->PointSprites(0);
        d->Disable(DRAW_TEXTURE_2D);
        d->PointSize(5.0f);
        d->Begin(DRAW_POINTS);
        d->Color3f(0.2f, 1, 0.2f);
        d->Vertex3f(0, 0, 0);
        d->Vertex3f(1.5f, -0.5f, 0);
        d->Vertex3f(0, 0, 20); // behind the eye: dropped
        d->End();
        d->PointSize(1.0f);
    });
    // Sampled mipmap levels differ a little; a sprite upside down is off
    // in half its pixels.
    ExpectAlike(35, 0.01);
}

// A quad coloured unevenly shows which diagonal cut it: Mesa cuts along 0-2,
// or along 1-3 when a vertex of the draw is outside the view volume.
TEST_F(DrawModernTest, QuadsAreCutAsMesaCutsThem) {
    for (float size : {4.0f, 40.0f}) {
        static float s;
        s = size;
        DrawBoth([](const Draw* d, const Textures&) {
            d->Translatef(-2, -2, -10);
            d->Begin(DRAW_QUADS);
            d->Color3f(1, 0, 0);
            d->Vertex3f(0, 0, 0);
            d->Color3f(0, 1, 0);
            d->Vertex3f(s, 0, 0);
            d->Vertex3f(s, s, 0);
            d->Color3f(0, 0, 1);
            d->Vertex3f(0, s, 0);
            d->End();
        });
        ExpectAlike(45, 0.001);
    }
}

// The same GL maths on the CPU: products, axis shortcuts, GLU's helpers.
TEST_F(DrawModernTest, MatricesMatchTheFixedPipeline) {
    SDL_GL_MakeCurrent(fixedWindow.GetHandle(), fixedContext);
    const Draw* d = Draw_Fixed();
    DrawMatrix m;
    d->Perspective(45.0, 4.0 / 3.0, 0.1f, 1000.0);
    DrawMatrix_Identity(&m);
    d->LookAt(1, 2, 5, 0, 0.5, 0, 0, 1, 0);
    DrawMatrix_LookAt(&m, 1, 2, 5, 0, 0.5, 0, 0, 1, 0);
    d->Translatef(0.5f, -2, 3);
    DrawMatrix_Translate(&m, 0.5f, -2, 3);
    const float axes[5][3] = {{1, 1, 1}, {0, 0, -1}, {0, 2, 0}, {-1, 0, 0}, {0, 0, 0}};
    for (const float* a : axes) {
        d->Rotatef(33.3f, a[0], a[1], a[2]);
        DrawMatrix_Rotate(&m, 33.3f, a[0], a[1], a[2]);
    }
    d->Scalef(1.5f, 0.5f, 2);
    DrawMatrix_Scale(&m, 1.5f, 0.5f, 2);
    float gl[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, gl);
    for (int i = 0; i < 16; i++) EXPECT_NEAR(m.m[i], gl[i], 1e-5) << i;
    DrawMatrix p;
    DrawMatrix_Identity(&p);
    DrawMatrix_Perspective(&p, 45.0, 4.0 / 3.0, 0.1f, 1000.0);
    glGetFloatv(GL_PROJECTION_MATRIX, gl);
    for (int i = 0; i < 16; i++) EXPECT_FLOAT_EQ(p.m[i], gl[i]) << i;
}

// A GLES context held to GLES 2 (as WebGL 1): GLSL ES 1.00, no vertex array
// object, and the non-power-of-two texture scaled so that it repeats.
TEST(DrawModernGles2, DrawsAsTheFixedBackend) {
    ZELKOR_Window fixedWindow, esWindow;
    ZELKOR_OpenGL fixedGL;
    fixedWindow.SetHidden(1);
    esWindow.SetHidden(1);
    ASSERT_TRUE(fixedWindow.Initialize(nullptr, ZELKOR_DefWindowProc, W, H, 0, nullptr));
    ASSERT_TRUE(fixedGL.Initialize(&fixedWindow, 32, nullptr));
    SDL_GLContext fixedContext = SDL_GL_GetCurrentContext();
    ASSERT_TRUE(esWindow.Initialize(nullptr, ZELKOR_DefWindowProc, W, H, 0, nullptr));
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 2);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);
    SDL_GLContext esContext = SDL_GL_CreateContext(esWindow.GetHandle());
    SDL_GL_ResetAttributes();
    ASSERT_TRUE(esContext) << SDL_GetError();
    DrawModern_LimitTo(DRAW_MODERN_AS_GLES2);
    const Draw* modern = Draw_Modern();
    ASSERT_TRUE(modern->Start()) << SDL_GetError();
    DrawModern_LimitTo(DRAW_MODERN_AS_IS);
    modern->Viewport(0, 0, W, H);
    modern->Perspective(45.0, (double)W / H, 0.1f, 1000.0);
    modern->InitialState();
    Textures esTextures = Upload(modern);

    auto sequence = [](const Draw* d, const Textures& t) {
        d->Clear(DRAW_COLOR_BUFFER_BIT | DRAW_DEPTH_BUFFER_BIT);
        d->LoadIdentity();
        d->Translatef(0, 0, -8);
        d->Rotatef(25, 0, 0, 1);
        d->Enable(DRAW_TEXTURE_2D);
        d->BindTexture(t.npot);
        d->Color3f(1, 1, 1);
        Quad(d, -3, -2, 3, 2, 0, 2);
        d->Disable(DRAW_TEXTURE_2D);
        d->LineWidth(3);
        d->Begin(DRAW_LINE_STRIP);
        d->Color3f(1, 1, 0);
        d->Vertex3f(-4, -3, 0);
        d->Vertex3f(4, -2.5f, 0);
        d->Vertex3f(4.5f, 3, 0);
        d->End();
        d->LineWidth(1);
        d->Flush();
    };
    sequence(modern, esTextures);
    std::vector<uint8_t> esFrame = ReadFrame();
    modern->Stop();
    SDL_GL_MakeCurrent(fixedWindow.GetHandle(), fixedContext);
    sequence(Draw_Fixed(), Upload(Draw_Fixed()));
    std::vector<uint8_t> fixedFrame = ReadFrame();
    Difference d = Compare(fixedFrame, esFrame);
    EXPECT_GT(d.lit, 500);
    EXPECT_GE(d.psnr, 35);
    EXPECT_LE(d.offShare, 0.02);

    SDL_GL_DeleteContext(esContext);
    esWindow.Shutdown();
    fixedGL.Shutdown();
    fixedWindow.Shutdown();
}

} // namespace
