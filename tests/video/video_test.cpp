// ZK_Video writes real files that libavformat reads back frame for frame, with
// the audio starting on the first frame; refused settings leave nothing behind.
#include "video/video.h"
#include "video/video_readback.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

namespace fs = std::filesystem;

enum { W = 320, H = 240, FPS = 30, FRAMES = 60, RATE = 44100 };

static std::string ScratchDir() {
    char dir[] = "/tmp/zk_video_XXXXXX";
    return mkdtemp(dir) ? dir : "";
}

// A smooth moving picture with frame k's index written in six big blocks.
static std::vector<uint8_t> Picture(int k) {
    std::vector<uint8_t> rgb((size_t)W * H * 3);
    for (int y = 0; y < H; y++)
        for (int x = 0; x < W; x++) {
            uint8_t* p = &rgb[((size_t)y * W + x) * 3];
            p[0] = (uint8_t)(128 + 100 * sin((x + 6 * k) / 20.0));
            p[1] = (uint8_t)(128 + 100 * cos((y - 3 * k) / 25.0));
            p[2] = (uint8_t)((x + y + 2 * k) / 3);
            int bit = (x - 8) / 48;
            if (y >= 160 && y < 200 && x >= 8 && bit < 6 && (x - 8) % 48 < 40)
                p[0] = p[1] = p[2] = (k >> bit & 1) ? 235 : 20;
        }
    return rgb;
}

static int IndexOf(const std::vector<uint8_t>& rgb) {
    int k = 0;
    for (int bit = 0; bit < 6; bit++)
        if (rgb[((size_t)180 * W + 8 + 48 * bit + 20) * 3 + 1] > 128) k |= 1 << bit;
    return k;
}

// Low-passed noise: no period, so the cross-correlation has one clear peak.
static std::vector<int16_t> Signal(int frames) {
    std::vector<int16_t> pcm((size_t)frames * 2);
    uint32_t seed = 12345;
    double l = 0, r = 0;
    for (int i = 0; i < frames; i++) {
        seed = seed * 1664525u + 1013904223u;
        l += 0.2 * ((int)(seed >> 16 & 0xFFFF) - 32768 - l);
        seed = seed * 1664525u + 1013904223u;
        r += 0.2 * ((int)(seed >> 16 & 0xFFFF) - 32768 - r);
        pcm[2 * i] = (int16_t)(l / 3), pcm[2 * i + 1] = (int16_t)(r / 3);
    }
    return pcm;
}

// Frames as glReadPixels leaves them (bottom row first) for mp4, top-down BGRA
// for webm; audio pushed a frame's worth at a time, as a capture would.
static void Encode(const std::string& path, int bottomUp, int format,
                   const std::vector<int16_t>& pcm) {
    ZK_VideoSettings s;
    s.path = path.c_str();
    s.width = W, s.height = H, s.fps = FPS;
    s.pixelFormat = format;
    s.bottomUp = bottomUp;
    s.audio = 1;
    ZK_Status error;
    ZK_Video* video = ZK_VideoOpen(&s, &error);
    ASSERT_TRUE(video) << ZK_StatusText(error);
    const int bytes = format == ZK_VIDEO_RGB ? 3 : 4;
    std::vector<uint8_t> row((size_t)W * bytes * H);
    for (int k = 0; k < FRAMES; k++) {
        std::vector<uint8_t> rgb = Picture(k);
        for (int y = 0; y < H; y++)
            for (int x = 0; x < W; x++) {
                const uint8_t* p = &rgb[((size_t)y * W + x) * 3];
                uint8_t* q = &row[((size_t)(bottomUp ? H - 1 - y : y) * W + x) * bytes];
                if (format == ZK_VIDEO_BGRA)
                    q[0] = p[2], q[1] = p[1], q[2] = p[0], q[3] = 255;
                else
                    q[0] = p[0], q[1] = p[1], q[2] = p[2];
            }
        ASSERT_TRUE(ZK_VideoPushFrame(video, row.data(), W * bytes))
            << ZK_StatusText(ZK_VideoError(video));
        int from = k * RATE / FPS, to = (k + 1) * RATE / FPS;
        ASSERT_TRUE(ZK_VideoPushAudio(video, &pcm[(size_t)from * 2], to - from));
    }
    error = ZK_VideoFinish(video);
    ASSERT_TRUE(error.ok) << ZK_StatusText(error);
}

