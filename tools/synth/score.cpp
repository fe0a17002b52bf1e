#include "score.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>

int Score::TotalBars() const {
    int bars = 0;
    for (const Section& s : sections) bars += s.bars;
    return bars;
}

int ParseKey(const std::string& token) {
    static const int base[7] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    if (token.size() < 2 || token[0] < 'A' || token[0] > 'G') return -1;
    int key = base[token[0] - 'A'];
    size_t i = 1;
    if (token[i] == '#')
        key++, i++;
    else if (token[i] == 'b')
        key--, i++;
    if (i >= token.size()) return -1;
    int octave = 0;
    bool negative = false;
    if (token[i] == '-') negative = true, i++;
    if (i + 1 != token.size() || token[i] < '0' || token[i] > '9') return -1;
    octave = token[i] - '0';
    if (negative) octave = -octave;
    int midi = (octave + 1) * 12 + key;
    return midi >= 0 && midi <= 127 ? midi : -1;
}

namespace {

const char* const tooLong = "the score lasts more than 30 minutes";

struct Parser {
    Score* score;
    std::string error;
    int line = 0;

    bool Fail(const std::string& message) {
        error = "line " + std::to_string(line) + ": " + message;
        return false;
    }

    static bool Number(const std::string& text, float* value) {
        if (text.empty()) return false;
        char* end = nullptr;
        double v = strtod(text.c_str(), &end);
        if (*end != 0 || !(v == v) || v > 1e9 || v < -1e9) return false;
        *value = (float)v;
        return true;
    }

    int FindInstrument(const std::string& name) const {
        for (size_t i = 0; i < score->instruments.size(); i++)
            if (score->instruments[i].name == name) return (int)i;
        return -1;
    }
    int FindPattern(const std::string& name) const {
        for (size_t i = 0; i < score->patterns.size(); i++)
            if (score->patterns[i].name == name) return (int)i;
        return -1;
    }

    bool Numbers(const std::vector<std::string>& w, std::vector<float*> out) {
        if (w.size() != out.size() + 1)
            return Fail("'" + w[0] + "' takes " + std::to_string(out.size()) + " numbers");
        for (size_t i = 0; i < out.size(); i++)
            if (!Number(w[i + 1], out[i])) return Fail("bad number '" + w[i + 1] + "'");
        return true;
    }

