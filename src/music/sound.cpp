#include "music/sound.h"

#include "music/mp3_stream.h"
#include "music/music_clock.h"

#include <SDL.h>

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <new>

// One slot's stream. `playing` is set by the main thread under the device
// lock; `finished` by the audio thread once the decoder ran dry.
struct SoundStream {
    Mp3Stream* decoder = nullptr;
    std::atomic<int> playing{0};
    std::atomic<int> finished{0};
    MusicClock clock;
    int playedOut = 0; // main thread: the clock has reached the track's end
};

// 20 ms: whole milliseconds, so drivers that pace by sleeping (disk, dummy)
// keep time, and short enough that the clock's steps stay small.
static const int DEVICE_FRAMES = MP3_OUTPUT_RATE / 50;
static const int FRAME_BYTES = 2 * MP3_OUTPUT_CHANNELS;

static uint64_t NowMicros() {
    static const double scale = 1e6 / (double)SDL_GetPerformanceFrequency();
    return (uint64_t)((double)SDL_GetPerformanceCounter() * scale);
}

void ZELKOR_Sound::LockDevice() {
    if (device) SDL_LockAudioDevice(device);
}

void ZELKOR_Sound::UnlockDevice() {
    if (device) SDL_UnlockAudioDevice(device);
}

int ZELKOR_Sound::Initialize(ZELKOR_Log* logger) {
    log = logger;
    if (clockSource || device) return 1;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return 0;
    audioStarted = 1;

    SDL_AudioSpec want, have;
    SDL_zero(want);
    want.freq = MP3_OUTPUT_RATE;
    want.format = AUDIO_S16SYS;
    want.channels = MP3_OUTPUT_CHANNELS;
    want.samples = DEVICE_FRAMES;
    want.callback = AudioCallback;
    want.userdata = this;
    // No allowed changes: SDL converts to whatever the hardware takes, so the
    // callback always sees the decoder's own format.
    mixFrames = DEVICE_FRAMES;
    mixBuffer = (int16_t*)malloc((size_t)mixFrames * FRAME_BYTES);
    if (mixBuffer) device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (!device) {
        Shutdown();
        return 0;
    }
    return 1;
}

int ZELKOR_Sound::OpenStream(const char* fileName) {
    int slot = TakeSlot();
    if (slot < 0) return -1;

    SoundStream* stream = nullptr;
    if (Mp3Stream* decoder = Mp3Stream_Open(fileName)) {
        stream = new (std::nothrow) SoundStream();
        if (stream) {
            stream->decoder = decoder;
            MusicClock_Reset(&stream->clock);
            if (startTime) StartAt(stream, startTime);
        } else {
            Mp3Stream_Close(decoder);
        }
    }
    LockDevice();
    streams[slot] = stream;
    UnlockDevice();
    return slot;
}

int ZELKOR_Sound::PlayStream(int slot) {
    if (slot < 0 || slot >= ZELKOR_SOUND_SLOTS) return 0;
    // The silent clock starts here too, in case the stream turns out empty.
    if (!silentStarted) SilentTime();
    SoundStream* stream = streams[slot];
    if (!stream) return 0;
    if (clockSource) return 1;
    if (!device) return 0;
    LockDevice();
    stream->playing = 1;
    UnlockDevice();
    SDL_PauseAudioDevice(device, 0);
    return 1;
}

int ZELKOR_Sound::CloseStream(int slot) {
    if (slot < 0 || slot >= ZELKOR_SOUND_SLOTS || !streams[slot]) return 1;
    LockDevice();
    SoundStream* stream = streams[slot];
    streams[slot] = nullptr;
    inUse[slot] = 0;
    UnlockDevice();
    Mp3Stream_Close(stream->decoder);
    delete stream;
    return 1;
}

uint32_t ZELKOR_Sound::GetStreamTime(int slot) {
    if (slot < 0 || slot >= ZELKOR_SOUND_SLOTS || !streams[slot]) return 0;
    return (uint32_t)MusicClock_Read(&streams[slot]->clock, NowMicros(), MP3_OUTPUT_RATE);
}

