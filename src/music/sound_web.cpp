// ZELKOR_Sound in a browser. The browser decodes the track (Web Audio's
// decodeAudioData, started when the stream opens) and plays it through the
// page's AudioContext, which the page makes at the click on Start, as
// browsers start sound only after a click. While the track plays, the music
// clock is read from that context's clock: the time of the sample being heard
// (getOutputTimestamp), moved on by the page's clock since, never backwards.
// Until the track can play (still decoding, no click yet), and where it never
// can (no Web Audio, a failed decode), the silent clock runs, as without a
// sound device; the track joins at the silent clock's time when it can.
#include "music/sound.h"

#include <emscripten.h>

#include <new>

struct SoundStream {
    int id = -1;     // the page's stream (Module.zkAudio.streams[id])
    int playing = 0; // PlayStream was called
    int audible = 0; // a source plays it on the context now
    uint32_t last = 0;
};

// clang-format off
EM_JS(int, AudioAvailable, (), {
    return (typeof AudioContext !== "undefined" || typeof webkitAudioContext !== "undefined") ? 1 : 0;
});

// Starts decoding the file from the memory file system; the stream's state
// is "decoding", then "ready" or "failed".
EM_JS(int, AudioOpen, (const char* path), {
    var audio = Module.zkAudio || (Module.zkAudio = {streams: [], context: null});
    var name = UTF8ToString(path);
    var stream = {state: "decoding", buffer: null, source: null, start: 0, offset: 0};
    audio.streams.push(stream);
    var failed = function(why) {
        stream.state = "failed";
        err(name + ": " + why + "; the show plays on without music");
    };
    var bytes;
    try {
        bytes = FS.readFile(name);
    } catch (e) {
        failed("cannot be read");
        return audio.streams.length - 1;
    }
    var Offline = self.OfflineAudioContext || self.webkitOfflineAudioContext;
    try {
        var decoder = new Offline(2, 1, 44100);
        decoder.decodeAudioData(bytes.buffer.slice(bytes.byteOffset, bytes.byteOffset + bytes.byteLength))
            .then(function(buffer) { stream.buffer = buffer; stream.state = "ready"; },
                  function(e) { failed("the browser cannot decode it (" + e + ")"); });
    } catch (e) {
        failed("the browser cannot decode it (" + e + ")");
    }
    return audio.streams.length - 1;
});

// Plays the stream from `ms` on the page's context: 1, or 0 when it cannot
// yet (still decoding, no context) or ever (-1: failed).
EM_JS(int, AudioPlay, (int id, double ms), {
    var audio = Module.zkAudio, stream = audio.streams[id];
    if (stream.state === "failed") return -1;
    if (stream.state !== "ready" || !audio.context) return 0;
    if (stream.source) { stream.source.onended = null; stream.source.stop(); }
    var context = audio.context, source = context.createBufferSource();
    source.buffer = stream.buffer;
    source.connect(context.destination);
    source.start(0, Math.min(ms / 1000, stream.buffer.duration));
    stream.source = source;
    stream.start = context.currentTime;
    stream.offset = ms;
    return 1;
});

EM_JS(void, AudioStop, (int id), {
    var stream = Module.zkAudio.streams[id];
    if (stream.source) { stream.source.stop(); stream.source.disconnect(); stream.source = null; }
});

EM_JS(void, AudioClose, (int id), {
    var audio = Module.zkAudio, stream = audio.streams[id];
    if (stream.source) { stream.source.stop(); stream.source.disconnect(); }
    audio.streams[id] = {state: "failed"};
});

// The music time in ms of what is heard now. The context's clock goes on
// after the track's end, as the silent clock does there.
EM_JS(double, AudioTime, (int id), {
    var audio = Module.zkAudio, stream = audio.streams[id], context = audio.context;
    var now = context.currentTime;
    if (context.getOutputTimestamp) {
        var stamp = context.getOutputTimestamp();
        if (stamp.performanceTime > 0)
            now = Math.min(now, stamp.contextTime + (performance.now() - stamp.performanceTime) / 1000);
    }
    return stream.offset + Math.max(0, now - stream.start) * 1000;
});
// clang-format on

