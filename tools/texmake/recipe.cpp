#include "recipe.h"

#include "text.h"

#include <cmath>
#include <cstring>
#include <cstdlib>
#include <map>
#include <sstream>

namespace {

constexpr size_t LAYER_BYTES = 256 * 256 * 3;

struct Line {
    std::vector<std::string> words; // positional words, quotes removed
    std::map<std::string, std::string> options;
};

// Splits on blanks; "..." groups (with \" and \\ escapes); key=value pairs go
// to options; a '#' word that is no colour ends the line.
ZK_Status Tokenize(const std::string& raw, Line* line) {
    size_t i = 0;
    while (i < raw.size()) {
        while (i < raw.size() && (raw[i] == ' ' || raw[i] == '\t' || raw[i] == '\r')) i++;
        if (i >= raw.size()) break;
        std::string word;
        if (raw[i] == '"') {
            i++;
            bool closed = false;
            while (i < raw.size()) {
                char c = raw[i++];
                if (c == '"') {
                    closed = true;
                    break;
                }
                if (c == '\\' && i < raw.size()) c = raw[i++];
                word.push_back(c);
            }
            if (!closed) return ZK_Fail("unterminated quoted text");
            line->words.push_back(word);
            continue;
        }
        while (i < raw.size() && raw[i] != ' ' && raw[i] != '\t' && raw[i] != '\r')
            word.push_back(raw[i++]);
        // "#12345" is a mistyped colour, to be reported as one, not a comment.
        if (word[0] == '#' &&
            (word.size() == 1 ||
             strspn(word.c_str() + 1, "0123456789abcdefABCDEF") != word.size() - 1))
            break;
        size_t eq = word.find('=');
        if (eq != std::string::npos && eq > 0) {
            std::string value = word.substr(eq + 1);
            // A quoted option value may hold blanks: key="a b".
            if (!value.empty() && value[0] == '"') {
                value.erase(0, 1);
                while (value.empty() || value.back() != '"') {
                    if (i >= raw.size()) return ZK_Fail("unterminated quoted text");
                    value.push_back(raw[i++]);
                }
                value.pop_back();
            }
            line->options[word.substr(0, eq)] = value;
        } else {
            line->words.push_back(word);
        }
    }
    return ZK_Ok();
}

bool ParseNumber(const std::string& s, float* v) {
    if (s.empty()) return false;
    char* end = nullptr;
    double d = strtod(s.c_str(), &end);
    if (*end != 0 || !std::isfinite(d) || std::fabs(d) > 1e7) return false;
    *v = (float)d;
    return true;
}

const char* const colourForm = "#RRGGBB (six hex digits, e.g. #ff8000)";

bool ParseColour(const std::string& s, Rgb* c) {
    if (s.size() != 7 || s[0] != '#' || strspn(s.c_str() + 1, "0123456789abcdefABCDEF") != 6)
        return false;
    unsigned long v = strtoul(s.c_str() + 1, nullptr, 16);
    c->r = ((v >> 16) & 255) / 255.0f;
    c->g = ((v >> 8) & 255) / 255.0f;
    c->b = (v & 255) / 255.0f;
    return true;
}

bool ParseBlend(const std::string& s, Blend* b) {
    static const std::map<std::string, Blend> modes = {
        {"copy", Blend::Copy},         {"add", Blend::Add}, {"screen", Blend::Screen},
        {"multiply", Blend::Multiply}, {"max", Blend::Max}, {"over", Blend::Over}};
    auto m = modes.find(s);
    if (m == modes.end()) return false;
    *b = m->second;
    return true;
}

struct Runner {
    const RecipeInputs& inputs;
    RecipeResult* result;
    std::string problem;
    bool sized = false;

    bool Fail(const std::string& p) {
        problem = p;
        return false;
    }

