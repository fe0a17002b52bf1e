// `zelkor capture` to video files from the built show, read back as a player
// reads them: each frame is the still of its time, the sound is the show's own
// track at its place, and Ctrl-C leaves a file that plays.
#include "music/mp3_stream.h"
#include "support/scratch.h"
#include "video/video_readback.h"

#include <gtest/gtest.h>
#include <png.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>

namespace {

constexpr int W = 320, H = 240, FPS = 30, FRAMES = 60, RATE = 44100;

const std::string kZelkor = ZK_BINARY_DIR "/tools/zelkor/zelkor";
const std::string kShow = ZK_BINARY_DIR "/show";

int Capture(const std::string& args) {
    std::string command = kZelkor + " capture --dir " + kShow + " --quiet " + args;
    int status = system(command.c_str());
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// The first frame at or after T_k: music times are whole milliseconds.
uint32_t StillTime(uint32_t from, int k) {
    return from + (uint32_t)((k * 1000 + FPS - 1) / FPS);
}

std::vector<uint8_t> ReadPng(const std::string& path) {
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    std::vector<uint8_t> rgb;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return rgb;
    image.format = PNG_FORMAT_RGB;
    rgb.resize(PNG_IMAGE_SIZE(image));
    if (!png_image_finish_read(&image, nullptr, rgb.data(), 0, nullptr)) rgb.clear();
    return rgb;
}

// Rec. 709 luma: 4:2:0 video keeps it at full resolution, while the show's
// thin coloured lines lose some of their colour to the halved chroma.
std::vector<uint8_t> Luma(const std::vector<uint8_t>& rgb) {
    std::vector<uint8_t> y(rgb.size() / 3);
    for (size_t i = 0; i < y.size(); i++)
        y[i] = (uint8_t)lround(0.2126 * rgb[3 * i] + 0.7152 * rgb[3 * i + 1] +
                               0.0722 * rgb[3 * i + 2]);
    return y;
}

// The track as the engine decodes it, channel-interleaved, `frames` sample
// frames from the first at or after `fromMs`.
std::vector<float> TrackSamples(uint32_t fromMs, int frames) {
    Mp3Stream* stream = Mp3Stream_Open((kShow + "/sound.mp3").c_str());
    std::vector<int16_t> pcm((size_t)frames * 2);
    std::vector<float> out;
    if (!stream) return out;
    for (uint64_t skip = ((uint64_t)fromMs * 441 + 9) / 10; skip > 0;) {
        int n = Mp3Stream_Read(stream, pcm.data(), (int)std::min<uint64_t>(skip, frames));
        if (n == 0) break;
        skip -= (uint64_t)n;
    }
    int got = Mp3Stream_Read(stream, pcm.data(), frames);
    Mp3Stream_Close(stream);
    out.assign(pcm.begin(), pcm.begin() + (size_t)got * 2);
    return out;
}

TEST(CaptureVideo, FramesAreTheStillsAndTheSoundIsInPlace) {
    ScratchDir dir("capture_video");
    ASSERT_FALSE(dir.Path().empty());
    const uint32_t starts[] = {0, 15000};
    std::string at;
    for (uint32_t from : starts)
        for (int k = 0; k < FRAMES; k++) {
            if (!at.empty()) at += ',';
            at += std::to_string(StillTime(from, k));
        }
    ASSERT_EQ(Capture("--size 320x240 --at " + at + " -o " + (dir / "stills") + " >/dev/null"), 0);

    struct Case {
        const char* name;
        uint32_t from;
    } cases[] = {{"start.mp4", 0}, {"start.webm", 0}, {"later.mp4", 15000}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir / c.name;
        // A high quality, so only a wrong frame could fall below 35 dB.
        ASSERT_EQ(Capture("--size 320x240 --fps 30 --crf 10 --from " + std::to_string(c.from) +
                          " --to " + std::to_string(c.from + 2000) + " -o " + path),
                  0);
        VideoReadback back;
        std::string error;
        ASSERT_TRUE(ReadVideoFile(path, RATE, &back, &error)) << error;
        // Size, then frame rate as a fraction.
        EXPECT_EQ((std::vector<int>{back.width, back.height, back.rateNum, back.rateDen}),
                  (std::vector<int>{W, H, FPS, 1}));
        ASSERT_EQ(back.frames.size(), (size_t)FRAMES);
        for (int k = 0; k < FRAMES; k++) {
            char name[64];
            snprintf(name, sizeof name, "/stills/frame_%06u.png", StillTime(c.from, k));
            const std::vector<uint8_t> still = ReadPng(dir.Path() + name);
            ASSERT_EQ(still.size(), back.frames[k].size()) << name;
            const std::vector<uint8_t> a = Luma(back.frames[k]), b = Luma(still);
            const double psnr = Psnr(a.data(), b.data(), a.size());
            if (psnr < 35) {
                ADD_FAILURE() << "frame " << k << " against " << name << ": PSNR " << psnr;
                break;
            }
        }

        ASSERT_EQ(back.audioChannels, 2);
        EXPECT_NEAR(back.audio.size() / 2.0 / RATE, 2.0,
                    (double)back.audioFrameSize / back.audioStreamRate);
        EXPECT_NEAR(back.firstSampleTime, back.firstFrameTime, 0.001);
        std::vector<float> track = TrackSamples(c.from, 2 * RATE);
        ASSERT_EQ(track.size(), (size_t)4 * RATE);
        double peak = 0;
        int lag = BestLag(track, back.audio, 2, RATE / 100, &peak);
        EXPECT_LE(std::abs(lag), RATE / 1000);
        EXPECT_GT(peak, 0.8);
    }
}

// Ctrl-C half-way: status 130, and what was captured is a complete file (an
// mp4 plays only once its index is written) under its own name, its sound as
// long as its pictures.
TEST(CaptureVideo, InterruptedCaptureIsCompleted) {
    ScratchDir dir("capture_interrupt");
    ASSERT_FALSE(dir.Path().empty());
    const std::string path = dir / "show.mp4", log = dir / "zelkor.log";
    pid_t pid = fork();
    ASSERT_GE(pid, 0);
    if (pid == 0) {
        execl(kZelkor.c_str(), kZelkor.c_str(), "capture", "--dir", kShow.c_str(), "--size",
              "64x48", "--from", "0", "--to", "150000", "--quiet", "-o", path.c_str(), nullptr);
        _exit(127);
    }
    // Once the show has started, frames are being written.
    for (int i = 0; i < 600 && ReadText(log).find("Returning") == std::string::npos; i++)
        usleep(100000);
    usleep(500000);
    kill(pid, SIGINT);
    int status = 0;
    ASSERT_EQ(waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130);

    VideoReadback back;
    std::string error;
    ASSERT_TRUE(ReadVideoFile(path, RATE, &back, &error)) << error;
    ASSERT_GT(back.frames.size(), 0u);
    EXPECT_LT(back.frames.size(), 9000u);
    EXPECT_NEAR(back.audio.size() / 2.0 / RATE, back.frames.size() / 60.0,
                (double)back.audioFrameSize / back.audioStreamRate + 1 / 60.0);
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(dir.Path()))
        names.push_back(e.path().filename());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"show.mp4", "zelkor.log"}));
}

} // namespace
