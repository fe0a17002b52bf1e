#include "music/mp3_stream.h"

#include "io/read_file.h"

#include <mpg123.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

struct Mp3Stream {
    mpg123_handle* handle;
    int fd; // ours: the decoder reads it but leaves closing it to us
    int ended;
};

static int LibraryReady() {
    // Since 1.27 the call is a formality, but older versions need it once.
    static int ready = mpg123_init() == MPG123_OK;
    return ready;
}

Mp3Stream* Mp3Stream_Open(const char* path) {
    if (!path || !LibraryReady()) return nullptr;
    // Only a regular file, checked without blocking: a FIFO in its place
    // fails like a missing file rather than hanging the start-up.
    int fd = IO_OpenRead(path, IO_REGULAR_ONLY, nullptr);
    if (fd < 0) return nullptr;
    int err = 0;
    mpg123_handle* mh = mpg123_new(nullptr, &err);
    if (!mh) {
        close(fd);
        return nullptr;
    }
    // Gapless trims the encoder delay so the track starts on its first sample;
    // the forced rate makes the decoder resample, so the device never needs to.
    if (mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET | MPG123_GAPLESS | MPG123_FORCE_STEREO,
                     0) != MPG123_OK ||
        mpg123_param(mh, MPG123_FORCE_RATE, MP3_OUTPUT_RATE, 0) != MPG123_OK ||
        mpg123_format_none(mh) != MPG123_OK ||
        mpg123_format(mh, MP3_OUTPUT_RATE, MPG123_STEREO, MPG123_ENC_SIGNED_16) != MPG123_OK ||
        mpg123_open_fd(mh, fd) != MPG123_OK) {
        mpg123_delete(mh);
        close(fd);
        return nullptr;
    }
    long rate = 0;
    int channels = 0, encoding = 0;
    if (mpg123_getformat(mh, &rate, &channels, &encoding) != MPG123_OK || rate != MP3_OUTPUT_RATE ||
        channels != MP3_OUTPUT_CHANNELS || encoding != MPG123_ENC_SIGNED_16) {
        mpg123_close(mh);
        mpg123_delete(mh);
        close(fd);
        return nullptr;
    }
    Mp3Stream* stream = (Mp3Stream*)calloc(1, sizeof(Mp3Stream));
    if (!stream) {
        mpg123_close(mh);
        mpg123_delete(mh);
        close(fd);
        return nullptr;
    }
    stream->handle = mh;
    stream->fd = fd;
    return stream;
}

int Mp3Stream_Read(Mp3Stream* stream, int16_t* out, int frames) {
    if (!stream || frames <= 0) return 0;
    const size_t frameBytes = 2 * MP3_OUTPUT_CHANNELS;
    size_t want = (size_t)frames * frameBytes, have = 0;
    unsigned char* dest = (unsigned char*)out;
    int idle = 0;
    while (!stream->ended && have < want) {
        size_t done = 0;
        int err = mpg123_read(stream->handle, dest + have, want - have, &done);
        have += done;
        idle = done ? 0 : idle + 1;
        // A new format is the forced one again; anything else but OK ends the
        // track, and so does a decoder that keeps making no progress.
        if ((err != MPG123_OK && err != MPG123_NEW_FORMAT) || idle > 16) stream->ended = 1;
    }
    // The decoder only ever hands out whole frames, but a truncated last read
    // must not leave half a frame behind.
    return (int)(have / frameBytes);
}

int Mp3Stream_Seek(Mp3Stream* stream, int64_t frame) {
    if (!stream || frame < 0) return 0;
    off_t reached = mpg123_seek(stream->handle, (off_t)frame, SEEK_SET);
    stream->ended = reached < 0 || reached < (off_t)frame;
    return !stream->ended;
}

void Mp3Stream_Close(Mp3Stream* stream) {
    if (!stream) return;
    mpg123_close(stream->handle);
    mpg123_delete(stream->handle);
    close(stream->fd);
    free(stream);
}
