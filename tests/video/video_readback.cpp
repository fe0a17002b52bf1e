#include "video/video_readback.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libswresample/swresample.h>
#include <libswscale/swscale.h>
}

#include <cmath>

namespace {

struct Reader {
    AVFormatContext* format = nullptr;
    AVCodecContext* video = nullptr;
    AVCodecContext* audio = nullptr;
    int videoIndex = -1, audioIndex = -1, audioRate = 0;
    SwsContext* scaler = nullptr;
    SwrContext* resampler = nullptr;
    AVFrame* frame = av_frame_alloc();
    AVPacket* packet = av_packet_alloc();

    ~Reader() {
        avcodec_free_context(&video);
        avcodec_free_context(&audio);
        avformat_close_input(&format);
        sws_freeContext(scaler);
        swr_free(&resampler);
        av_frame_free(&frame);
        av_packet_free(&packet);
    }
};

int Fail(std::string* error, const char* what, int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = "";
    av_strerror(code, text, sizeof text);
    *error = std::string(what) + ": " + text;
    return 0;
}

int OpenDecoder(Reader* r, int index, AVCodecContext** out) {
    AVStream* st = r->format->streams[index];
    const AVCodec* codec = avcodec_find_decoder(st->codecpar->codec_id);
    if (!codec || !(*out = avcodec_alloc_context3(codec))) return AVERROR_DECODER_NOT_FOUND;
    int err = avcodec_parameters_to_context(*out, st->codecpar);
    (*out)->pkt_timebase = st->time_base;
    return err < 0 ? err : avcodec_open2(*out, codec, nullptr);
}

double Seconds(Reader* r, int index) {
    return r->frame->best_effort_timestamp * av_q2d(r->format->streams[index]->time_base);
}

int TakePicture(Reader* r, VideoReadback* out) {
    AVFrame* f = r->frame;
    if (!r->scaler) {
        r->scaler =
            sws_getContext(f->width, f->height, (AVPixelFormat)f->format, f->width, f->height,
                           AV_PIX_FMT_RGB24, SWS_BILINEAR, nullptr, nullptr, nullptr);
        if (!r->scaler) return AVERROR(ENOMEM);
        // Back to RGB with the matrix and range the stream is tagged with.
        const int* table =
            sws_getCoefficients(f->colorspace == AVCOL_SPC_BT709 ? SWS_CS_ITU709 : SWS_CS_DEFAULT);
        sws_setColorspaceDetails(r->scaler, table, f->color_range == AVCOL_RANGE_JPEG, table, 1, 0,
                                 1 << 16, 1 << 16);
        out->firstFrameTime = Seconds(r, r->videoIndex);
    }
    std::vector<uint8_t> rgb((size_t)f->width * f->height * 3);
    uint8_t* rows[1] = {rgb.data()};
    int stride[1] = {f->width * 3};
    sws_scale(r->scaler, f->data, f->linesize, 0, f->height, rows, stride);
    out->frames.push_back(std::move(rgb));
    return 0;
}

// Converts the decoded frame (null: the resampler's tail) to float at the rate asked.
int TakeSound(Reader* r, AVFrame* f, VideoReadback* out) {
    if (!r->resampler) {
        AVChannelLayout layout;
        av_channel_layout_default(&layout, r->audio->ch_layout.nb_channels);
        int err = swr_alloc_set_opts2(&r->resampler, &layout, AV_SAMPLE_FMT_FLT, r->audioRate,
                                      &r->audio->ch_layout, r->audio->sample_fmt,
                                      r->audio->sample_rate, 0, nullptr);
        if (err < 0 || (err = swr_init(r->resampler)) < 0) return err;
        out->firstSampleTime = Seconds(r, r->audioIndex);
    }
    const int channels = out->audioChannels;
    int room = swr_get_out_samples(r->resampler, f ? f->nb_samples : 0);
    if (room < 0) return room;
    size_t had = out->audio.size();
    out->audio.resize(had + (size_t)room * channels);
    uint8_t* dest = (uint8_t*)(out->audio.data() + had);
    int n = swr_convert(r->resampler, &dest, room, f ? (const uint8_t**)f->extended_data : nullptr,
                        f ? f->nb_samples : 0);
    out->audio.resize(had + (size_t)(n > 0 ? n : 0) * channels);
    return n < 0 ? n : 0;
}

// Sends a packet (null: flush) and takes every frame that comes back.
int Decode(Reader* r, AVCodecContext* codec, AVPacket* packet, VideoReadback* out) {
    int err = avcodec_send_packet(codec, packet);
    if (err < 0) return err;
    for (;;) {
        err = avcodec_receive_frame(codec, r->frame);
        if (err == AVERROR(EAGAIN) || err == AVERROR_EOF) return 0;
        if (err < 0) return err;
        err = codec == r->video ? TakePicture(r, out) : TakeSound(r, r->frame, out);
        av_frame_unref(r->frame);
        if (err < 0) return err;
    }
}

} // namespace