    // Reads the positional words after the keyword: 'n' number, 'c' colour.
    bool Args(const Line& l, const char* kinds, std::vector<float>* nums, std::vector<Rgb>* cols) {
        size_t need = strlen(kinds);
        if (l.words.size() != need + 1)
            return Fail("'" + l.words[0] + "' takes " + std::to_string(need) + " values");
        for (size_t i = 0; i < need; i++) {
            const std::string& w = l.words[i + 1];
            if (kinds[i] == 'c') {
                Rgb c;
                if (!ParseColour(w, &c)) return Fail("'" + w + "' is not a colour " + colourForm);
                cols->push_back(c);
            } else {
                float v;
                if (!ParseNumber(w, &v)) return Fail("'" + w + "' is not a number");
                nums->push_back(v);
            }
        }
        return true;
    }

    bool Option(const Line& l, const char* key, float* v, float lo, float hi) {
        auto o = l.options.find(key);
        if (o == l.options.end()) return true;
        if (!ParseNumber(o->second, v) || *v < lo || *v > hi)
            return Fail(std::string(key) + " must be a number from " + std::to_string(lo) + " to " +
                        std::to_string(hi));
        return true;
    }
    bool OptionColour(const Line& l, const char* key, Rgb* c) {
        auto o = l.options.find(key);
        if (o == l.options.end()) return true;
        if (!ParseColour(o->second, c))
            return Fail(std::string(key) + "=" + o->second + " is not a colour " + colourForm);
        return true;
    }
    bool OptionBlend(const Line& l, Blend* b) {
        auto o = l.options.find("mode");
        if (o == l.options.end()) return true;
        if (!ParseBlend(o->second, b)) return Fail("unknown mode '" + o->second + "'");
        return true;
    }
    bool OnlyOptions(const Line& l, std::initializer_list<const char*> allowed) {
        for (const auto& o : l.options) {
            bool ok = false;
            for (const char* a : allowed) ok = ok || o.first == a;
            if (!ok) return Fail("'" + l.words[0] + "' has no option '" + o.first + "'");
        }
        return true;
    }

    void KeepTextArea(const std::string& text, const std::vector<float>& mask, int w, int h) {
        TextArea a;
        a.text = text;
        a.x0 = w, a.y0 = h;
        for (int y = 0; y < h; y++)
            for (int x = 0; x < w; x++)
                if (mask[(size_t)y * w + x] > 0) {
                    a.x0 = std::min(a.x0, x), a.x1 = std::max(a.x1, x + 1);
                    a.y0 = std::min(a.y0, y), a.y1 = std::max(a.y1, y + 1);
                }
        if (a.x1 <= a.x0) return; // nothing drawn
        for (int y = a.y0; y < a.y1; y++)
            a.coverage.insert(a.coverage.end(), mask.begin() + (size_t)y * w + a.x0,
                              mask.begin() + (size_t)y * w + a.x1);
        result->texts.push_back(std::move(a));
    }

