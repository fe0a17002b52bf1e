// The texture manager on a real GL context (Xvfb + Mesa): what the decoders
// leave must reach the texture unskewed, whatever the row length, and a
// reload must reach the texture objects the scenes hold.
#include "rgs/rgs.h"
#include "rgs/rgs_text.h"
#include "support/scratch.h"
#include "textures/texture.h"
#include "textures/texture_reload.h"

#include <GL/gl.h>
#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

using Bytes = std::vector<uint8_t>;

class TextureGL : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(SDL_Init(SDL_INIT_VIDEO), 0) << SDL_GetError();
        window = SDL_CreateWindow("t", 0, 0, 64, 64, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN);
        ASSERT_NE(window, nullptr) << SDL_GetError();
        context = SDL_GL_CreateContext(window);
        ASSERT_NE(context, nullptr) << SDL_GetError();
    }
    void TearDown() override {
        if (context) SDL_GL_DeleteContext(context);
        if (window) SDL_DestroyWindow(window);
        SDL_Quit();
    }
    std::string Write(const char* name, const Bytes& data) {
        std::string path = scratch / name;
        EXPECT_TRUE(WriteBytes(path, data));
        return path;
    }
    // Level 0 of the bound texture, read back with tight rows.
    static Bytes ReadBack(int width, int height, GLenum format) {
        Bytes out(width * height * (format == GL_RGBA ? 4 : 3));
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glGetTexImage(GL_TEXTURE_2D, 0, format, GL_UNSIGNED_BYTE, out.data());
        return out;
    }
    SDL_Window* window = nullptr;
    SDL_GLContext context = nullptr;
    ScratchDir scratch{"tex"};
    std::string dir = scratch.Path();
};

static Bytes Tga24(int width, int height) {
    Bytes f(18, 0);
    f[2] = 2, f[12] = (uint8_t)width, f[14] = (uint8_t)height, f[16] = 24;
    for (int i = 0; i < width * height * 3; i++) f.push_back((uint8_t)(i * 7 + 1));
    return f;
}

TEST_F(TextureGL, OddWidthTgaUploadsUnskewedWithAndWithoutMipmaps) {
    // Rows of 9 and 6 bytes; GLU rescales sizes that are no power of two, so
    // the mipmapped case uses 2 x 4.
    struct Case {
        int mip, width, height;
    };
    for (Case c : {Case{0, 3, 5}, Case{1, 2, 4}}) {
        ZELKOR_Texture t;
        ASSERT_EQ(t.LoadTexture(Write("odd.TGA", Tga24(c.width, c.height)).c_str(), 0, c.mip), 1);
        EXPECT_NE(t.glName, 0u);
        EXPECT_EQ(t.width, c.width);
        EXPECT_EQ(t.height, c.height);
        Bytes expected(t.pixels, t.pixels + c.width * c.height * 3);
        EXPECT_EQ(expected[0], 15); // B, G, R in the file become R, G, B
        t.BindTexture();
        GLint bound = 0;
        glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
        EXPECT_EQ((GLuint)bound, t.glName);
        EXPECT_EQ(ReadBack(c.width, c.height, GL_RGB), expected) << "mipmaps " << c.mip;
        GLint alignment = 0;
        glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
        EXPECT_EQ(alignment, 4); // left as OpenGL has it
        GLint minFilter = 0;
        glGetTexParameteriv(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, &minFilter);
        EXPECT_EQ(minFilter, c.mip ? GL_LINEAR_MIPMAP_LINEAR : GL_LINEAR);
        EXPECT_EQ(glGetError(), (GLenum)GL_NO_ERROR);
    }
}

TEST_F(TextureGL, PaddedBmpRowsAndRgsScripts) {
    Bytes bmp(54, 0);
    bmp[0] = 'B', bmp[1] = 'M', bmp[10] = 54, bmp[18] = 1, bmp[22] = 2, bmp[26] = 1, bmp[28] = 24;
    for (uint8_t b : {1, 2, 3, 0, 4, 5, 6, 0}) bmp.push_back(b);
    ZELKOR_Texture t;
    ASSERT_EQ(t.LoadTexture(Write("a.bmp.bmp", bmp).c_str(), 0, 1), 1);
    glBindTexture(GL_TEXTURE_2D, t.glName);
    EXPECT_EQ(ReadBack(1, 2, GL_RGB), (Bytes{3, 2, 1, 6, 5, 4}));

    // Layer 0 becomes the texture, even when the script is rejected.
    memset(RGS_Layers[0], 0x5A, LAYER_SIZE);
    ZELKOR_Texture r;
    ASSERT_EQ(r.LoadTexture(Write("bad.RGS", {'r', 'g', 's', 0}).c_str(), 0, 1), 1);
    EXPECT_EQ(r.width, 256);
    EXPECT_EQ(r.height, 256);
    glBindTexture(GL_TEXTURE_2D, r.glName);
    EXPECT_EQ(ReadBack(256, 256, GL_RGB), Bytes(LAYER_SIZE, 0x5A));
}