TEST(Video, FramesAndSoundComeBackInPlaceAndOnTime) {
    std::string dir = ScratchDir();
    ASSERT_FALSE(dir.empty());
    const std::vector<int16_t> pcm = Signal(2 * RATE);
    // The first half second is where priming or resampling would shift the sound.
    std::vector<float> reference(pcm.begin(), pcm.begin() + RATE);
    for (const char* name : {"clip.mp4", "clip.webm"}) {
        SCOPED_TRACE(name);
        const std::string path = dir + "/" + name;
        const bool mp4 = path.ends_with(".mp4");
        Encode(path, mp4, mp4 ? ZK_VIDEO_RGB : ZK_VIDEO_BGRA, pcm);
        if (HasFatalFailure()) return;
        EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()),
                  mp4 ? 1 : 2); // no temporary file left

        VideoReadback back;
        std::string error;
        ASSERT_TRUE(ReadVideoFile(path, RATE, &back, &error)) << error;
        EXPECT_EQ(back.width, W);
        EXPECT_EQ(back.height, H);
        EXPECT_EQ(back.rateNum, FPS);
        EXPECT_EQ(back.rateDen, 1);
        // Matroska counts in milliseconds whatever the rate; mp4 takes the frame rate.
        if (mp4) {
            EXPECT_EQ(back.timeBaseDen, FPS * back.timeBaseNum);
        }
        ASSERT_EQ(back.frames.size(), (size_t)FRAMES);
        EXPECT_NEAR(back.firstFrameTime, 0, 1e-9);
        for (int k = 0; k < FRAMES; k++) {
            const std::vector<uint8_t> want = Picture(k);
            const double psnr = Psnr(back.frames[k].data(), want.data(), want.size());
            if (IndexOf(back.frames[k]) != k || psnr < 35) {
                ADD_FAILURE() << "frame " << k << " reads as " << IndexOf(back.frames[k])
                              << ", PSNR " << psnr << " dB";
                break;
            }
        }

        ASSERT_EQ(back.audioChannels, 2);
        EXPECT_NEAR(back.audio.size() / 2.0 / (double)RATE, 2.0,
                    (double)back.audioFrameSize / back.audioStreamRate);
        EXPECT_NEAR(back.firstSampleTime, back.firstFrameTime, 0.001);
        for (float& v : back.audio) v *= 32768;
        double peak = 0;
        int lag = BestLag(reference, back.audio, 2, RATE / 100, &peak);
        EXPECT_LE(std::abs(lag), RATE / 1000);
        EXPECT_GT(peak, 0.8);
    }
    fs::remove_all(dir);
}

TEST(Video, RefusedSettingsAndAbortsLeaveNoFile) {
    std::string dir = ScratchDir();
    ASSERT_FALSE(dir.empty());
    const std::string fifo = dir + "/pipe.mp4";
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    struct Case {
        std::string path;
        int width, height, fps;
    } cases[] = {
        {dir + "/clip.avi", W, H, FPS},
        {dir + "/clip.mp4", W + 1, H, FPS},
        {dir + "/none/clip.mp4", W, H, FPS},
        {dir + "/clip.webm", W, H, 0},
        {fifo, W, H, FPS}, // renaming over it would replace the pipe
    };
    for (const Case& c : cases) {
        ZK_VideoSettings s;
        s.path = c.path.c_str();
        s.width = c.width, s.height = c.height, s.fps = c.fps;
        ZK_Status error;
        EXPECT_EQ(ZK_VideoOpen(&s, &error), nullptr) << c.path;
        EXPECT_EQ(ZK_StatusText(error).rfind(c.path + ": ", 0), 0u) << ZK_StatusText(error);
    }

    // Stopped half-way: an abort removes the file; a finish with no frame refuses.
    ZK_VideoSettings s;
    std::string path = dir + "/clip.mkv";
    ZK_Status error;
    s.path = path.c_str();
    s.width = W, s.height = H, s.fps = FPS;
    ZK_Video* video = ZK_VideoOpen(&s, &error);
    ASSERT_TRUE(video) << ZK_StatusText(error);
    ASSERT_TRUE(ZK_VideoPushFrame(video, Picture(0).data(), W * 3));
    ZK_VideoAbort(video);
    ASSERT_TRUE(video = ZK_VideoOpen(&s, &error));
    EXPECT_FALSE(ZK_VideoFinish(video).ok);

    std::vector<std::string> left;
    for (const auto& e : fs::directory_iterator(dir)) left.push_back(e.path().filename());
    EXPECT_EQ(left, std::vector<std::string>{"pipe.mp4"});
    EXPECT_TRUE(fs::is_fifo(fifo));
    fs::remove_all(dir);
}

