#include "make_mp3.h"

#include <lame/lame.h>

#include <cmath>
#include <cstdio>

std::vector<int16_t> MakeSineMp3(const std::string& path, int rate, int channels, double seconds) {
    const int frames = (int)(rate * seconds);
    std::vector<int16_t> pcm((size_t)frames * channels);
    for (int i = 0; i < frames; i++) {
        for (int c = 0; c < channels; c++) {
            double freq = c == 0 ? 440.0 : 660.0;
            double amp = 12000.0 * (i < 64 ? (i + 1) / 64.0 : 1.0);
            pcm[(size_t)i * channels + c] = (int16_t)lrint(amp * sin(2 * M_PI * freq * i / rate));
        }
    }
    lame_global_flags* gf = lame_init();
    if (!gf) return {};
    lame_set_in_samplerate(gf, rate);
    lame_set_out_samplerate(gf, rate);
    lame_set_num_channels(gf, channels);
    lame_set_mode(gf, channels == 1 ? MONO : JOINT_STEREO);
    lame_set_brate(gf, 128);
    lame_set_quality(gf, 7);
    lame_set_bWriteVbrTag(gf, 1);
    FILE* f = nullptr;
    std::vector<unsigned char> out((size_t)(1.25 * frames + 7200) * 2);
    int ok = lame_init_params(gf) >= 0 && (f = fopen(path.c_str(), "w+b")) != nullptr;
    if (ok) {
        int n = channels == 2 ? lame_encode_buffer_interleaved(gf, pcm.data(), frames, out.data(),
                                                               (int)out.size())
                              : lame_encode_buffer(gf, pcm.data(), pcm.data(), frames, out.data(),
                                                   (int)out.size());
        ok = n >= 0 && fwrite(out.data(), 1, (size_t)n, f) == (size_t)n;
        n = ok ? lame_encode_flush(gf, out.data(), (int)out.size()) : -1;
        ok = n >= 0 && fwrite(out.data(), 1, (size_t)n, f) == (size_t)n;
        // Rewrites the first frame with the tag that carries delay and padding.
        if (ok) lame_mp3_tags_fid(gf, f);
    }
    if (f && fclose(f) != 0) ok = 0;
    lame_close(gf);
    if (!ok) return {};
    return pcm;
}