uint32_t ZELKOR_Sound::GetTime() {
    if (paused) return pausedTime;
    // Sound off (or a virtual clock): nothing plays, time still passes.
    if (clockSource || !device) return SilentTime();
    SoundStream* stream = streams[currentSlot];
    // `finished` first: it is set after the last buffer was counted.
    int finished = stream && stream->finished;
    int64_t frames = stream ? MusicClock_Frames(&stream->clock) : 0;
    if (finished && frames > 0) {
        // The track has played out (a short or truncated file): once the
        // clock has reached its end, the silent clock goes on from there, so
        // the programme runs to its end instead of freezing on one frame.
        if (!stream->playedOut) {
            double ms = MusicClock_Read(&stream->clock, NowMicros(), MP3_OUTPUT_RATE);
            if (ms < (double)frames * 1000.0 / (double)MP3_OUTPUT_RATE) return (uint32_t)ms;
            stream->playedOut = 1;
            silentStarted = 1;
            silentStart = Ticks() - (uint32_t)ms;
        }
        return SilentTime();
    }
    if (stream && !finished) return GetStreamTime(currentSlot);
    // The file was missing, unreadable or held no audio: run without music.
    if (inUse[currentSlot] && silentStarted) return SilentTime();
    return 0;
}

void ZELKOR_Sound::Shutdown() {
    // Closing the device waits for its thread, which waits for this lock.
    if (pauseLocked) {
        pauseLocked = 0;
        UnlockDevice();
    }
    paused = 0;
    CloseAllStreams();
    if (device) {
        SDL_CloseAudioDevice(device);
        device = 0;
    }
    if (audioStarted) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        audioStarted = 0;
    }
    free(mixBuffer);
    mixBuffer = nullptr;
    mixFrames = 0;
}

// The first output frame at or after `ms`, so the clock, which rounds down,
// reads `ms` exactly there.
static int64_t FrameAt(uint32_t ms) {
    return ((int64_t)ms * MP3_OUTPUT_RATE + 999) / 1000;
}

void ZELKOR_Sound::StartAt(SoundStream* stream, uint32_t ms) {
    int64_t frame = FrameAt(ms);
    Mp3Stream_Seek(stream->decoder, frame);
    stream->finished = 0;
    stream->playedOut = 0;
    MusicClock_Seek(&stream->clock, frame, NowMicros(), MP3_OUTPUT_RATE);
}

void ZELKOR_Sound::SeekTime(uint32_t ms) {
    SoundStream* stream = streams[currentSlot];
    if (stream) {
        LockDevice();
        StartAt(stream, ms);
        UnlockDevice();
    }
    silentStarted = 1;
    silentStart = Ticks() - ms;
    if (paused) pausedTime = ms;
}

void ZELKOR_Sound::SetPaused(int pause) {
    pause = pause != 0;
    if (pause == paused) return;
    if (pause) {
        pausedTime = GetTime();
        paused = 1;
        LockDevice();
        pauseLocked = device != 0;
        return;
    }
    paused = 0;
    // The device took a buffer ahead of the frozen time: start again there.
    SeekTime(pausedTime);
    if (pauseLocked) {
        pauseLocked = 0;
        UnlockDevice();
    }
}

int ZELKOR_Sound::ReopenCurrentStream(const char* fileName) {
    Mp3Stream* decoder = Mp3Stream_Open(fileName);
    if (!decoder) return 0;
    SoundStream* stream = new (std::nothrow) SoundStream();
    if (!stream) {
        Mp3Stream_Close(decoder);
        return 0;
    }
    stream->decoder = decoder;
    MusicClock_Reset(&stream->clock);
    uint32_t now = GetTime();
    StartAt(stream, now);
    // A slot whose file was missing at start-up never played: it does now.
    stream->playing = device != 0 && !clockSource;
    LockDevice();
    SoundStream* old = streams[currentSlot];
    streams[currentSlot] = stream;
    inUse[currentSlot] = 1;
    UnlockDevice();
    if (old) {
        Mp3Stream_Close(old->decoder);
        delete old;
    }
    silentStarted = 1;
    silentStart = Ticks() - now;
    if (stream->playing) SDL_PauseAudioDevice(device, 0);
    return 1;
}

void ZELKOR_Sound::AudioCallback(void* user, uint8_t* out, int len) {
    ((ZELKOR_Sound*)user)->Mix(out, len);
}

void ZELKOR_Sound::Mix(uint8_t* out, int len) {
    memset(out, 0, (size_t)len);
    uint64_t now = NowMicros();
    int frames = len / FRAME_BYTES;
    for (SoundStream* stream : streams) {
        if (!stream || !stream->playing || stream->finished) continue;
        int got = 0;
        while (got < frames) {
            int chunk = frames - got < mixFrames ? frames - got : mixFrames;
            int n = Mp3Stream_Read(stream->decoder, mixBuffer, chunk);
            SDL_MixAudioFormat(out + (size_t)got * FRAME_BYTES, (const Uint8*)mixBuffer,
                               AUDIO_S16SYS, (Uint32)(n * FRAME_BYTES), SDL_MIX_MAXVOLUME);
            got += n;
            if (n < chunk) break;
        }
        MusicClock_Advance(&stream->clock, got, now);
        if (got < frames) stream->finished = 1;
    }
}