int ReadVideoFile(const std::string& path, int audioRate, VideoReadback* out, std::string* error) {
    *out = VideoReadback();
    Reader r;
    if (!r.frame || !r.packet) return Fail(error, "out of memory", AVERROR(ENOMEM));
    int err = avformat_open_input(&r.format, path.c_str(), nullptr, nullptr);
    if (err >= 0) err = avformat_find_stream_info(r.format, nullptr);
    if (err < 0) return Fail(error, "cannot open", err);
    r.videoIndex = av_find_best_stream(r.format, AVMEDIA_TYPE_VIDEO, -1, -1, nullptr, 0);
    if (r.videoIndex < 0) return Fail(error, "no video stream", r.videoIndex);
    if ((err = OpenDecoder(&r, r.videoIndex, &r.video)) < 0)
        return Fail(error, "video decoder", err);
    AVStream* vs = r.format->streams[r.videoIndex];
    out->width = vs->codecpar->width;
    out->height = vs->codecpar->height;
    out->timeBaseNum = vs->time_base.num;
    out->timeBaseDen = vs->time_base.den;
    out->rateNum = vs->avg_frame_rate.num;
    out->rateDen = vs->avg_frame_rate.den;

    r.audioIndex = av_find_best_stream(r.format, AVMEDIA_TYPE_AUDIO, -1, -1, nullptr, 0);
    if (r.audioIndex >= 0) {
        if ((err = OpenDecoder(&r, r.audioIndex, &r.audio)) < 0)
            return Fail(error, "audio decoder", err);
        out->audioStreamRate = r.audio->sample_rate;
        out->audioChannels = r.audio->ch_layout.nb_channels;
        out->audioFrameSize = r.audio->frame_size ? r.audio->frame_size : 960;
        r.audioRate = audioRate ? audioRate : r.audio->sample_rate;
    }

    while ((err = av_read_frame(r.format, r.packet)) >= 0) {
        AVCodecContext* codec = r.packet->stream_index == r.videoIndex   ? r.video
                                : r.packet->stream_index == r.audioIndex ? r.audio
                                                                         : nullptr;
        if (codec) err = Decode(&r, codec, r.packet, out);
        av_packet_unref(r.packet);
        if (err < 0) return Fail(error, "decoding failed", err);
    }
    if (err != AVERROR_EOF) return Fail(error, "reading failed", err);
    if ((err = Decode(&r, r.video, nullptr, out)) < 0) return Fail(error, "decoding failed", err);
    if (r.audio) {
        err = Decode(&r, r.audio, nullptr, out);
        if (err >= 0 && r.resampler) err = TakeSound(&r, nullptr, out);
        if (err < 0) return Fail(error, "decoding failed", err);
    }
    return 1;
}

double Psnr(const uint8_t* a, const uint8_t* b, size_t size) {
    double sum = 0;
    for (size_t i = 0; i < size; i++) sum += (double)(a[i] - b[i]) * (a[i] - b[i]);
    if (sum == 0) return 1000;
    return 10 * log10(255.0 * 255.0 * (double)size / sum);
}

int BestLag(const std::vector<float>& a, const std::vector<float>& b, int channels, int maxLag,
            double* peak) {
    const long na = (long)(a.size() / channels), nb = (long)(b.size() / channels);
    int best = 0;
    *peak = -2;
    for (int lag = -maxLag; lag <= maxLag; lag++) {
        double ab = 0, aa = 0, bb = 0;
        for (long i = 0; i < na; i++) {
            long j = i + lag;
            if (j < 0 || j >= nb) continue;
            double x = a[(size_t)i * channels], y = b[(size_t)j * channels];
            ab += x * y, aa += x * x, bb += y * y;
        }
        double c = aa > 0 && bb > 0 ? ab / sqrt(aa * bb) : 0;
        if (c > *peak) *peak = c, best = lag;
    }
    return best;
}
