// Window, OpenGL context and camera on a real X display (Xvfb + Mesa).
#include "platform/camera.h"
#include "platform/opengl.h"
#include "platform/window.h"
#include "engine/startup.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

class GLTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(window.Initialize(nullptr, WindowProc, 800, 600, 0, nullptr), 1);
        ASSERT_EQ(gl.Initialize(&window, 32, nullptr), 1);
    }
    void TearDown() override {
        gl.Shutdown();
        window.Shutdown();
    }
    ZELKOR_Window window;
    ZELKOR_OpenGL gl;
};

TEST_F(GLTest, ViewportAspectAndFixedState) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[0], 0);
    EXPECT_EQ(viewport[1], 0);
    EXPECT_EQ(viewport[2], 800);
    EXPECT_EQ(viewport[3], 600);

    GLdouble p[16];
    glGetDoublev(GL_PROJECTION_MATRIX, p);
    // gluPerspective: p[5] = cot(fov/2), p[0] = p[5] / aspect.
    double f = 1.0 / std::tan(45.0 * M_PI / 360.0);
    EXPECT_NEAR(p[5], f, 1e-5);
    EXPECT_NEAR(p[0], f / (800.0 / 600.0), 1e-5);
    double n = (double)0.1f, far = 1000.0;
    EXPECT_NEAR(p[10], (far + n) / (n - far), 1e-6);
    EXPECT_NEAR(p[14], 2 * far * n / (n - far), 1e-6);

    GLint mode;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    EXPECT_EQ(mode, GL_MODELVIEW);
    EXPECT_TRUE(glIsEnabled(GL_DEPTH_TEST));
    EXPECT_TRUE(glIsEnabled(GL_NORMALIZE));
    GLint depthFunc, shade;
    glGetIntegerv(GL_DEPTH_FUNC, &depthFunc);
    glGetIntegerv(GL_SHADE_MODEL, &shade);
    EXPECT_EQ(depthFunc, GL_LEQUAL);
    EXPECT_EQ(shade, GL_SMOOTH);
    GLint depthBits = 0, doubleBuffer = 0;
    glGetIntegerv(GL_DEPTH_BITS, &depthBits);
    glGetIntegerv(GL_DOUBLEBUFFER, &doubleBuffer);
    EXPECT_GE(depthBits, 16);
    EXPECT_TRUE(doubleBuffer);

    int x, y;
    SDL_GetWindowPosition(window.GetHandle(), &x, &y);
    EXPECT_EQ(x, 30);
    EXPECT_EQ(y, 30);
}

TEST_F(GLTest, CameraAfterStartupCallsTranslatesByMinusFive) {
    ZELKOR_Camera camera;
    camera.Initialize(0, 0, 0, 0, 0, 0, nullptr);
    camera.SetPosition(0, 0, 5.0f, 0, 0, 0);
    camera.Use();
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    const GLfloat expected[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, -5, 1};
    for (int i = 0; i < 16; i++) EXPECT_NEAR(m[i], expected[i], 1e-6) << i;
    camera.Use(); // a second look-at multiplies again
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    EXPECT_NEAR(m[14], -10.0f, 1e-5);
}

TEST_F(GLTest, BeginFrameClearsToBlackAndFarDepthWithIdentity) {
    glClearColor(1, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(0, 0, 0, 1);
    glTranslatef(1, 2, 3);
    gl.BeginFrame();
    std::vector<unsigned char> rgba(800 * 600 * 4, 0x55);
    glReadPixels(0, 0, 800, 600, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    for (size_t i = 0; i < rgba.size(); i += 4) {
        ASSERT_EQ(rgba[i], 0);
        ASSERT_EQ(rgba[i + 1], 0);
        ASSERT_EQ(rgba[i + 2], 0);
    }
    float depth = 0;
    glReadPixels(400, 300, 1, 1, GL_DEPTH_COMPONENT, GL_FLOAT, &depth);
    EXPECT_FLOAT_EQ(depth, 1.0f);
    GLfloat m[16];
    glGetFloatv(GL_MODELVIEW_MATRIX, m);
    for (int i = 0; i < 16; i++) EXPECT_EQ(m[i], (i % 5 == 0) ? 1.0f : 0.0f);
    gl.EndFrame();
}

TEST_F(GLTest, EmptyPumpZeroFillsAndEscapePostsQuit) {
    ZELKOR_Message msg;
    SDL_PumpEvents();
    SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
    msg.message = 77;
    msg.wParam = 5;
    msg.lParam = 9;
    EXPECT_EQ(window.PumpMessage(&msg), 0);
    EXPECT_EQ(msg.message, 0u);
    EXPECT_EQ(msg.wParam, 0u);
    EXPECT_EQ(msg.lParam, 0);

    SDL_Event key;
    SDL_zero(key);
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_ESCAPE;
    SDL_PushEvent(&key);
    // Window-system events may be interleaved; the key comes before the quit
    // message that WindowProc posted for it.
    std::vector<uint32_t> seen;
    for (int i = 0; i < 100 && (seen.empty() || seen.back() != ZELKOR_WM_QUIT); i++) {
        window.PumpMessage(&msg);
        if (msg.message == ZELKOR_WM_KEYDOWN) {
            EXPECT_EQ(msg.wParam, (uint32_t)ZELKOR_VK_ESCAPE);
        }
        if (msg.message != 0) seen.push_back(msg.message);
    }
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0], (uint32_t)ZELKOR_WM_KEYDOWN);
    EXPECT_EQ(seen[1], (uint32_t)ZELKOR_WM_QUIT);
    EXPECT_EQ(msg.wParam, 0u);
}

TEST(GLFullscreen, RefusedModeFailsAndShutdownRestores) {
    ZELKOR_Window window;
    ASSERT_EQ(window.Initialize(nullptr, WindowProc, 1234, 567, 1, nullptr), 1);
    ZELKOR_OpenGL gl;
    EXPECT_EQ(gl.Initialize(&window, 32, nullptr), 0);
    gl.Shutdown();
    window.Shutdown();
    EXPECT_EQ(SDL_ShowCursor(SDL_QUERY), SDL_ENABLE);
}

TEST(GLShutdown, SafeWithoutInitialize) {
    ZELKOR_OpenGL gl;
    gl.Shutdown();
    ZELKOR_Window window;
    window.Shutdown();
}
