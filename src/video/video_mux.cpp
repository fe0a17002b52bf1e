// The encoders and the muxer. Video: RGB rows -> yuv420p (BT.709, limited
// range, tagged so players convert back the same way) -> H.264 or VP9, time
// base 1/fps. Audio: s16 PCM -> the encoder's format and rate -> AAC or Opus
// at 192 kbps, first sample at pts 0; the encoder's priming samples get
// negative timestamps, which the muxers turn into an edit list (mp4) or a
// codec delay (Matroska), so readers drop them.
#include "video/video_mux.h"

#include "video/video_yuv.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/audio_fifo.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <cstdlib>
#include <cstring>

struct Container {
    const char* extension;
    const char* format;
    const char* video;
    const char* audio;
    int maxCrf;
};

static const Container containers[] = {
    {".mp4", "mp4", "libx264", "aac", 51},
    {".mkv", "matroska", "libx264", "aac", 51},
    {".webm", "webm", "libvpx-vp9", "libopus", 63},
};

// x264's presets, fastest first. VP9 takes the same names: the three fastest
// use its real-time mode, the rest its good-quality mode at falling speed.
static const char* const presets[] = {"ultrafast", "superfast", "veryfast", "faster",   "fast",
                                      "medium",    "slow",      "slower",   "veryslow", "placebo"};
static const int nPresets = (int)(sizeof presets / sizeof presets[0]);
// Ours, the default: x264's superfast without the two tools that cost most at
// the show's rates, CABAC (CAVLC codes instead) and B-frames. Encoding takes
// 0.57 of superfast's time for 13 % more bytes at the same SSIM, which lets a
// capture keep up with the show at 1920x1080 on two cores. VP9 takes it as
// superfast.
static const char realtime[] = "realtime";

struct VideoMux {
    const Container* container;
    AVFormatContext* format;
    AVPacket* packet;

    AVCodecContext* video;
    AVStream* videoStream;
    AVFrame* picture;
    int width, height, rowBytes, bottomUp, pixelFormat;
    int pictureX, pictureY, pictureWidth, pictureHeight; // top-down, inside the frame
    int64_t frames;

    AVCodecContext* audio;
    AVStream* audioStream;
    SwrContext* resampler;
    AVAudioFifo* fifo;
    AVFrame* sound;
    int frameSize;
    int64_t audioShift;  // added to audio timestamps, in the encoder's time base
    uint8_t** converted; // resampler output, `convertedCapacity` samples per channel
    int convertedCapacity;
    int64_t samples;
};

static const Container* FindContainer(const char* path) {
    size_t n = strlen(path);
    for (const Container& c : containers) {
        size_t e = strlen(c.extension);
        if (n > e && strcasecmp(path + n - e, c.extension) == 0) return &c;
    }
    return nullptr;
}

static int PresetIndex(const char* name) {
    if (name && strcmp(name, realtime) == 0) return 1;
    for (int i = 0; name && i < nPresets; i++)
        if (strcmp(name, presets[i]) == 0) return i;
    return -1;
}

static int Fail(ZK_Status* status, const char* what, int code = 0) {
    std::string problem = what;
    if (code < 0) {
        char text[AV_ERROR_MAX_STRING_SIZE] = "";
        av_strerror(code, text, sizeof text);
        problem += std::string(": ") + text;
    }
    return ZK_Report(status, ZK_Fail(problem));
}

