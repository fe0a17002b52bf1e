// The show as a viewer sees it, from the content in build/show: the screen
// never stays dark while the music is loud, no line glows down its edge, and
// every line of text stands out from the picture behind it.
#include "archive/memfile.h"
#include "loudness.h"
#include "mp3.h"
#include "recipe.h"
#include "textures/image_decode.h"
#include "timetable.h"

#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace {

std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Frame {
    int width = 0, height = 0;
    std::vector<uint8_t> rgb;
    double Luma(int x, int y) const {
        const uint8_t* p = &rgb[3 * ((size_t)y * width + x)];
        return 0.2126 * p[0] + 0.7152 * p[1] + 0.0722 * p[2];
    }
    // Mean luma of column x, 0 to 255.
    double Column(int x) const {
        double sum = 0;
        for (int y = 0; y < height; y++) sum += Luma(x, y);
        return sum / height;
    }
};

bool ReadFrame(const std::string& path, Frame* frame) {
    png_image image;
    memset(&image, 0, sizeof image);
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) return false;
    image.format = PNG_FORMAT_RGB;
    frame->width = (int)image.width, frame->height = (int)image.height;
    frame->rgb.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, frame->rgb.data(), 0, nullptr) != 0;
}

// Mean brightness of a frame, 0 to 1 (Rec. 709 luma of the pixel values).
double FrameBrightness(const Frame& f) {
    double sum = 0;
    for (int y = 0; y < f.height; y++)
        for (int x = 0; x < f.width; x++) sum += f.Luma(x, y);
    return sum / (255.0 * f.width * f.height);
}

// How far the outermost column on either side outshines the one inside it.
double EdgeExcess(const Frame& f) {
    return std::max(f.Column(0) - f.Column(1), f.Column(f.width - 1) - f.Column(f.width - 2));
}

TEST(ShowFrames, NoDarkStretchUnderLoudMusic) {
    std::vector<TimetableEntry> entries;
    ZK_Status error;
    ASSERT_TRUE(
        (error = ParseTimetable(ReadText(ZK_SOURCE_DIR "/assets/timetable.txt"), &entries)).ok);
    uint32_t ende = 0;
    for (const TimetableEntry& e : entries)
        if (e.name == "ende") ende = e.start;
    ASSERT_GT(ende, 1000u);
    StereoBuffer pcm;
    ASSERT_TRUE((error = DecodeMp3(ZK_BINARY_DIR "/show/sound.mp3", &pcm)).ok)
        << ZK_StatusText(error);
    const int step = 500;
    std::vector<double> loudness;
    ASSERT_TRUE(ShortTermCurve(pcm, step, &loudness));

    char dir[] = "/tmp/zk_framesXXXXXX";
    ASSERT_TRUE(mkdtemp(dir));
    std::string command = std::string(ZK_BINARY_DIR "/tools/zelkor/zelkor capture --dir ") +
                          ZK_BINARY_DIR "/show --size 160x120 --from 0 --to " +
                          std::to_string(ende - step) + " --step 500 -o " + dir + " >/dev/null";
    ASSERT_EQ(system(command.c_str()), 0) << command;
    // A stretch is a run of frames, each standing for the half second around
    // it, under 2 % brightness while the last 3 s of music are above -30 LUFS.
    int run = 0, worst = 0;
    uint32_t worstAt = 0, edgeAt = 0;
    double edge = 0;
    for (uint32_t t = 0; t + step <= ende; t += step) {
        char name[64];
        snprintf(name, sizeof name, "/frame_%06u.png", t);
        Frame frame;
        ASSERT_TRUE(ReadFrame(dir + std::string(name), &frame)) << name;
        remove((dir + std::string(name)).c_str());
        double bright = FrameBrightness(frame);
        if (EdgeExcess(frame) > edge) edge = EdgeExcess(frame), edgeAt = t;
        double lufs = t >= step ? loudness[t / step - 1] : -HUGE_VAL;
        run = bright < 0.02 && lufs > -30 ? run + 1 : 0;
        if (run > worst) worst = run, worstAt = t;
    }
    rmdir(dir);
    EXPECT_LT(worst * step, 750) << "dark under loud music for " << worst * step << " ms up to "
                                 << worstAt << " ms";
    // No bright line down the picture's edge (the swirls' trails once piled
    // up where their backdrop does not reach).
    EXPECT_LE(edge, 40) << "an edge column " << edge << " levels above its neighbour at " << edgeAt
                        << " ms";
}