    bool Inst(const std::vector<std::string>& w) {
        if (w.size() < 3) return Fail("inst NAME KIND [key=value...]");
        if (FindInstrument(w[1]) >= 0) return Fail("instrument '" + w[1] + "' defined twice");
        Instrument in;
        in.name = w[1];
        static const std::map<std::string, Wave> kinds = {
            {"sine", Wave::Sine},     {"tri", Wave::Tri},           {"saw", Wave::Saw},
            {"square", Wave::Square}, {"supersaw", Wave::SuperSaw}, {"noise", Wave::Noise},
            {"fm", Wave::Fm},         {"kick", Wave::Kick},         {"snare", Wave::Snare},
            {"hat", Wave::Hat},       {"clap", Wave::Clap}};
        auto kind = kinds.find(w[2]);
        if (kind == kinds.end()) {
            // Another instrument's name: start from a copy of it.
            int base = FindInstrument(w[2]);
            if (base < 0) return Fail("unknown kind or instrument '" + w[2] + "'");
            in = score->instruments[base];
            in.name = w[1];
        } else {
            in.wave = kind->second;
        }
        // The ranges the voices render soundly: past them a pitch or a
        // vibrato overflows to infinity, a drum's filter turns unstable, and a
        // release or a drum's decay asks for more memory than there is.
        struct Setting {
            float* value;
            float lo, hi;
            const char* unit;
        };
        const float any = 1e9f, ms = 60000, hz = 20000;
        const std::map<std::string, Setting> settings = {
            {"gain", {&in.gain, -any, any, ""}},
            {"pan", {&in.pan, -any, any, ""}},
            {"a", {&in.attack, 0, ms, " ms"}},
            {"d", {&in.decay, 0, ms, " ms"}},
            {"decay", {&in.decay, 0, ms, " ms"}},
            {"s", {&in.sustain, -any, any, ""}},
            {"r", {&in.release, 0, ms, " ms"}},
            {"cut", {&in.cutoff, 10, any, " Hz"}},
            {"res", {&in.resonance, 0, 0.98f, ""}},
            {"env", {&in.envAmount, -any, any, " Hz"}},
            {"fdecay", {&in.filterDecay, 0, ms, " ms"}},
            {"lfo", {&in.lfoRate, -any, any, " Hz"}},
            {"lfodepth", {&in.lfoDepth, -any, any, " Hz"}},
            {"detune", {&in.detune, 0, 24, " semitones"}},
            {"width", {&in.width, -any, any, ""}},
            {"pw", {&in.pulseWidth, -any, any, ""}},
            {"ratio", {&in.fmRatio, -any, any, ""}},
            {"index", {&in.fmIndex, -any, any, ""}},
            {"idecay", {&in.fmDecay, 0, ms, " ms"}},
            {"tr", {&in.transpose, -48, 48, " semitones"}},
            {"drive", {&in.drive, -any, any, ""}},
            {"vib", {&in.vibRate, -any, any, " Hz"}},
            {"vibdepth", {&in.vibDepth, 0, 12, " semitones"}},
            {"pitch", {&in.pitch, 0, hz, " Hz"}},
            {"tone", {&in.tone, -any, any, ""}},
            {"delay", {&in.delaySend, -any, any, ""}},
            {"reverb", {&in.reverbSend, -any, any, ""}}};
        for (size_t i = 3; i < w.size(); i++) {
            size_t eq = w[i].find('=');
            if (eq == std::string::npos) return Fail("expected key=value, got '" + w[i] + "'");
            std::string key = w[i].substr(0, eq), value = w[i].substr(eq + 1);
            if (key == "filter") {
                if (value == "lp")
                    in.filterMode = 0;
                else if (value == "bp")
                    in.filterMode = 1;
                else if (value == "hp")
                    in.filterMode = 2;
                else
                    return Fail("filter is lp, bp or hp");
                continue;
            }
            if (key == "voices") {
                float v;
                if (!Number(value, &v) || v < 1 || v > 16 || v != (int)v)
                    return Fail("voices is a whole number from 1 to 16");
                in.voices = (int)v;
                continue;
            }
            auto f = settings.find(key);
            if (f == settings.end()) return Fail("unknown instrument setting '" + key + "'");
            const Setting& set = f->second;
            if (!Number(value, set.value)) return Fail("bad number '" + value + "'");
            if (*set.value < set.lo || *set.value > set.hi) {
                char range[96];
                if (set.hi == any)
                    snprintf(range, sizeof range, " is at least %g%s", set.lo, set.unit);
                else
                    snprintf(range, sizeof range, " is %g to %g%s", set.lo, set.hi, set.unit);
                return Fail(key + range);
            }
        }
        if (in.pulseWidth <= 0 || in.pulseWidth >= 1) return Fail("pw lies between 0 and 1");
        score->instruments.push_back(in);
        return true;
    }