int VideoMux_Check(const ZK_VideoSettings* s, ZK_Status* status) {
    const Container* c = s->path ? FindContainer(s->path) : nullptr;
    if (!c) return Fail(status, "unknown video container (use .mp4, .mkv or .webm)");
    if (s->width <= 0 || s->height <= 0 || s->width > ZK_VIDEO_MAX_SIDE ||
        s->height > ZK_VIDEO_MAX_SIDE)
        return Fail(status, "frame size out of range (1 to 8192 pixels a side)");
    if (s->width % 2 || s->height % 2)
        return Fail(status, "frame width and height must be even (yuv420p halves both)");
    if (s->fps < 1 || s->fps > ZK_VIDEO_MAX_FPS)
        return Fail(status, "frame rate out of range (1 to 240)");
    if (s->crf < 0 || s->crf > c->maxCrf)
        return Fail(status, c->maxCrf == 51 ? "crf out of range (0 to 51 for H.264)"
                                            : "crf out of range (0 to 63 for VP9)");
    if (PresetIndex(s->preset) < 0)
        return Fail(status, "unknown preset (realtime, ultrafast, superfast, veryfast, faster, "
                            "fast, medium, slow, slower, veryslow, placebo)");
    if (s->pictureWidth || s->pictureHeight || s->pictureX || s->pictureY) {
        const int x = s->pictureX, y = s->pictureY, w = s->pictureWidth, h = s->pictureHeight;
        if (w <= 0 || h <= 0 || x < 0 || y < 0 || w > s->width - x || h > s->height - y ||
            (x | y | w | h) & 1)
            return Fail(status, "the picture must lie inside the frame, at even places and sizes");
    }
    if (s->pixelFormat < ZK_VIDEO_RGB || s->pixelFormat > ZK_VIDEO_BGRA)
        return Fail(status, "unknown pixel format");
    if (s->audio && (s->audioRate < 8000 || s->audioRate > 192000 || s->audioChannels < 1 ||
                     s->audioChannels > 2))
        return Fail(status, "audio must be mono or stereo at 8000 to 192000 Hz");
    return 1;
}

// Sends `frame` (null: flush) and writes every packet the encoder gives back.
static int Encode(VideoMux* m, AVCodecContext* codec, AVStream* stream, AVFrame* frame,
                  ZK_Status* status) {
    int err = avcodec_send_frame(codec, frame);
    if (err < 0) return Fail(status, "encoding failed", err);
    for (;;) {
        err = avcodec_receive_packet(codec, m->packet);
        if (err == AVERROR(EAGAIN) || err == AVERROR_EOF) return 1;
        if (err < 0) return Fail(status, "encoding failed", err);
        if (codec == m->audio) {
            m->packet->pts += m->audioShift;
            m->packet->dts += m->audioShift;
        }
        av_packet_rescale_ts(m->packet, codec->time_base, stream->time_base);
        m->packet->stream_index = stream->index;
        err = av_interleaved_write_frame(m->format, m->packet);
        if (err < 0) return Fail(status, "write failed", err);
    }
}