// WCAG relative luminance of an 8-bit sRGB colour.
double Luminance(double r, double g, double b) {
    auto lin = [](double c) {
        c /= 255;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * lin(r) + 0.7152 * lin(g) + 0.0722 * lin(b);
}

TEST(ShowPictures, TextStandsOutFromThePictureBehindIt) {
    for (const char* name : {"tarnis_credits", "tarnis_logo"}) {
        // The recipe again, for where its texts lie; the pixels from the .tga.
        std::string layers = ReadText(ZK_BINARY_DIR "/assets/work/backdrop_dark.raw");
        ASSERT_EQ(layers.size(), 5u * 256 * 256 * 3);
        RecipeInputs inputs;
        inputs.layers = (const uint8_t*)layers.data();
        inputs.fontDir = "/usr/share/fonts/truetype/dejavu";
        RecipeResult recipe;
        ZK_Status ran =
            RunRecipe(ReadText(ZK_SOURCE_DIR "/assets/textures/" + std::string(name) + ".recipe"),
                      inputs, &recipe);
        ASSERT_TRUE(ran.ok) << ran.problem;
        std::string file = ReadText(ZK_BINARY_DIR "/show/" + std::string(name) + ".tga");
        MemFile* mf = MemFile_Open(file.data(), (uint32_t)file.size(), 0);
        TexImage tga;
        ASSERT_EQ(DecodeTGA(mf, &tga), 1) << name;
        MemFile_Close(mf);
        ASSERT_EQ(tga.width, recipe.canvas.width);
        // As the show draws it: colour times alpha, over black; decoded row 0
        // is the canvas's last row.
        auto shown = [&](int x, int y) {
            const uint8_t* p =
                tga.pixels + ((size_t)(tga.height - 1 - y) * tga.width + x) * tga.channels;
            double a = tga.channels == 4 ? p[3] / 255.0 : 1.0;
            return Luminance(p[0] * a, p[1] * a, p[2] * a);
        };
        ASSERT_FALSE(recipe.texts.empty()) << name;
        for (const TextArea& t : recipe.texts) {
            // Letters: the median of fully covered pixels. Behind them: the
            // brightest tenth of the uncovered pixels around the line.
            std::vector<double> letters, ground;
            int w = t.x1 - t.x0, margin = (t.y1 - t.y0) / 2;
            for (int y = std::max(0, t.y0 - margin); y < std::min(tga.height, t.y1 + margin); y++)
                for (int x = std::max(0, t.x0 - margin); x < std::min(tga.width, t.x1 + margin);
                     x++) {
                    bool inside = x >= t.x0 && x < t.x1 && y >= t.y0 && y < t.y1;
                    float c = inside ? t.coverage[(size_t)(y - t.y0) * w + (x - t.x0)] : 0;
                    if (c >= 0.95f) letters.push_back(shown(x, y));
                    if (c == 0) ground.push_back(shown(x, y));
                }
            ASSERT_FALSE(letters.empty() || ground.empty()) << t.text;
            std::sort(letters.begin(), letters.end());
            std::sort(ground.begin(), ground.end());
            double text = letters[letters.size() / 2], back = ground[ground.size() * 9 / 10];
            double ratio = (std::max(text, back) + 0.05) / (std::min(text, back) + 0.05);
            printf("%s: \"%s\" %.1f:1\n", name, t.text.c_str(), ratio);
            EXPECT_GE(ratio, 4.5) << name << ": \"" << t.text << "\"";
        }
        free(tga.pixels);
    }
}

} // namespace
