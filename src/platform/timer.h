// ZELKOR_Timer: elapsed milliseconds from a 32-bit tick source, and the
// busy-wait that caps the frame rate. Differences wrap modulo 2^32.
#pragma once
#include <cstdint>

typedef uint32_t (*ZELKOR_TickSource)(void* user);

class ZELKOR_Log;

class ZELKOR_Timer {
  public:
    ZELKOR_Timer() {}
    int Initialize(int framesPerSecond, ZELKOR_Log* log);
    uint32_t SetBeginDemo();
    uint32_t GetElapsed() const;
    void BeginFrame();
    void EndFrame();
    void Shutdown() {}

    // ZELKOR_GetTicks unless replaced (tests, frame capture); null restores it.
    void SetTickSource(ZELKOR_TickSource source, void* user);
    uint32_t GetMinFrameTime() const { return minFrameTime; }
    uint32_t GetFrameStart() const { return frameStart; }

  private:
    uint32_t Ticks() const;

    ZELKOR_Log* log = nullptr;
    uint32_t startTick = 0;
    uint32_t frameStart = 0;
    uint32_t minFrameTime = 0;
    ZELKOR_TickSource tickSource = nullptr;
    void* tickUser = nullptr;
};
