// "preload" and "ende" against a real SDL window on Xvfb.
#include "platform/message.h"
#include "platform/window.h"
#include "sequencing/scene_registry.h"
#include "core/globals.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <vector>

static std::vector<uint32_t> seen;
static int64_t Procedure(ZELKOR_Window* w, uint32_t msg, uint32_t wParam, int64_t lParam) {
    if (msg == ZELKOR_WM_KEYDOWN) seen.push_back(wParam);
    return ZELKOR_DefWindowProc(w, msg, wParam, lParam);
}

class BuiltinScenes : public ::testing::Test {
  protected:
    void SetUp() override {
        window.SetHidden(1);
        ASSERT_EQ(window.Initialize(nullptr, Procedure, 640, 480, 0, nullptr), 1);
        g_window = &window;
        seen.clear();
        Drain();
    }
    void TearDown() override {
        g_window = nullptr;
        window.Shutdown();
    }
    // Lets the window's own start-up events arrive and takes them all.
    void Drain() {
        ZELKOR_Message m;
        for (int quiet = 0; quiet < 10;) {
            window.PumpMessage(&m);
            quiet = m.message ? 0 : quiet + 1;
            SDL_Delay(5);
        }
    }
    // Pumps like the main loop until the queue is empty; the messages seen.
    std::vector<uint32_t> MainLoopPumps() {
        std::vector<uint32_t> got;
        ZELKOR_Message m;
        for (int i = 0; i < 50; i++) {
            window.PumpMessage(&m);
            if (m.message == 0) break;
            got.push_back(m.message);
        }
        return got;
    }
    ZELKOR_Window window;
};

TEST_F(BuiltinScenes, EndePostsTheQuitMessage) {
    EndeScene(SceneFrame());
    std::vector<uint32_t> got = MainLoopPumps();
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0], (uint32_t)ZELKOR_WM_QUIT);
    // Every frame while its entry is active posts it again.
    EndeScene(SceneFrame());
    EndeScene(SceneFrame());
    EXPECT_EQ(MainLoopPumps().size(), 2u);
}

TEST_F(BuiltinScenes, PreloadTakesOneMessageAndDropsAQuit) {
    ZELKOR_PostQuitMessage(0);
    PreloadScene(SceneFrame());
    EXPECT_TRUE(MainLoopPumps().empty()); // the main loop never sees that quit

    SDL_Event key;
    SDL_zero(key);
    key.type = SDL_KEYDOWN;
    key.key.keysym.sym = SDLK_ESCAPE;
    SDL_PushEvent(&key);
    key.key.keysym.sym = SDLK_SPACE;
    SDL_PushEvent(&key);
    PreloadScene(SceneFrame()); // dispatches the first key to the window procedure only
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0], (uint32_t)ZELKOR_VK_ESCAPE);
    std::vector<uint32_t> rest = MainLoopPumps();
    ASSERT_EQ(rest.size(), 1u);
    EXPECT_EQ(rest[0], (uint32_t)ZELKOR_WM_KEYDOWN);
    // With nothing pending it does nothing.
    PreloadScene(SceneFrame());
    EXPECT_EQ(seen.size(), 2u);
}
