// Scenes and effects drawn on a real context (Xvfb + Mesa): what reaches the
// frame buffer, read back before the swap.
#include "gl_fixture.h"
#include "scenes/line_scenes.h"
#include "scenes/swirl_scenes.h"
#include "scenes/wobble_scene.h"

#include <cmath>

namespace {

TEST_F(ScenesGL, BackdropFillsTheFourByThreeView) {
    WriteTga(show / "white.tga", 4, 4, 24, 255, 255, 255);
    ZELKOR_Texture white;
    ASSERT_EQ(white.LoadTexture((show / "white.tga").c_str(), 0, 1), 1);
    glDisable(GL_DEPTH_TEST);
    white.BindTexture();
    glColor4f(1, 1, 1, 1);
    DrawBackdrop(gl->GetDraw());
    auto px = ReadFrame();
    // Its left edge stops about 3 pixels short of the view's at 800 x 600.
    int uncovered = 0;
    for (int y = 0; y < 600; y++)
        for (int x = 0; x < 800; x++)
            if (At(px, x, y).r != 255) {
                uncovered++;
                EXPECT_LT(x, 4) << x << "," << y;
            }
    EXPECT_LE(uncovered, 4 * 600);

    // The corners land just outside the viewport.
    double lx, by, rx, ty;
    Project(-11.5, -8.71, -21.0, &lx, &by);
    Project(11.6, 8.7, -21.0, &rx, &ty);
    EXPECT_GT(lx, 0.0);
    EXPECT_LT(lx, 4.0);
    EXPECT_GT(rx, 800.0);
    EXPECT_LT(rx, 802.0);
    EXPECT_LT(by, 0.0);
    EXPECT_GT(by, -1.0);
    EXPECT_GT(ty, 600.0);
    EXPECT_LT(ty, 601.0);
}

TEST_F(ScenesGL, SwirlTrailsDarkenBySeventyPercentOfTheBoundAlpha) {
    // Black images: particles and picture add nothing, only the trails pass
    // changes the frame. The picture's alpha is one half.
    WriteTga(show / "tarnis_logo.tga", 8, 8, 32, 0, 0, 0, 128);
    WriteTga(show / "particletex.tga", 8, 8, 24, 0, 0, 0);
    SwirlScene s;
    Prepare(PrepareScene2, s);
    ASSERT_TRUE(s.particles.Ready());

    glClearColor(200 / 255.0f, 100 / 255.0f, 50 / 255.0f, 1.0f);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
    fakeTicks = 1000;
    Scene2(At(20000), s); // the particle image (alpha 1) is still bound from loading
    auto px = ReadFrame();
    Pixel p = At(px, 400, 300);
    EXPECT_NEAR(p.r, 140, 1);
    EXPECT_NEAR(p.g, 70, 1);
    EXPECT_NEAR(p.b, 35, 1);
    EXPECT_EQ(At(px, 0, 300).r, 200); // outside the backdrop nothing changes

    fakeTicks = 1017;
    Scene2(At(20017), s); // now the picture (alpha 0.5) is bound: x 0.35
    px = ReadFrame();
    p = At(px, 400, 300);
    EXPECT_NEAR(p.r, 49, 1);
    EXPECT_NEAR(p.g, 24, 1);
    EXPECT_NEAR(p.b, 12, 1);
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_BLEND));
}

TEST_F(ScenesGL, SwirlDirectionFlipsExactlyFiveSecondsIn) {
    WriteTga(show / "tarnis_5.tga", 8, 8, 24, 10, 10, 10);
    WriteTga(show / "particletex.tga", 8, 8, 24, 255, 255, 255);
    SwirlScene s;
    Prepare(PrepareScene7, s);
    ParticleSystem* ps = &s.particles;
    ASSERT_TRUE(ps->Ready());
    Scene7(At(30000), s);
    EXPECT_FLOAT_EQ(ps->rotationSpeed, 0.4f);
    Scene7(At(34999), s);
    EXPECT_FLOAT_EQ(ps->rotationSpeed, 0.4f);
    Scene7(At(35000), s);
    EXPECT_FLOAT_EQ(ps->rotationSpeed, -0.4f);
    // The orbit phase moves per call.
    EXPECT_FLOAT_EQ(s.orbitPhase, 0.3f);
    // The frame is drawn: the particles show over the dark picture.
    auto px = ReadFrame();
    int bright = 0;
    for (int y = 0; y < 600; y += 4)
        for (int x = 0; x < 800; x += 4) bright += At(px, x, y).b > 100;
    EXPECT_GT(bright, 50);
}

