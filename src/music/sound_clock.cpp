// The parts of ZELKOR_Sound that are the same on the desktop (sound.cpp) and
// in a browser (sound_web.cpp): the slots and the silent clock.
#include "music/sound.h"

#include "platform/system.h"

void ZELKOR_Sound::SetClockSource(ZELKOR_TickSource source, void* user) {
    clockSource = source;
    clockUser = user;
}

uint32_t ZELKOR_Sound::Ticks() {
    return clockSource ? clockSource(clockUser) : ZELKOR_GetTicks();
}

uint32_t ZELKOR_Sound::SilentTime() {
    if (!silentStarted) {
        silentStarted = 1;
        silentStart = Ticks() - startTime;
    }
    return Ticks() - silentStart;
}

int ZELKOR_Sound::TakeSlot() {
    int slot = 0;
    while (slot < ZELKOR_SOUND_SLOTS && inUse[slot]) slot++;
    if (slot == ZELKOR_SOUND_SLOTS) return -1;
    inUse[slot] = 1;
    currentSlot = slot;
    return slot;
}

int ZELKOR_Sound::CloseAllStreams() {
    int closed = 0;
    for (int slot = 0; slot < ZELKOR_SOUND_SLOTS; slot++) {
        if (!inUse[slot]) continue;
        CloseStream(slot);
        closed++;
    }
    return closed;
}
