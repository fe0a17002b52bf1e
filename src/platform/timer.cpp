#include "platform/timer.h"

#include "platform/system.h"

void ZELKOR_Timer::SetTickSource(ZELKOR_TickSource source, void* user) {
    tickSource = source;
    tickUser = user;
}

uint32_t ZELKOR_Timer::Ticks() const {
    return tickSource ? tickSource(tickUser) : ZELKOR_GetTicks();
}

int ZELKOR_Timer::Initialize(int framesPerSecond, ZELKOR_Log* logger) {
    log = logger;
    startTick = Ticks();
    minFrameTime = framesPerSecond > 0 ? (uint32_t)(1000 / framesPerSecond) : 0;
    return 1;
}

uint32_t ZELKOR_Timer::SetBeginDemo() {
    startTick = Ticks();
    return startTick;
}

// Unsigned subtraction keeps the difference right across a tick-count wrap.
uint32_t ZELKOR_Timer::GetElapsed() const {
    return Ticks() - startTick;
}

void ZELKOR_Timer::BeginFrame() {
    frameStart = GetElapsed();
}

void ZELKOR_Timer::EndFrame() {
    // Spins without sleeping: the tick count is the only clock the loop trusts.
    while (GetElapsed() - frameStart < minFrameTime) {
    }
}