static int OpenVideo(VideoMux* m, const ZK_VideoSettings* s, ZK_Status* status) {
    const AVCodec* codec = avcodec_find_encoder_by_name(m->container->video);
    if (!codec) return Fail(status, "this FFmpeg has no video encoder for the container");
    AVCodecContext* c = m->video = avcodec_alloc_context3(codec);
    if (!c) return Fail(status, "out of memory");
    c->width = s->width;
    c->height = s->height;
    c->time_base = AVRational{1, s->fps};
    c->framerate = AVRational{s->fps, 1};
    c->pix_fmt = AV_PIX_FMT_YUV420P;
    c->color_range = AVCOL_RANGE_MPEG;
    c->colorspace = AVCOL_SPC_BT709;
    c->color_primaries = AVCOL_PRI_BT709;
    c->color_trc = AVCOL_TRC_BT709;
    if (m->format->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;

    AVDictionary* options = nullptr;
    int preset = PresetIndex(s->preset);
    av_dict_set_int(&options, "crf", s->crf, 0);
    if (codec->id == AV_CODEC_ID_H264) {
        if (strcmp(s->preset, realtime) == 0) {
            av_dict_set(&options, "preset", "superfast", 0);
            av_dict_set(&options, "x264-params", "cabac=0:bframes=0", 0);
        } else {
            av_dict_set(&options, "preset", s->preset, 0);
        }
    } else {
        // Constant quality needs the bit rate at 0; row-mt spreads a frame over cores.
        c->bit_rate = 0;
        av_dict_set(&options, "row-mt", "1", 0);
        av_dict_set(&options, "deadline", preset < 3 ? "realtime" : "good", 0);
        av_dict_set_int(&options, "cpu-used", preset < 8 ? 8 - preset : 0, 0);
    }
    int err = avcodec_open2(c, codec, &options);
    av_dict_free(&options);
    if (err < 0) return Fail(status, "cannot open the video encoder", err);

    m->videoStream = avformat_new_stream(m->format, nullptr);
    if (!m->videoStream) return Fail(status, "out of memory");
    m->videoStream->time_base = c->time_base;
    m->videoStream->avg_frame_rate = c->framerate;
    err = avcodec_parameters_from_context(m->videoStream->codecpar, c);
    if (err < 0) return Fail(status, "cannot set up the video stream", err);

    m->width = s->width;
    m->height = s->height;
    ZK_VideoBufferSize(s, &m->pictureWidth, &m->pictureHeight);
    const int picture = s->pictureWidth > 0;
    m->pictureX = picture ? s->pictureX : 0;
    m->pictureY = !picture      ? 0
                  : s->bottomUp ? s->height - s->pictureY - s->pictureHeight
                                : s->pictureY;
    m->rowBytes = ZK_VideoRowBytes(s);
    m->bottomUp = s->bottomUp;
    m->pixelFormat = s->pixelFormat;
    m->picture = av_frame_alloc();
    if (!m->picture) return Fail(status, "out of memory");
    m->picture->format = AV_PIX_FMT_YUV420P;
    m->picture->width = s->width;
    m->picture->height = s->height;
    err = av_frame_get_buffer(m->picture, 0);
    return err < 0 ? Fail(status, "out of memory", err) : 1;
}

static int OpenAudio(VideoMux* m, const ZK_VideoSettings* s, ZK_Status* status) {
    const AVCodec* codec = avcodec_find_encoder_by_name(m->container->audio);
    if (!codec) return Fail(status, "this FFmpeg has no audio encoder for the container");
    AVCodecContext* c = m->audio = avcodec_alloc_context3(codec);
    if (!c) return Fail(status, "out of memory");
    // The input rate when the encoder takes it, else 48 kHz (Opus's own rate).
    int rate = 48000;
    for (const int* r = codec->supported_samplerates; r && *r; r++)
        if (*r == s->audioRate) rate = s->audioRate;
    if (!codec->supported_samplerates) rate = s->audioRate;
    c->sample_rate = rate;
    c->sample_fmt = codec->sample_fmts ? codec->sample_fmts[0] : AV_SAMPLE_FMT_FLTP;
    av_channel_layout_default(&c->ch_layout, s->audioChannels);
    // AAC carries at most 6 bits a sample per channel; low rates take less than 192 kbps.
    c->bit_rate =
        codec->id == AV_CODEC_ID_AAC ? FFMIN(192000, 6 * rate * s->audioChannels) : 192000;
    c->time_base = AVRational{1, rate};
    if (m->format->oformat->flags & AVFMT_GLOBALHEADER) c->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    int err = avcodec_open2(c, codec, nullptr);
    if (err < 0) return Fail(status, "cannot open the audio encoder", err);
    // Matroska muxers before libavformat 60 write Opus's codec delay but also shift
    // every track forward to make the priming timestamps non-negative, which puts
    // the video 7 ms late. Moved past zero here, only the codec delay remains.
    if (codec->id == AV_CODEC_ID_OPUS && avformat_version() < AV_VERSION_INT(60, 0, 0))
        m->audioShift = c->initial_padding;

    m->audioStream = avformat_new_stream(m->format, nullptr);
    if (!m->audioStream) return Fail(status, "out of memory");
    m->audioStream->time_base = c->time_base;
    err = avcodec_parameters_from_context(m->audioStream->codecpar, c);
    if (err < 0) return Fail(status, "cannot set up the audio stream", err);

    AVChannelLayout input;
    av_channel_layout_default(&input, s->audioChannels);
    err = swr_alloc_set_opts2(&m->resampler, &c->ch_layout, c->sample_fmt, rate, &input,
                              AV_SAMPLE_FMT_S16, s->audioRate, 0, nullptr);
    if (err >= 0) err = swr_init(m->resampler);
    if (err < 0) return Fail(status, "cannot set up the audio conversion", err);
    // Encoders that take any frame size get 20 ms at a time.
    int frameSize = m->frameSize = c->frame_size > 0 ? c->frame_size : rate / 50;
    m->fifo = av_audio_fifo_alloc(c->sample_fmt, s->audioChannels, 2 * frameSize);
    m->sound = av_frame_alloc();
    if (!m->fifo || !m->sound) return Fail(status, "out of memory");
    m->sound->format = c->sample_fmt;
    m->sound->nb_samples = frameSize;
    m->sound->sample_rate = rate;
    err = av_channel_layout_copy(&m->sound->ch_layout, &c->ch_layout);
    if (err >= 0) err = av_frame_get_buffer(m->sound, 0);
    return err < 0 ? Fail(status, "out of memory", err) : 1;
}

VideoMux* VideoMux_Open(const ZK_VideoSettings* s, const char* file, ZK_Status* status) {
    if (!VideoMux_Check(s, status)) return nullptr;
    // The encoders' banners and statistics are noise on a tool's terminal; a level
    // the program chose itself stays.
    if (av_log_get_level() == AV_LOG_INFO) av_log_set_level(AV_LOG_WARNING);
    VideoMux* m = (VideoMux*)calloc(1, sizeof(VideoMux));
    if (!m) return Fail(status, "out of memory"), nullptr;
    m->container = FindContainer(s->path);
    // "file:" keeps a name with a colon from being read as another protocol.
    std::string url = std::string("file:") + file;
    int err =
        avformat_alloc_output_context2(&m->format, nullptr, m->container->format, url.c_str());
    m->packet = av_packet_alloc();
    int ok = err >= 0 && m->packet ? 1 : Fail(status, "cannot set up the container", err);
    ok = ok && OpenVideo(m, s, status) && (!s->audio || OpenAudio(m, s, status));
    if (ok && (err = avio_open(&m->format->pb, url.c_str(), AVIO_FLAG_WRITE)) < 0)
        ok = Fail(status, "cannot write", err);
    if (ok) {
        AVDictionary* options = nullptr;
        if (strcmp(m->container->format, "mp4") == 0) {
            // The movie's index first, so players can start before the download ends;
            // and the frame rate itself as the track's time scale.
            av_dict_set(&options, "movflags", "+faststart", 0);
            av_dict_set_int(&options, "video_track_timescale", s->fps, 0);
        }
        err = avformat_write_header(m->format, &options);
        av_dict_free(&options);
        if (err < 0) ok = Fail(status, "cannot write the header", err);
    }
    if (!ok) {
        VideoMux_Close(m);
        return nullptr;
    }
    return m;
}

// Black (16, 128, 128) around the picture, in plane `i` at `shift` (0: full
// size, 1: halved).
static void FillBars(VideoMux* m, int i, int shift, uint8_t black) {
    uint8_t* plane = m->picture->data[i];
    const ptrdiff_t stride = m->picture->linesize[i];
    const int w = m->width >> shift, h = m->height >> shift;
    const int x0 = m->pictureX >> shift, y0 = m->pictureY >> shift;
    const int x1 = x0 + (m->pictureWidth >> shift), y1 = y0 + (m->pictureHeight >> shift);
    for (int y = 0; y < h; y++) {
        uint8_t* row = plane + y * stride;
        if (y < y0 || y >= y1) {
            memset(row, black, (size_t)w);
        } else {
            memset(row, black, (size_t)x0);
            memset(row + x1, black, (size_t)(w - x1));
        }
    }
}

int VideoMux_Frame(VideoMux* m, const uint8_t* pixels, ZK_Status* status) {
    int err = av_frame_make_writable(m->picture);
    if (err < 0) return Fail(status, "out of memory", err);
    const uint8_t* rows = pixels;
    ptrdiff_t stride = m->rowBytes;
    if (m->bottomUp) {
        rows += (size_t)(m->pictureHeight - 1) * m->rowBytes;
        stride = -stride;
    }
    if (m->pictureWidth != m->width || m->pictureHeight != m->height) {
        FillBars(m, 0, 0, 16);
        FillBars(m, 1, 1, 128);
        FillBars(m, 2, 1, 128);
    }
    VideoYuvPlanes planes;
    for (int i = 0; i < 3; i++) {
        const int shift = i ? 1 : 0;
        planes.stride[i] = m->picture->linesize[i];
        planes.plane[i] = m->picture->data[i] + (m->pictureY >> shift) * planes.stride[i] +
                          (m->pictureX >> shift);
    }
    VideoYuv_Convert(rows, stride, m->pixelFormat, m->pictureWidth, m->pictureHeight, planes);
    m->picture->pts = m->frames++;
    return Encode(m, m->video, m->videoStream, m->picture, status);
}

// Encodes whole encoder frames from the FIFO; with `last`, the remainder too.
static int DrainAudio(VideoMux* m, int last, ZK_Status* status) {
    const int frameSize = m->frameSize;
    while (av_audio_fifo_size(m->fifo) >= frameSize || (last && av_audio_fifo_size(m->fifo) > 0)) {
        int n = FFMIN(av_audio_fifo_size(m->fifo), frameSize);
        int err = av_frame_make_writable(m->sound);
        if (err < 0) return Fail(status, "out of memory", err);
        m->sound->nb_samples = n;
        if (av_audio_fifo_read(m->fifo, (void**)m->sound->data, n) != n)
            return Fail(status, "audio buffer failed");
        m->sound->pts = m->samples;
        m->samples += n;
        if (!Encode(m, m->audio, m->audioStream, m->sound, status)) return 0;
        m->sound->nb_samples = frameSize;
    }
    return 1;
}

// Runs `frames` input samples (null: the resampler's tail) into the FIFO.
static int Convert(VideoMux* m, const int16_t* samples, int frames, ZK_Status* status) {
    int want = swr_get_out_samples(m->resampler, frames);
    if (want < 0) return Fail(status, "audio conversion failed", want);
    if (want > m->convertedCapacity) {
        if (m->converted) av_freep(&m->converted[0]);
        av_freep(&m->converted);
        m->convertedCapacity = 0;
        int err = av_samples_alloc_array_and_samples(
            &m->converted, nullptr, m->audio->ch_layout.nb_channels, want, m->audio->sample_fmt, 0);
        if (err < 0) return Fail(status, "out of memory", err);
        m->convertedCapacity = want;
    }
    const uint8_t* in = (const uint8_t*)samples;
    int n = swr_convert(m->resampler, m->converted, m->convertedCapacity, samples ? &in : nullptr,
                        samples ? frames : 0);
    if (n < 0) return Fail(status, "audio conversion failed", n);
    if (n > 0 && av_audio_fifo_write(m->fifo, (void**)m->converted, n) != n)
        return Fail(status, "out of memory");
    return 1;
}

int VideoMux_Audio(VideoMux* m, const int16_t* samples, int frames, ZK_Status* status) {
    if (!m->audio) return Fail(status, "the video has no audio track");
    // In slices, so the conversion buffer stays small whatever the caller hands over.
    const int channels = m->audio->ch_layout.nb_channels;
    for (int done = 0; done < frames;) {
        int n = FFMIN(frames - done, 8192);
        if (!Convert(m, samples + (size_t)done * channels, n, status) || !DrainAudio(m, 0, status))
            return 0;
        done += n;
    }
    return 1;
}

int VideoMux_Finish(VideoMux* m, ZK_Status* status) {
    if (!Encode(m, m->video, m->videoStream, nullptr, status)) return 0;
    if (m->audio) {
        if (!Convert(m, nullptr, 0, status) || !DrainAudio(m, 1, status) ||
            !Encode(m, m->audio, m->audioStream, nullptr, status))
            return 0;
    }
    int err = av_write_trailer(m->format);
    if (err < 0) return Fail(status, "cannot write the trailer", err);
    err = avio_closep(&m->format->pb);
    return err < 0 ? Fail(status, "write failed", err) : 1;
}

void VideoMux_Close(VideoMux* m) {
    if (!m) return;
    if (m->format) {
        if (m->format->pb) avio_closep(&m->format->pb);
        avformat_free_context(m->format);
    }
    av_packet_free(&m->packet);
    avcodec_free_context(&m->video);
    av_frame_free(&m->picture);
    avcodec_free_context(&m->audio);
    swr_free(&m->resampler);
    if (m->fifo) av_audio_fifo_free(m->fifo);
    av_frame_free(&m->sound);
    if (m->converted) av_freep(&m->converted[0]);
    av_freep(&m->converted);
    free(m);
}