TEST_F(ScenesGL, LineStrokesVanishBehindThePicture) {
    WriteTga(show / "tarnis_credits.tga", 4, 4, 24, 64, 64, 64);
    LineScene s;
    Prepare(PrepareScene1, s);
    LineSystem* ls = &s.lines;
    ASSERT_TRUE(ls->Ready());
    Scene1(At(1000), s);
    // Freeze every particle: a front row at eye depth -15 (y 0.8) and a back
    // row at -22, behind the picture's -21 (y -5.2), joined off screen.
    for (int i = 0; i < ls->count; i++) {
        Particle& p = ls->particles[i];
        p.life = 0.8f;
        p.fadeRate = 0.0f;
        p.velocity[0] = p.velocity[1] = p.velocity[2] = 0.0f;
        float x = (i & 1) ? 3.0f : -3.0f;
        if (i <= 2) {
            p.position[0] = x, p.position[1] = 3.0f, p.position[2] = -5.0f;
        } else if (i <= 4) {
            p.position[0] = 100.0f, p.position[1] = i == 3 ? 3.0f : -3.0f;
            p.position[2] = i == 3 ? -5.0f : -12.0f;
        } else {
            p.position[0] = x, p.position[1] = -3.0f, p.position[2] = -12.0f;
        }
    }
    Scene1(At(1017), s);
    auto px = ReadFrame();
    double fx, fy, bx, byy;
    Project(0.0, 0.8, -15.0, &fx, &fy);
    Project(0.0, -5.2, -22.0, &bx, &byy);
    Pixel front = At(px, (int)fx, (int)fy);
    Pixel back = At(px, (int)bx, (int)byy);
    Pixel picture = At(px, 400, 500);
    EXPECT_NEAR(picture.r, 64, 1);
    EXPECT_GT(front.r, picture.r + 20); // tinted by the picture, added on top
    EXPECT_EQ(back.r, picture.r);
    EXPECT_EQ(back.b, picture.b);
    // What the line scene leaves for the next one.
    GLfloat width = 0;
    glGetFloatv(GL_LINE_WIDTH, &width);
    EXPECT_EQ(width, 3.0f);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

// Feedback mode hands back what would be drawn, after transformation.
std::vector<GLfloat> Feedback(GLenum type, void (*draw)()) {
    std::vector<GLfloat> buf(1 << 16);
    glFeedbackBuffer((GLsizei)buf.size(), type, buf.data());
    glRenderMode(GL_FEEDBACK);
    draw();
    GLint n = glRenderMode(GL_RENDER);
    EXPECT_GE(n, 0);
    buf.resize(n < 0 ? 0 : (size_t)n);
    return buf;
}

LineSystem* feedbackLines = nullptr;
void DrawFeedbackLines() {
    feedbackLines->Render(Draw_Fixed(), 0.0f, 0.0f, -10.0f);
}

TEST_F(ScenesGL, LineSystemDrawsFromParticleOneToTheLast) {
    for (int n = 0; n <= 5; n++) {
        LineSystem ls;
        ASSERT_EQ(ls.Init((uint16_t)n, 1, 1, 1), 1);
        for (int i = 0; i < n; i++) {
            ls.particles[i].life = 0.5f;
            ls.particles[i].position[0] = (float)i * 0.25f;
            ls.particles[i].position[1] = 0.0f;
            ls.particles[i].position[2] = 0.0f;
        }
        feedbackLines = &ls;
        auto fb = Feedback(GL_3D, DrawFeedbackLines);
        // Each two-vertex loop gives two line tokens of two 3D vertices.
        int segments = n > 2 ? n - 2 : 0;
        EXPECT_EQ(fb.size(), (size_t)segments * 2 * 7) << n;
        if (n == 3) {
            double x1, y1, x2, y2;
            Project(0.25, 0.0, -10.0, &x1, &y1);
            Project(0.5, 0.0, -10.0, &x2, &y2);
            EXPECT_NEAR(fb[1], x1, 0.01);
            EXPECT_NEAR(fb[4], x2, 0.01);
        }
    }
}

WobbleTube tube;
void DrawTube() {
    DrawWobbleTube(Draw_Fixed(), tube, nullptr, 0.0f, 0.0f, -20.0f, 0.0f, 0.0f, 0.0f);
}

TEST_F(ScenesGL, WobbleTubeStaysBetweenDepthsMinus20AndMinus5) {
    GLdouble proj[16];
    glGetDoublev(GL_PROJECTION_MATRIX, proj);
    const double n = (double)0.1f, f = 1000.0;
    for (float amplitude : {0.0f, 2.0f, 10.0f}) {
        ComputeWobbleTube(tube, amplitude * 0.7f, amplitude);
        glTranslatef(3, 3, 3); // the tube resets the modelview itself
        auto fb = Feedback(GL_3D, DrawTube);
        double nearest = -1e9, farthest = 1e9;
        size_t polygons = 0;
        for (size_t i = 0; i < fb.size();) {
            ASSERT_EQ(fb[i], (GLfloat)GL_POLYGON_TOKEN);
            int count = (int)fb[i + 1];
            for (int v = 0; v < count; v++) {
                double zn = 2.0 * fb[i + 2 + v * 3 + 2] - 1.0;
                double ze = 2.0 * f * n / ((f - n) * zn - (f + n));
                nearest = std::max(nearest, ze);
                farthest = std::min(farthest, ze);
            }
            i += 2 + count * 3;
            polygons++;
        }
        EXPECT_GT(polygons, 0u);
        if (amplitude == 0.0f) { // fully in view: the whole range is used
            EXPECT_NEAR(nearest, -5.0, 0.01);
            EXPECT_NEAR(farthest, -20.0, 0.01);
        }
        EXPECT_LE(nearest, -5.0 + 0.01) << amplitude;
        EXPECT_GE(farthest, -20.0 - 0.01) << amplitude;
    }
}

// Every particle rotates the modelview by the swirl angle about (1, 1, 1):
// the rotations accumulate with unrotate 0 and cancel with unrotate 1.
TEST_F(ScenesGL, ParticlesRotatePerParticleAccumulatingUnlessUnrotated) {
    WriteTga(show / "blob.tga", 16, 16, 24, 90, 140, 255);
    ZELKOR_Texture blob;
    ASSERT_EQ(blob.LoadTexture((show / "blob.tga").c_str(), 0, 1), 1);
    ParticleSystem ps;
    ASSERT_EQ(ps.Init(600, &blob), 1);
    for (int i = 0; i < 40; i++) ps.Update(fakeTicks);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE);
    for (int unrotate = 0; unrotate <= 1; unrotate++) {
        particleShared.swirlAngle = 37.5f;
        ps.timeStep = 0.0f;
        GLfloat expected[16], got[16];
        gl->BeginFrame();
        glTranslatef(0, 0, -20);
        if (!unrotate)
            for (int i = 0; i < 600; i++) glRotatef(37.5f, 1.0f, 1.0f, 1.0f);
        glGetFloatv(GL_MODELVIEW_MATRIX, expected);
        gl->BeginFrame();
        glTranslatef(0, 0, -20);
        ps.Render(gl->GetDraw(), 2.0f, -1.0f, 0.0f, unrotate);
        glGetFloatv(GL_MODELVIEW_MATRIX, got);
        for (int i = 0; i < 16; i++) EXPECT_NEAR(got[i], expected[i], 1e-4) << i;
        auto have = ReadFrame();
        size_t lit = 0;
        for (unsigned char v : have) lit += v != 0;
        EXPECT_GT(lit, 10000u) << unrotate;
    }
}

} // namespace
