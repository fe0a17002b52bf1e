// The figure, the cloud flight, the wire knots and the duel on a real context.
#include "gl_fixture.h"
#include "scenes/cloud_scene.h"
#include "scenes/duel_scene.h"
#include "scenes/figure_model.h"
#include "scenes/ribbon_scenes.h"
#include "scripted_rand.h"

#include <cmath>

namespace {

class FigureScenesGL : public ScenesGL {};

int CountLit(const std::vector<uint8_t>& px) {
    int lit = 0;
    for (size_t i = 0; i < px.size(); i += 3) lit += px[i] + px[i + 1] + px[i + 2] > 30;
    return lit;
}

TEST_F(FigureScenesGL, FigureWithoutSwingIsTheRigidFigureAndBothLeaveTheScale) {
    WriteTga(show / "body.tga", 4, 4, 24, 255, 255, 255);
    WriteTga(show / "head.tga", 4, 4, 24, 255, 0, 0);
    ZELKOR_Texture body, head;
    ASSERT_EQ(body.LoadTexture((show / "body.tga").c_str(), 0, 1), 1);
    ASSERT_EQ(head.LoadTexture((show / "head.tga").c_str(), 0, 1), 1);
    glDisable(GL_DEPTH_TEST);
    glDisable(GL_BLEND);
    glColor4f(1, 1, 1, 1);

    auto draw = [&](int rigid, float swing) {
        gl->BeginFrame();
        glTranslatef(0.0f, 0.0f, -6.0f);
        if (rigid)
            DrawFigureRigid(gl->GetDraw(), &body, &head);
        else
            DrawFigure(gl->GetDraw(), &body, &head, swing);
        GLfloat m[16];
        glGetFloatv(GL_MODELVIEW_MATRIX, m);
        EXPECT_FLOAT_EQ(m[0], 1.5f);
        EXPECT_FLOAT_EQ(m[5], 1.5f);
        EXPECT_FLOAT_EQ(m[10], 1.5f);
        EXPECT_FLOAT_EQ(m[14], -6.0f);
        return ReadFrame();
    };
    auto rigid = draw(1, 0.0f);
    EXPECT_GT(CountLit(rigid), 5000);
    // The head is drawn with its own texture, above the torso.
    double hx, hy;
    Project(0.0, 0.85 * 1.5, -6.0, &hx, &hy);
    Pixel p = At(rigid, (int)hx, (int)hy);
    EXPECT_EQ(p.r, 255);
    EXPECT_EQ(p.g, 0);
    EXPECT_TRUE(draw(0, 0.0f) == rigid);
    EXPECT_FALSE(draw(0, 25.0f) == rigid);
}

TEST_F(FigureScenesGL, WireKnotsDrawOutlinesUnderTheirPictureAndLeaveFillAndTexturing) {
    WriteTga(show / "tarnis_2.tga", 4, 4, 24, 0, 0, 0);
    WriteTga(show / "tarnis_7.tga", 4, 4, 24, 0, 0, 0);
    RibbonScene s4, s9;
    Prepare(PrepareScene4, s4);
    Prepare(PrepareScene9, s9);
    fakeTicks = 123456;
    Scene4(At(50000), s4);
    auto px = ReadFrame();
    int lit = CountLit(px), blue = 0;
    EXPECT_GT(lit, 1000);
    // Outlines only: the knot's middle is not filled in solid.
    EXPECT_LT(lit, 800 * 600 / 3);
    GLint mode[2];
    glGetIntegerv(GL_POLYGON_MODE, mode);
    EXPECT_EQ(mode[0], GL_FILL);
    EXPECT_EQ(mode[1], GL_FILL);
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_DEPTH_TEST));

    // scene9's wires have no red; the same timer gives the same knot.
    Scene9(At(140000), s9);
    auto px9 = ReadFrame();
    for (size_t i = 0; i < px9.size(); i += 3) {
        EXPECT_EQ(px9[i], 0) << i;
        if (px9[i] != 0) break;
        blue += px9[i + 2] > 30;
    }
    EXPECT_EQ(blue, lit);
}