    // One step token: '.' rest, '_' a bar of rest, '-' hold, x/X/o hits (drums,
    // noise), or NOTE[+NOTE...] with '!' for an accent or '?' for a soft note.
    bool Step(Pattern* p, const std::string& t, bool* held) {
        int step = p->steps++;
        if (t == ".") {
            *held = false;
            return true;
        }
        if (t == "_") { // a whole bar of rest
            p->steps += 15;
            *held = false;
            return true;
        }
        if (t == "-") {
            if (!*held || p->notes.empty()) return Fail("'-' holds nothing");
            p->notes.back().length++;
            return true;
        }
        Note n;
        n.step = step;
        std::string body = t;
        if (t == "x" || t == "X" || t == "o") {
            n.velocity = t == "X" ? 1.0f : t == "o" ? 0.5f : 0.8f;
            n.keys.push_back(60);
        } else {
            char last = body.back();
            if (last == '!')
                n.velocity = 1.0f, body.pop_back();
            else if (last == '?')
                n.velocity = 0.5f, body.pop_back();
            size_t start = 0;
            while (start <= body.size()) {
                size_t plus = body.find('+', start);
                std::string part = body.substr(start, plus == std::string::npos ? std::string::npos
                                                                                : plus - start);
                int key = ParseKey(part);
                if (key < 0) return Fail("bad note '" + t + "'");
                n.keys.push_back(key);
                if (plus == std::string::npos) break;
                start = plus + 1;
            }
        }
        p->notes.push_back(n);
        *held = true;
        return true;
    }

    bool Pat(const std::vector<std::string>& w) {
        if (w.size() < 4) return Fail("pat NAME INSTRUMENT STEP...");
        int inst = FindInstrument(w[2]);
        if (inst < 0) return Fail("unknown instrument '" + w[2] + "'");
        int index = FindPattern(w[1]);
        if (index < 0) {
            Pattern p;
            p.name = w[1];
            p.instrument = inst;
            score->patterns.push_back(p);
            index = (int)score->patterns.size() - 1;
        } else if (score->patterns[index].instrument != inst) {
            return Fail("pattern '" + w[1] + "' continues with another instrument");
        }
        Pattern* p = &score->patterns[index];
        // A continuation line may hold the note running from the line before.
        bool held = !p->notes.empty() && p->notes.back().step + p->notes.back().length == p->steps;
        int before = p->steps;
        for (size_t i = 3; i < w.size(); i++)
            if (!Step(p, w[i], &held)) return false;
        if ((p->steps - before) % 16 != 0)
            return Fail("pattern line has " + std::to_string(p->steps - before) +
                        " steps, not a multiple of 16");
        return true;
    }

    bool Sec(const std::vector<std::string>& w) {
        Section s;
        size_t colon = 0;
        for (size_t i = 0; i < w.size(); i++)
            if (w[i] == ":") colon = i;
        if (w.size() < 3 || colon < 3) return Fail("sec NAME BARS [options] : PATTERN...");
        s.name = w[1];
        float bars;
        if (!Number(w[2], &bars) || bars < 1 || bars > 1000 || bars != (int)bars)
            return Fail("bars is a whole number from 1 to 1000");
        s.bars = (int)bars;
        for (size_t i = 3; i < colon; i++) {
            if (w[i] == "fadein")
                s.fadeIn = true;
            else if (w[i] == "fadeout")
                s.fadeOut = true;
            else if (w[i].rfind("sweep=", 0) == 0 || w[i].rfind("level=", 0) == 0) {
                // sweep=INSTRUMENT:FROM:TO, cutoff multipliers over the section;
                // level=INSTRUMENT:FROM:TO, its level in dB.
                std::stringstream in(w[i].substr(6));
                std::string name, from, to;
                std::getline(in, name, ':');
                std::getline(in, from, ':');
                std::getline(in, to, ':');
                Sweep sw;
                sw.level = w[i][0] == 'l';
                sw.instrument = FindInstrument(name);
                if (sw.instrument < 0) return Fail("unknown instrument '" + name + "'");
                if (!Number(from, &sw.from) || !Number(to, &sw.to))
                    return Fail(w[i].substr(0, 5) + "=INSTRUMENT:FROM:TO takes two numbers");
                if (sw.level ? sw.from < -90 || sw.to < -90 || sw.from > 24 || sw.to > 24
                             : sw.from <= 0 || sw.to <= 0)
                    return Fail(sw.level ? "level ramps run from -90 to 24 dB"
                                         : "sweep factors are positive");
                s.sweeps.push_back(sw);
            } else {
                return Fail("unknown section option '" + w[i] + "'");
            }
        }
        for (size_t i = colon + 1; i < w.size(); i++) {
            PatternUse u;
            std::string name = w[i];
            size_t sign = name.find_first_of("+-");
            if (sign != std::string::npos) {
                float tr;
                if (!Number(name.substr(sign), &tr) || tr != (int)tr || tr < -48 || tr > 48)
                    return Fail("bad transposition in '" + w[i] + "'");
                u.transpose = (int)tr;
                name = name.substr(0, sign);
            }
            u.pattern = FindPattern(name);
            if (u.pattern < 0) return Fail("unknown pattern '" + name + "'");
            s.uses.push_back(u);
        }
        const Section* last = score->sections.empty() ? nullptr : &score->sections.back();
        s.startBar = last ? last->startBar + last->bars : 0;
        // A bar lasts 600 ms at the fastest tempo: more bars than this are
        // too long at any tempo.
        if (s.startBar + s.bars > MAX_SCORE_MS / 600) return Fail(tooLong);
        score->sections.push_back(s);
        return true;
    }

