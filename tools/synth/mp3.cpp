#include "mp3.h"

#include "voice.h"

#include "io/read_file.h"
#include "io/write_file.h"

#include <lame/lame.h>
#include <mpg123.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>

ZK_Status EncodeMp3(const StereoBuffer& pcm, int kbps, std::vector<uint8_t>* mp3) {
    mp3->clear();
    lame_global_flags* gf = lame_init();
    if (!gf) return ZK_Fail("cannot start the MP3 encoder");
    lame_set_in_samplerate(gf, SAMPLE_RATE);
    lame_set_out_samplerate(gf, SAMPLE_RATE);
    lame_set_num_channels(gf, 2);
    lame_set_mode(gf, JOINT_STEREO);
    lame_set_VBR(gf, vbr_off);
    lame_set_brate(gf, kbps);
    lame_set_quality(gf, 2);
    lame_set_bWriteVbrTag(gf, 1);
    lame_set_write_id3tag_automatic(gf, 0);
    if (lame_init_params(gf) < 0) {
        lame_close(gf);
        return ZK_Fail("the MP3 encoder refused its settings");
    }
    const int chunk = 8192;
    std::vector<unsigned char> buffer((size_t)(1.25 * chunk) + 7200);
    size_t frames = pcm.Frames();
    for (size_t at = 0; at < frames; at += chunk) {
        int n = (int)std::min((size_t)chunk, frames - at);
        int bytes = lame_encode_buffer_ieee_float(gf, pcm.left.data() + at, pcm.right.data() + at,
                                                  n, buffer.data(), (int)buffer.size());
        if (bytes < 0) {
            lame_close(gf);
            return ZK_Fail("the MP3 encoder failed (" + std::to_string(bytes) + ")");
        }
        mp3->insert(mp3->end(), buffer.begin(), buffer.begin() + bytes);
    }
    int bytes = lame_encode_flush(gf, buffer.data(), (int)buffer.size());
    if (bytes > 0) mp3->insert(mp3->end(), buffer.begin(), buffer.begin() + bytes);
    // The info frame is written last, over the placeholder that opens the stream.
    size_t tagSize = lame_get_lametag_frame(gf, buffer.data(), buffer.size());
    if (tagSize > 0 && tagSize <= mp3->size()) memcpy(mp3->data(), buffer.data(), tagSize);
    lame_close(gf);
    return ZK_Ok();
}

namespace {

// The encoded bytes as a seekable file for libmpg123, so a render is checked
// without reading back what was written (which may be a FIFO).
struct MemoryReader {
    const std::vector<uint8_t>* bytes;
    size_t at;
};

mpg123_ssize_t ReadMemory(void* handle, void* out, size_t count) {
    MemoryReader* m = (MemoryReader*)handle;
    size_t n = std::min(count, m->bytes->size() - m->at);
    memcpy(out, m->bytes->data() + m->at, n);
    m->at += n;
    return (mpg123_ssize_t)n;
}

off_t SeekMemory(void* handle, off_t offset, int whence) {
    MemoryReader* m = (MemoryReader*)handle;
    off_t base = whence == SEEK_SET   ? 0
                 : whence == SEEK_CUR ? (off_t)m->at
                                      : (off_t)m->bytes->size();
    if (offset < -base || base + offset > (off_t)m->bytes->size()) return -1;
    m->at = (size_t)(base + offset);
    return (off_t)m->at;
}

} // namespace

ZK_Status DecodeMp3(const std::string& path, StereoBuffer* pcm) {
    std::vector<uint8_t> bytes;
    ZK_Status read = IO_ReadFile(path.c_str(), UINT32_MAX, IO_ANY_FILE, &bytes);
    if (!read.ok) return ZK_FailIn(path, "cannot open: " + read.problem);
    return DecodeMp3Bytes(bytes, path, pcm);
}

ZK_Status DecodeMp3Bytes(const std::vector<uint8_t>& mp3, const std::string& path,
                         StereoBuffer* pcm) {
    pcm->left.clear();
    pcm->right.clear();
    int err = MPG123_OK;
    mpg123_handle* mh = mpg123_new(nullptr, &err);
    if (!mh) return ZK_Fail("cannot start the MP3 decoder");
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_GAPLESS | MPG123_QUIET, 0);
    mpg123_format_none(mh);
    mpg123_format(mh, SAMPLE_RATE, MPG123_STEREO, MPG123_ENC_FLOAT_32);
    MemoryReader reader = {&mp3, 0};
    if (mpg123_replace_reader_handle(mh, ReadMemory, SeekMemory, nullptr) != MPG123_OK ||
        mpg123_open_handle(mh, &reader) != MPG123_OK) {
        ZK_Status failed = ZK_FailIn(path, std::string("cannot open: ") + mpg123_strerror(mh));
        mpg123_delete(mh);
        return failed;
    }
    std::vector<float> block(4096);
    ZK_Status status;
    for (;;) {
        size_t done = 0;
        int r = mpg123_read(mh, (unsigned char*)block.data(), block.size() * sizeof(float), &done);
        size_t values = done / sizeof(float);
        for (size_t i = 0; i + 1 < values; i += 2) {
            pcm->left.push_back(block[i]);
            pcm->right.push_back(block[i + 1]);
        }
        if (r == MPG123_DONE) break;
        if (r == MPG123_NEW_FORMAT) {
            long rate;
            int channels, encoding;
            mpg123_getformat(mh, &rate, &channels, &encoding);
            if (rate != SAMPLE_RATE || channels != 2) {
                status = ZK_FailIn(path, "not 44.1 kHz stereo");
                break;
            }
            continue;
        }
        if (r != MPG123_OK) {
            status = ZK_FailIn(path, mpg123_strerror(mh));
            break;
        }
    }
    mpg123_close(mh);
    mpg123_delete(mh);
    if (status.ok && pcm->Frames() == 0) status = ZK_FailIn(path, "no audio");
    return status;
}

ZK_Status WriteFile(const std::string& path, const std::vector<uint8_t>& bytes) {
    ZK_Status written = IO_WriteFile(path.c_str(), bytes.data(), bytes.size(), 0);
    if (written.ok) return written;
    return ZK_FailIn(path, "cannot write: " + written.problem);
}

ZK_Status WriteWav(const std::string& path, const StereoBuffer& pcm) {
    std::vector<uint8_t> out;
    auto u32 = [&](uint32_t v) {
        for (int i = 0; i < 4; i++) out.push_back((uint8_t)(v >> (8 * i)));
    };
    auto u16 = [&](uint16_t v) {
        out.push_back((uint8_t)v);
        out.push_back((uint8_t)(v >> 8));
    };
    uint32_t dataBytes = (uint32_t)(pcm.Frames() * 4);
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    u32(36 + dataBytes);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    u32(16);
    u16(1);
    u16(2);
    u32(SAMPLE_RATE);
    u32(SAMPLE_RATE * 4);
    u16(4);
    u16(16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    u32(dataBytes);
    for (size_t n = 0; n < pcm.Frames(); n++) {
        for (float v : {pcm.left[n], pcm.right[n]}) {
            long s = std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f);
            u16((uint16_t)(int16_t)s);
        }
    }
    return WriteFile(path, out);
}