TEST_F(FigureScenesGL, CloudFlightSpinsFlipsAndRushesPastOnceTheFigureArrives) {
    for (const char* name : {"tarnis_1.tga", "p1_kopf.tga", "p1_koerper.tga",
                             "tarnis_particle2.tga", "tarnis_cloud.tga"})
        WriteTga(show / name, 4, 4, 24, 40, 40, 40);
    CloudScene s;
    Prepare(PrepareScene3, s);

    // First frame: dt 0 moves nothing but the per-frame spin.
    Scene3(At(40000), s);
    for (int k = 0; k < 32; k++) {
        EXPECT_FLOAT_EQ(s.layers[k].z, -45.0f - k);
        EXPECT_FLOAT_EQ(s.layers[k].angle, 1.0f);
    }
    EXPECT_EQ(s.orbit, 0.0f);
    EXPECT_EQ(s.figureDepth, -50.0f);
    EXPECT_EQ(s.layers[0].texture, s.textures[4]);
    EXPECT_GT(CountLit(ReadFrame()), 1000);

    Scene3(At(40500), s);
    EXPECT_NEAR(s.figureDepth, -48.1f, 1e-4);
    EXPECT_NEAR(s.figureSpin, 40.0f, 1e-4);
    EXPECT_GT(s.orbit, 0.0f);
    // One second in, every layer flips in the same frame.
    Scene3(At(41000), s);
    for (const CloudLayer& c : s.layers) {
        EXPECT_FLOAT_EQ(c.spin, -1.0f);
        EXPECT_FLOAT_EQ(c.angle, 2.0f - 1.0f);
        EXPECT_FLOAT_EQ(c.nextFlip, 43000.0f);
    }

    // The clouds hold their depth until the figure reaches 0, then rush.
    uint32_t t = 41000;
    while (s.figureDepth < 0.0f) {
        EXPECT_FLOAT_EQ(s.layers[5].z, -50.0f);
        t += 500;
        Scene3(At(t), s);
        ASSERT_LT(t, 60000u);
    }
    EXPECT_NEAR(t - 40000.0, 50.0 / 0.0038, 500.0);
    EXPECT_FLOAT_EQ(s.layers[5].z, -50.0f + 500 * 0.05f);
    // Nothing is reset for a second run: the figure stays in front.
    float depth = s.figureDepth;
    Scene3(At(t), s);
    EXPECT_EQ(s.figureDepth, depth);
}

TEST_F(FigureScenesGL, DuelConsumesOneBeatPerCallAndRenewsTheBoltEveryHundredMs) {
    for (const char* name : {"tarnis_3.tga", "p1_kopf.tga", "p1_koerper.tga"})
        WriteTga(show / name, 4, 4, 24, 60, 60, 60);
    DuelScene s;
    Prepare(PrepareScene5, s);
    ScriptedRand rand({7});

    // Begun after the last beat: one beat per call for four calls.
    uint32_t t = 12000;
    for (int call = 1; call <= 5; call++, t += 20) {
        Scene5(At(t), s);
        EXPECT_EQ(s.beatIndex, call < 4 ? call : 4) << call;
        if (call <= 4) {
            EXPECT_NEAR(s.pulse, call == 1 ? 1.5f : 1.5f - 0.02f, 1e-6) << call;
        }
    }
    EXPECT_NEAR(s.pulse, 1.5f - 0.04f, 1e-6); // the fifth call only decays
    // Each frame draws 3 records x 5 points x (3 + 3) random numbers.
    EXPECT_EQ(ScriptedRand::calls, 5u * 90u);

    // The first call renewed the bolt (its timer starts at 0); the older
    // records are still the zeroed history.
    for (int n = 0; n < 5; n++) {
        EXPECT_EQ(s.bolt[1][n].x, 0.0f);
        EXPECT_EQ(s.bolt[2][n].y, 0.0f);
    }
    // Renewals every 100 ms of scene time: the path lies on the line between
    // the two ends, which move with the figures.
    while (s.boltTimer > 0.0f) Scene5(At(t += 20), s);
    Scene5(At(t += 20), s);
    EXPECT_NEAR(s.boltTimer, 1.0f - 0.2f, 1e-5);
    float d = s.offset, a = s.spin * 0.017453292f;
    float h1x = d - 1.25f * sinf(a), h1y = d + 1.25f * cosf(a);
    float h2x = -d + 1.25f * sinf(a), h2y = -d + 1.25f * cosf(a);
    for (int n = 1; n <= 5; n++) {
        EXPECT_NEAR(s.bolt[0][n - 1].x, h1x + (h2x - h1x) * n / 6.0f, 1e-4);
        EXPECT_NEAR(s.bolt[0][n - 1].y, h1y + (h2y - h1y) * n / 6.0f, 1e-4);
    }
    EXPECT_EQ(s.bolt[1][0].y, 1.25f); // the first path, from both heads at (0, 1.25)

    // The nod is a saw-tooth from 25 down to 0, once a second; the figures
    // stop drifting apart at 3.
    for (int i = 0; i < 60; i++) {
        Scene5(At(t += 100), s);
        EXPECT_GT(s.swing, 0.0f);
        EXPECT_LE(s.swing, 25.0f);
        EXPECT_LE(s.offset, 3.0f);
    }
    EXPECT_EQ(s.offset, 3.0f);
    EXPECT_EQ(s.pulse, 1.0f);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_GT(CountLit(ReadFrame()), 1000);
}

} // namespace
