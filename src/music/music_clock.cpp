#include "music/music_clock.h"

#include <SDL_atomic.h>

#include <cstring>

void MusicClock_Reset(MusicClock* clock) {
    memset(clock, 0, sizeof(*clock));
}

void MusicClock_Advance(MusicClock* clock, int frames, uint64_t nowMicros) {
    SDL_AtomicLock(&clock->lock);
    if (!clock->started) {
        clock->started = 1;
        clock->startMicros = nowMicros;
    }
    clock->anchorFrames = clock->limitFrames;
    clock->limitFrames += frames > 0 ? frames : 0;
    clock->anchorMicros = nowMicros;
    SDL_AtomicUnlock(&clock->lock);
}

int64_t MusicClock_Frames(MusicClock* clock) {
    SDL_AtomicLock(&clock->lock);
    int64_t frames = clock->limitFrames;
    SDL_AtomicUnlock(&clock->lock);
    return frames;
}

double MusicClock_Read(MusicClock* clock, uint64_t nowMicros, int rate) {
    SDL_AtomicLock(&clock->lock);
    int started = clock->started;
    int64_t anchor = clock->anchorFrames, limit = clock->limitFrames;
    uint64_t anchorMicros = clock->anchorMicros, startMicros = clock->startMicros;
    SDL_AtomicUnlock(&clock->lock);
    if (!started || rate <= 0) return 0.0;

    if (!clock->readerStarted) {
        clock->readerStarted = 1;
        clock->lastMs = 0.0;
        clock->lastReadMicros = startMicros;
    }
    // The reader may have taken its time stamp just before the buffer it sees.
    double sinceAnchor = nowMicros > anchorMicros ? (double)(nowMicros - anchorMicros) : 0.0;
    double frames = (double)anchor + sinceAnchor * rate / 1e6;
    if (frames > (double)limit) frames = (double)limit;
    double target = frames * 1000.0 / rate;

    double sinceRead =
        nowMicros > clock->lastReadMicros ? (double)(nowMicros - clock->lastReadMicros) : 0.0;
    double out = clock->lastMs + 1.5 * sinceRead / 1000.0;
    if (out > target) out = target;
    if (out < clock->lastMs) out = clock->lastMs;
    clock->lastMs = out;
    clock->lastReadMicros = nowMicros;
    return out;
}

void MusicClock_Seek(MusicClock* clock, int64_t frames, uint64_t nowMicros, int rate) {
    SDL_AtomicLock(&clock->lock);
    clock->started = 1;
    clock->anchorFrames = clock->limitFrames = frames;
    clock->anchorMicros = clock->startMicros = nowMicros;
    SDL_AtomicUnlock(&clock->lock);
    clock->readerStarted = 1;
    clock->lastMs = rate > 0 ? (double)frames * 1000.0 / rate : 0.0;
    clock->lastReadMicros = nowMicros;
}