    bool Text(const Line& l) {
        if (l.words.size() != 2) return Fail("text \"TEXT\" font=FILE size=H x=X y=Y ...");
        if (!OnlyOptions(l, {"font", "size", "x", "y", "color", "align", "squeeze", "spacing",
                             "glow", "glowcolor", "glowgain"}))
            return false;
        auto font = l.options.find("font");
        if (font == l.options.end()) return Fail("text needs font=FILE");
        TextStyle style;
        style.fontPath = font->second.find('/') == std::string::npos
                             ? inputs.fontDir + "/" + font->second
                             : font->second;
        float size = 0.1f, x = 0.5f, y = 0.5f, squeeze = 1, spacing = 0, glow = 0, gain = 1;
        Rgb colour{1, 1, 1}, glowColour{0.4f, 0.5f, 1};
        if (!Option(l, "size", &size, 0.001f, 2) || !Option(l, "x", &x, -1, 2) ||
            !Option(l, "y", &y, -1, 2) || !Option(l, "squeeze", &squeeze, 0.1f, 4) ||
            !Option(l, "spacing", &spacing, -100, 100) || !Option(l, "glow", &glow, 0, 200) ||
            !Option(l, "glowgain", &gain, 0, 10) || !OptionColour(l, "color", &colour) ||
            !OptionColour(l, "glowcolor", &glowColour))
            return false;
        float align = 0.5f;
        auto a = l.options.find("align");
        if (a != l.options.end()) {
            if (a->second == "left")
                align = 0;
            else if (a->second == "center")
                align = 0.5f;
            else if (a->second == "right")
                align = 1;
            else
                return Fail("align is left, center or right");
        }
        style.sizePx = size * result->canvas.height;
        style.squeeze = squeeze;
        style.spacingPx = spacing;
        Canvas& c = result->canvas;
        std::vector<float> mask((size_t)c.width * c.height, 0.0f);
        ZK_Status drawn = RenderText(l.words[1], style, x * c.width, y * c.height, align, &mask,
                                     c.width, c.height);
        if (!drawn.ok) return Fail(ZK_StatusText(drawn));
        KeepTextArea(l.words[1], mask, c.width, c.height);
        if (glow > 0) {
            // The halo first, added under the letters.
            std::vector<float> halo = mask;
            BlurMask(&halo, c.width, c.height, glow);
            for (int yy = 0; yy < c.height; yy++)
                for (int xx = 0; xx < c.width; xx++) {
                    float h = halo[(size_t)yy * c.width + xx] * gain;
                    if (h > 0) BlendPixel(c.At(xx, yy), glowColour, std::min(h, 1.0f), Blend::Add);
                }
        }
        for (int yy = 0; yy < c.height; yy++)
            for (int xx = 0; xx < c.width; xx++) {
                float m = mask[(size_t)yy * c.width + xx];
                if (m > 0) {
                    float* p = c.At(xx, yy);
                    BlendPixel(p, colour, m, Blend::Over);
                    p[3] = std::max(p[3], m);
                }
            }
        return true;
    }

