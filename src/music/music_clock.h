// MusicClock: the playback position of one stream, reported by the audio
// thread one device buffer at a time and read smoothly on the main thread.
// Between buffers the reader interpolates at the nominal rate but never runs
// past the end of the buffer last handed over, never goes back, and catches
// up after a late buffer at no more than 1.5 times real time, so reads a
// millisecond apart never jump by more than two.
#pragma once
#include <cstdint>

struct MusicClock {
    // Written by the audio thread under `lock`.
    int lock;
    int started;           // a buffer has been reported
    int64_t anchorFrames;  // frames consumed before the latest buffer
    int64_t limitFrames;   // ... and after it
    uint64_t anchorMicros; // when the latest buffer was taken
    uint64_t startMicros;  // when the first one was
    // Reader side, one thread only.
    int readerStarted;
    double lastMs;
    uint64_t lastReadMicros;
};

void MusicClock_Reset(MusicClock* clock);
// Audio thread: `frames` stream frames were taken by the device at `nowMicros`.
void MusicClock_Advance(MusicClock* clock, int frames, uint64_t nowMicros);
// Reader: the position in milliseconds at `nowMicros` (0 before the first buffer).
double MusicClock_Read(MusicClock* clock, uint64_t nowMicros, int rate);
// Reader: the stream was repositioned at `frames` (the audio thread held
// off): the clock reads exactly there, at once, and moves on from there with
// the next buffer, backwards or forwards.
void MusicClock_Seek(MusicClock* clock, int64_t frames, uint64_t nowMicros, int rate);
// Frames consumed so far, counting the latest buffer whole.
int64_t MusicClock_Frames(MusicClock* clock);
