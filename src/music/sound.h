// ZELKOR_Sound: the MP3 stream in sixteen slots and the music clock.
// Decoding happens in the audio callback, one device buffer at a time, so
// opening a stream costs only its first frame. GetTime is the position of
// what the device has consumed of the current slot's stream. When that
// slot's file could not be opened, or sound was never initialised, it is a
// silent wall clock instead, so the show still runs its programme; after a
// track has played to its end, the silent clock goes on from the end.
#pragma once
#include "platform/timer.h"

#include <cstdint>

class ZELKOR_Log;
struct SoundStream;

enum { ZELKOR_SOUND_SLOTS = 16 };

class ZELKOR_Sound {
  public:
    ZELKOR_Sound() {}
    ~ZELKOR_Sound() { Shutdown(); }
    // Opens the default audio output (44.1 kHz, 16-bit stereo); 0 when none can be.
    int Initialize(ZELKOR_Log* log);
    // The first free slot, made current, or -1 when all are taken. The slot
    // is taken even when the file cannot be opened (it then holds no stream).
    int OpenStream(const char* fileName);
    int PlayStream(int slot);
    int PlayCurrentStream() { return PlayStream(currentSlot); }
    int CloseStream(int slot);
    int CloseAllStreams();
    // Milliseconds of the slot's stream consumed by the device; 0 without a stream.
    uint32_t GetStreamTime(int slot);
    uint32_t GetTime();
    void Shutdown();

    // Frame capture: GetTime follows `source` instead (milliseconds since the
    // first PlayStream, or since the first GetTime) and Initialize opens no
    // audio device. Null restores the normal clock.
    void SetClockSource(ZELKOR_TickSource source, void* user);
    int GetCurrentSlot() const { return currentSlot; }

    // Live runs (a person seeking and pausing). Streams opened from now on
    // start at `ms`, and so does the silent clock; set before Initialize.
    void SetStartTime(uint32_t ms) { startTime = ms; }
    // The music jumps to `ms`: the current stream is repositioned
    // sample-exactly and the clock reads `ms` at once (the silent clock too).
    void SeekTime(uint32_t ms);
    // Pausing freezes the clock and stops the device altogether (SDL would go
    // on feeding it silence); resuming plays on from the frozen time.
    void SetPaused(int paused);
    int IsPaused() const { return paused; }
    // Opens fileName in place of the current stream, at the current music
    // time. 1, or 0 when it holds no playable MPEG audio (the old stream plays on).
    int ReopenCurrentStream(const char* fileName);

  private:
    static void AudioCallback(void* user, uint8_t* out, int len);
    void Mix(uint8_t* out, int len);
    uint32_t Ticks();
    uint32_t SilentTime();
    // The first free slot, taken and made current; -1 when all are taken.
    int TakeSlot();
    void LockDevice();
    void UnlockDevice();
    void StartAt(SoundStream* stream, uint32_t ms);

    ZELKOR_Log* log = nullptr;
    int currentSlot = 0;
    SoundStream* streams[ZELKOR_SOUND_SLOTS] = {};
    int inUse[ZELKOR_SOUND_SLOTS] = {};

    uint32_t device = 0; // SDL audio device id, 0 when closed
    int audioStarted = 0;
    int16_t* mixBuffer = nullptr;
    int mixFrames = 0;

    ZELKOR_TickSource clockSource = nullptr;
    void* clockUser = nullptr;
    int silentStarted = 0;
    uint32_t silentStart = 0;

    uint32_t startTime = 0;
    int paused = 0;
    int pauseLocked = 0; // the device lock is held for the pause
    uint32_t pausedTime = 0;
};