    bool Run(const Line& l) {
        const std::string& k = l.words[0];
        std::vector<float> n;
        std::vector<Rgb> c;
        if (k == "size") {
            if (!OnlyOptions(l, {}) || !Args(l, "nn", &n, &c)) return false;
            if (n[0] < 1 || n[0] > 4096 || n[1] < 1 || n[1] > 4096 || n[0] != (int)n[0] ||
                n[1] != (int)n[1])
                return Fail("size is 1 to 4096 whole pixels each way");
            result->canvas.Resize((int)n[0], (int)n[1]);
            sized = true;
            return true;
        }
        if (k == "id") {
            if (l.words.size() != 2 || l.words[1].size() > 255)
                return Fail("id \"TEXT\" of up to 255 bytes");
            result->id = l.words[1];
            return true;
        }
        if (k == "format") {
            if (l.words.size() != 2 || !IO_ParseTgaFormat(l.words[1], &result->format))
                return Fail("format is tga24, tga32, rle24, rle32 or tga16");
            return true;
        }
        if (!sized) return Fail("'" + k + "' before size");
        Canvas* cv = &result->canvas;
        Blend mode = Blend::Copy;
        float opacity = 1;
        if (k == "fill") {
            if (!OnlyOptions(l, {}) || !Args(l, "c", &n, &c)) return false;
            Fill(cv, c[0]);
        } else if (k == "layer") {
            if (!OnlyOptions(l, {"mode", "opacity"}) || !Args(l, "n", &n, &c) ||
                !OptionBlend(l, &mode) || !Option(l, "opacity", &opacity, 0, 1))
                return false;
            if (n[0] < 0 || n[0] > 4 || n[0] != (int)n[0]) return Fail("layer is 0 to 4");
            if (!inputs.layers) return Fail("layer needs the script layers (--layers FILE)");
            DrawLayer(cv, inputs.layers + (size_t)n[0] * LAYER_BYTES, mode, opacity);
        } else if (k == "gradient") {
            if (!OnlyOptions(l, {"mode", "opacity"}) || !Args(l, "cc", &n, &c) ||
                !OptionBlend(l, &mode) || !Option(l, "opacity", &opacity, 0, 1))
                return false;
            DrawGradient(cv, c[0], c[1], mode, opacity);
        } else if (k == "radial") {
            float power = 1;
            mode = Blend::Add;
            if (!OnlyOptions(l, {"mode", "power"}) || !Args(l, "nnnc", &n, &c) ||
                !OptionBlend(l, &mode) || !Option(l, "power", &power, 0.01f, 100))
                return false;
            if (n[2] <= 0) return Fail("the radius must be positive");
            DrawRadial(cv, n[0], n[1], n[2], c[0], power, mode);
        } else if (k == "vignette") {
            if (!OnlyOptions(l, {}) || !Args(l, "n", &n, &c)) return false;
            Vignette(cv, n[0]);
        } else if (k == "frame") {
            if (!OnlyOptions(l, {}) || !Args(l, "nc", &n, &c)) return false;
            if (n[0] < 0 || n[0] > 1000) return Fail("frame width is 0 to 1000 pixels");
            DrawFrame(cv, (int)n[0], c[0]);
        } else if (k == "line") {
            if (!OnlyOptions(l, {"opacity"}) || !Args(l, "nnnnnc", &n, &c) ||
                !Option(l, "opacity", &opacity, 0, 1))
                return false;
            DrawLine(cv, n[0], n[1], n[2], n[3], n[4], c[0], opacity);
        } else if (k == "blur") {
            if (!OnlyOptions(l, {}) || !Args(l, "n", &n, &c)) return false;
            if (n[0] < 0 || n[0] > 500) return Fail("blur is 0 to 500 pixels");
            if (n[0] > 0) Blur(cv, n[0]);
        } else if (k == "levels") {
            if (!OnlyOptions(l, {}) || !Args(l, "nnn", &n, &c)) return false;
            if (n[2] <= 0) return Fail("gamma must be positive");
            Levels(cv, n[0], n[1], n[2]);
        } else if (k == "tint") {
            if (!OnlyOptions(l, {}) || !Args(l, "c", &n, &c)) return false;
            Tint(cv, c[0]);
        } else if (k == "alpha") {
            float floor = 0;
            if (!OnlyOptions(l, {"floor"}) || !Option(l, "floor", &floor, 0, 1)) return false;
            if (l.words.size() == 2 && l.words[1] == "luma") {
                AlphaFromLuma(cv, floor);
            } else {
                if (!Args(l, "n", &n, &c)) return false;
                if (n[0] < 0 || n[0] > 1) return Fail("alpha is 0 to 1");
                SetAlpha(cv, n[0]);
            }
        } else if (k == "flip") {
            if (l.words.size() != 1) return Fail("flip takes nothing");
            FlipVertical(cv);
        } else if (k == "text") {
            return Text(l);
        } else {
            return Fail("unknown step '" + k + "'");
        }
        return true;
    }
};

} // namespace

ZK_Status RunRecipe(const std::string& text, const RecipeInputs& inputs, RecipeResult* result) {
    *result = RecipeResult();
    Runner runner{inputs, result, "", false};
    std::stringstream lines(text);
    std::string raw;
    int number = 0;
    while (std::getline(lines, raw)) {
        number++;
        Line line;
        std::string at = "line " + std::to_string(number) + ": ";
        ZK_Status split = Tokenize(raw, &line);
        if (!split.ok) return ZK_Fail(at + split.problem);
        if (line.words.empty()) {
            if (!line.options.empty()) return ZK_Fail(at + "options without a step");
            continue;
        }
        if (!runner.Run(line)) return ZK_Fail(at + runner.problem);
    }
    if (!runner.sized) return ZK_Fail("no size: the recipe paints nothing");
    return ZK_Ok();
}
