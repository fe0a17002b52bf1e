// The fixture of the scene tests that draw on a real context (Xvfb + Mesa):
// an 800 x 600 window, frames at chosen music and elapsed times, a scratch
// show folder, and reading back what reaches the frame buffer before the swap.
#pragma once
#include "io/tga_write.h"
#include "platform/draw.h"
#include "platform/opengl.h"
#include "platform/window.h"
#include "scenes/scene_kit.h"
#include "engine/startup.h"
#include "support/scratch.h"
#include "textures/texture.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

// The show's elapsed time in the frames At() makes.
inline uint32_t fakeTicks = 0;

// Writes a w x h uncompressed TGA of one colour (alpha written when bpp is 32).
inline void WriteTga(const std::string& path, int w, int h, int bpp, uint8_t r, uint8_t g,
                     uint8_t b, uint8_t a = 255) {
    std::vector<uint8_t> pixels((size_t)w * h * 4);
    for (size_t i = 0; i < pixels.size(); i += 4)
        pixels[i] = r, pixels[i + 1] = g, pixels[i + 2] = b, pixels[i + 3] = a;
    IO_Image image;
    image.width = w, image.height = h, image.channels = 4, image.bytes = pixels.data();
    IO_TgaFormat format = bpp == 32 ? IO_TgaFormat::Rgba32 : IO_TgaFormat::Rgb24;
    ASSERT_TRUE(WriteBytes(path, IO_EncodeTga(image, format)));
}

struct Pixel {
    int r, g, b;
};

class ScenesGL : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        window = new ZELKOR_Window();
        gl = new ZELKOR_OpenGL();
        ASSERT_EQ(window->Initialize(nullptr, WindowProc, 800, 600, 0, nullptr), 1);
        ASSERT_EQ(gl->Initialize(window, 32, nullptr), 1);
        scratch = new ScratchDir("scenes-gl");
        show = scratch->Path();
    }
    static void TearDownTestSuite() {
        gl->Shutdown();
        window->Shutdown();
        delete gl;
        delete window;
        delete scratch;
    }
    void SetUp() override {
        glDisable(GL_TEXTURE_2D);
        glDisable(GL_BLEND);
        glEnable(GL_DEPTH_TEST);
        glLoadIdentity();
        gl->BeginFrame();
    }
    // The frame a scene is handed at music time t.
    static SceneFrame At(uint32_t t) {
        SceneFrame frame;
        frame.musicTime = t;
        frame.elapsed = fakeTicks;
        frame.draw = gl->GetDraw();
        return frame;
    }
    // Runs a preparation routine on a record in the test's show folder.
    template <class State> static void Prepare(int (*prepare)(State&, int), State& state) {
        WorkingFolder inShow(show);
        ASSERT_TRUE(inShow.Entered());
        prepare(state, 0);
    }
    static std::vector<uint8_t> ReadFrame() {
        std::vector<uint8_t> px(800 * 600 * 3);
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, px.data());
        return px;
    }
    static Pixel At(const std::vector<uint8_t>& px, int x, int y) {
        const uint8_t* p = &px[((size_t)y * 800 + x) * 3];
        return {p[0], p[1], p[2]};
    }
    // Window position of an eye-space point under the current projection.
    static void Project(double x, double y, double z, double* wx, double* wy) {
        GLdouble model[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1}, proj[16];
        GLint view[4];
        glGetDoublev(GL_PROJECTION_MATRIX, proj);
        glGetIntegerv(GL_VIEWPORT, view);
        double wz;
        gluProject(x, y, z, model, proj, view, wx, wy, &wz);
    }

    static inline ZELKOR_Window* window = nullptr;
    static inline ZELKOR_OpenGL* gl = nullptr;
    static inline ScratchDir* scratch = nullptr;
    static inline std::filesystem::path show;
};