// A picture between bars, RGBA rows bottom up, as capture reads it: it comes
// back in its place (8 rows above the bottom) with black around it; a picture
// off the chroma grid is refused.
TEST(Video, PictureBetweenBars) {
    std::string dir = ScratchDir();
    ASSERT_FALSE(dir.empty());
    const std::string path = dir + "/bars.mp4";
    const int BAR = 32, FW = W + 2 * BAR, FH = H + 32, TOP = FH - 8 - H, FRAMES_HERE = 3;
    ZK_VideoSettings s;
    s.path = path.c_str();
    s.width = FW, s.height = FH, s.fps = FPS;
    s.pixelFormat = ZK_VIDEO_RGBA, s.bottomUp = 1;
    s.pictureX = BAR + 1, s.pictureY = 8, s.pictureWidth = W, s.pictureHeight = H;
    ZK_Status error;
    EXPECT_EQ(ZK_VideoOpen(&s, &error), nullptr);
    s.pictureX = BAR;
    ZK_Video* video = ZK_VideoOpen(&s, &error);
    ASSERT_TRUE(video) << ZK_StatusText(error);
    std::vector<uint8_t> rgba((size_t)W * H * 4);
    for (int k = 0; k < FRAMES_HERE; k++) {
        const std::vector<uint8_t> rgb = Picture(k);
        for (int y = 0; y < H; y++)
            for (int x = 0; x < W; x++) {
                const uint8_t* p = &rgb[((size_t)y * W + x) * 3];
                uint8_t* q = &rgba[((size_t)(H - 1 - y) * W + x) * 4];
                q[0] = p[0], q[1] = p[1], q[2] = p[2], q[3] = 255;
            }
        ASSERT_TRUE(ZK_VideoPushFrame(video, rgba.data(), W * 4));
    }
    ASSERT_TRUE((error = ZK_VideoFinish(video)).ok) << ZK_StatusText(error);

    VideoReadback back;
    std::string problem;
    ASSERT_TRUE(ReadVideoFile(path, 0, &back, &problem)) << problem;
    ASSERT_EQ(back.frames.size(), (size_t)FRAMES_HERE);
    for (int k = 0; k < FRAMES_HERE; k++) {
        const std::vector<uint8_t>& f = back.frames[k];
        std::vector<uint8_t> inside((size_t)W * H * 3);
        int brightestBar = 0;
        for (int y = 0; y < FH; y++) {
            const uint8_t* row = &f[(size_t)y * FW * 3];
            const bool picture = y >= TOP && y < TOP + H;
            if (picture)
                std::copy(row + BAR * 3, row + (BAR + W) * 3, &inside[(size_t)(y - TOP) * W * 3]);
            for (int x = 0; x < FW; x++)
                if (!picture ? y < TOP - 4 || y >= TOP + H + 4 : x < BAR - 4 || x >= BAR + W + 4)
                    for (int c = 0; c < 3; c++)
                        brightestBar = std::max<int>(brightestBar, row[x * 3 + c]);
        }
        EXPECT_GE(Psnr(inside.data(), Picture(k).data(), inside.size()), 35) << "frame " << k;
        EXPECT_LE(brightestBar, 6) << "frame " << k;
    }
    fs::remove_all(dir);
}