void ZELKOR_Sound::LockDevice() {}
void ZELKOR_Sound::UnlockDevice() {}

// `device` is 1 where the browser has Web Audio: the track is decoded and
// waits for the page's context.
int ZELKOR_Sound::Initialize(ZELKOR_Log* logger) {
    log = logger;
    if (clockSource) return 1;
    device = AudioAvailable();
    return 1;
}

int ZELKOR_Sound::OpenStream(const char* fileName) {
    int slot = TakeSlot();
    if (slot < 0) return -1;
    if (!device || clockSource) return slot;
    SoundStream* stream = new (std::nothrow) SoundStream();
    if (stream) stream->id = AudioOpen(fileName);
    streams[slot] = stream;
    return slot;
}

void ZELKOR_Sound::StartAt(SoundStream* stream, uint32_t ms) {
    stream->audible = AudioPlay(stream->id, (double)ms) == 1;
    stream->last = ms;
}

int ZELKOR_Sound::PlayStream(int slot) {
    if (slot < 0 || slot >= ZELKOR_SOUND_SLOTS) return 0;
    if (!silentStarted) SilentTime();
    SoundStream* stream = streams[slot];
    if (!stream) return 0;
    stream->playing = 1;
    if (!paused) StartAt(stream, SilentTime());
    return 1;
}

int ZELKOR_Sound::CloseStream(int slot) {
    if (slot < 0 || slot >= ZELKOR_SOUND_SLOTS) return 1;
    SoundStream* stream = streams[slot];
    streams[slot] = nullptr;
    inUse[slot] = 0;
    if (stream) {
        AudioClose(stream->id);
        delete stream;
    }
    return 1;
}

uint32_t ZELKOR_Sound::GetStreamTime(int slot) {
    if (slot < 0 || slot >= ZELKOR_SOUND_SLOTS || !streams[slot] || !streams[slot]->audible)
        return 0;
    return (uint32_t)AudioTime(streams[slot]->id);
}

uint32_t ZELKOR_Sound::GetTime() {
    if (paused) return pausedTime;
    if (clockSource || !device) return SilentTime();
    SoundStream* stream = streams[currentSlot];
    if (!stream) return inUse[currentSlot] && silentStarted ? SilentTime() : 0;
    if (!stream->audible && stream->playing) {
        // The track joins the silent clock once it can play.
        uint32_t now = SilentTime();
        StartAt(stream, now);
        if (!stream->audible) return now;
    }
    if (!stream->audible) return silentStarted ? SilentTime() : 0;
    uint32_t now = (uint32_t)AudioTime(stream->id);
    if (now < stream->last) now = stream->last;
    stream->last = now;
    return now;
}

void ZELKOR_Sound::Shutdown() {
    paused = 0;
    CloseAllStreams();
    // The desktop's device, its lock and its mix buffer have no part here.
    device = 0;
    audioStarted = pauseLocked = 0;
    mixBuffer = nullptr;
    mixFrames = 0;
}

void ZELKOR_Sound::SeekTime(uint32_t ms) {
    silentStarted = 1;
    silentStart = Ticks() - ms;
    if (paused) pausedTime = ms;
    SoundStream* stream = streams[currentSlot];
    if (!stream) return;
    AudioStop(stream->id);
    stream->audible = 0;
    stream->last = ms;
    if (stream->playing && !paused) StartAt(stream, ms);
}

void ZELKOR_Sound::SetPaused(int pause) {
    pause = pause != 0;
    if (pause == paused) return;
    if (pause) {
        pausedTime = GetTime();
        paused = 1;
        if (SoundStream* stream = streams[currentSlot]) {
            AudioStop(stream->id);
            stream->audible = 0;
        }
        return;
    }
    paused = 0;
    SeekTime(pausedTime);
}

// Not offered in a browser: the page does not watch its files.
int ZELKOR_Sound::ReopenCurrentStream(const char*) {
    return 0;
}

// Sound is mixed by the browser.
void ZELKOR_Sound::AudioCallback(void*, uint8_t*, int) {}
void ZELKOR_Sound::Mix(uint8_t*, int) {}