    bool Line(const std::vector<std::string>& w) {
        const std::string& k = w[0];
        if (k == "tempo") {
            if (!Numbers(w, {&score->tempo})) return false;
            if (score->tempo < 20 || score->tempo > 400) return Fail("tempo is 20 to 400");
            return true;
        }
        if (k == "delay") {
            if (!Numbers(w, {&score->delaySteps, &score->delayFeedback, &score->delayLevel}))
                return false;
            if (score->delaySteps < 0.25f || score->delaySteps > 64 || score->delayFeedback < 0 ||
                score->delayFeedback > 0.95f)
                return Fail("delay is 0.25 to 64 steps with feedback up to 0.95");
            return true;
        }
        if (k == "reverb") {
            if (!Numbers(w, {&score->reverbSize, &score->reverbDamp, &score->reverbLevel}))
                return false;
            if (score->reverbSize < 0 || score->reverbSize > 0.98f || score->reverbDamp < 0 ||
                score->reverbDamp > 1)
                return Fail("reverb size is 0 to 0.98, damping 0 to 1");
            return true;
        }
        if (k == "peak") {
            if (!Numbers(w, {&score->peakDb})) return false;
            if (score->peakDb > 0 || score->peakDb < -40) return Fail("peak is -40 to 0 dBFS");
            return true;
        }
        if (k == "loudness") {
            if (!Numbers(w, {&score->loudnessLufs, &score->ceilingDb})) return false;
            if (score->loudnessLufs < -40 || score->loudnessLufs > -5 || score->ceilingDb < -20 ||
                score->ceilingDb > 0)
                return Fail("loudness is -40 to -5 LUFS, its ceiling -20 to 0 dBTP");
            score->byLoudness = true;
            return true;
        }
        if (k == "inst") return Inst(w);
        if (k == "pat") return Pat(w);
        if (k == "sec") return Sec(w);
        return Fail("unknown keyword '" + k + "'");
    }
};

} // namespace

ZK_Status ParseScore(const std::string& text, Score* score) {
    *score = Score();
    Parser parser;
    parser.score = score;
    std::stringstream lines(text);
    std::string raw;
    while (std::getline(lines, raw)) {
        parser.line++;
        // '#' opens a comment at the start of a line or after blank space, so
        // sharps inside note names ("C#3") stay notes.
        for (size_t i = 0; i < raw.size(); i++)
            if (raw[i] == '#' && (i == 0 || raw[i - 1] == ' ' || raw[i - 1] == '\t')) {
                raw.resize(i);
                break;
            }
        std::stringstream in(raw);
        std::vector<std::string> words;
        std::string w;
        while (in >> w) words.push_back(w);
        if (words.empty()) continue;
        if (!parser.Line(words)) return ZK_Fail(parser.error);
    }
    if (score->sections.empty()) return ZK_Fail("no sections: the score plays nothing");
    if (score->TotalBars() * score->BarMs() > MAX_SCORE_MS) return ZK_Fail(tooLong);
    return ZK_Ok();
}