TEST_F(TextureGL, FailuresCreateNoTexture) {
    ZELKOR_Texture t;
    uint8_t keep = 1;
    t.pixels = &keep;
    EXPECT_EQ(t.LoadTexture((dir + "/missing.tga").c_str(), 9, 1), 0);
    EXPECT_EQ(t.tag, 9u);
    EXPECT_EQ(t.pixels, &keep);
    t.pixels = nullptr;
    EXPECT_EQ(t.LoadTexture(Write("image.png", Tga24(2, 2)).c_str(), 0, 1), 0);
    EXPECT_EQ(t.LoadTexture(Write("noext", Tga24(2, 2)).c_str(), 0, 1), 0);
    Bytes grey = Tga24(2, 2);
    grey[16] = 8;
    EXPECT_EQ(t.LoadTexture(Write("grey.tga", grey).c_str(), 0, 1), 0);
    // A FIFO in place of a picture fails like a missing file instead of
    // waiting in open() for a writer that never comes.
    std::string fifo = dir + "/pipe.tga";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_EQ(t.LoadTexture(fifo.c_str(), 0, 1), 0);
    EXPECT_EQ(t.glName, 0u);
    EXPECT_EQ(t.pixels, nullptr);
    GLuint next = 0;
    glGenTextures(1, &next);
    EXPECT_EQ(next, 1u); // no name was used by the failed loads

    t.BindTexture();
    EXPECT_TRUE(glIsEnabled(GL_TEXTURE_2D));
}

// A changed texture script runs every script again in load order from a fresh
// layer store (on a thread of its own), into the same texture objects: a
// later script that reads what an earlier one made shows the change, as after
// a fresh start; a bad save changes nothing.
TEST_F(TextureGL, ReloadedScriptReachesTheScriptsAfterItInTheirOwnTextures) {
    auto script = [&](const char* name, const char* text) {
        Bytes bytes;
        ZK_Status assembled = RGS_Assemble(text, &bytes);
        EXPECT_TRUE(assembled.ok) << assembled.problem;
        return Write(name, bytes);
    };
    std::string first = script("first.rgs", "Fill 1 #ff0000");
    std::string second = script("second.rgs", "CopyChannels 0 1 1 1 1");
    Textures_TrackLoads(1);
    ZELKOR_Texture* a = new ZELKOR_Texture(); // records live on, as in the show
    ZELKOR_Texture* b = new ZELKOR_Texture();
    ASSERT_EQ(a->LoadTexture(first.c_str(), 0, 1), 1);
    ASSERT_EQ(b->LoadTexture(second.c_str(), 0, 1), 1);
    Textures_TrackLoads(0);
    uint32_t name = b->glName;

    script("first.rgs", "Fill 1 #0000ff");
    std::string done;
    ZK_Status why;
    double ms = 0;
    // The scripts run on a thread of their own; the pictures go in once they are done.
    ASSERT_EQ(Textures_Reload(first.c_str(), &why), TEXTURES_RELOAD_RUNNING) << why.problem;
    for (int i = 0; i < 500 && !Textures_Reloaded(&done, &ms); i++) usleep(10000);
    EXPECT_EQ(done, first);
    EXPECT_EQ(b->glName, name);
    Bytes blue(LAYER_SIZE, 0);
    for (size_t i = 2; i < blue.size(); i += 3) blue[i] = 255;
    glBindTexture(GL_TEXTURE_2D, name);
    EXPECT_EQ(ReadBack(256, 256, GL_RGB), blue);

    Write("first.rgs", Bytes{'x'});
    EXPECT_EQ(Textures_Reload(first.c_str(), &why), -1);
    EXPECT_EQ(b->pixels[2], 255);
}
