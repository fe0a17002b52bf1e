// zksynth: renders a score to an MP3 (and optionally a WAV), checked against
// the show's timetable.
//   zksynth SCORE.txt -o OUT.mp3 [--wav OUT.wav] [--kbps N] [--timetable FILE]
#include "mix.h"
#include "mp3.h"
#include "score.h"
#include "timetable.h"
#include "voice.h"

#include "io/read_file.h"

#include <cmath>
#include <cstdio>
#include <cstring>

// Scores and timetables are text of a few kilobytes; 16 MiB is plenty.
static bool ReadText(const std::string& path, std::string* text) {
    const char* why = nullptr;
    if (IO_ReadText(path.c_str(), 16 << 20, IO_ANY_FILE, text, &why)) return true;
    fprintf(stderr, "zksynth: %s: cannot read: %s\n", path.c_str(), why);
    return false;
}

static int Usage() {
    fprintf(stderr, "usage: zksynth SCORE.txt -o OUT.mp3 [--wav OUT.wav] [--kbps N] "
                    "[--timetable FILE]\n");
    return 2;
}

int main(int argc, char** argv) {
    std::string scorePath, mp3Path, wavPath, timetablePath;
    int kbps = 160;
    for (int i = 1; i < argc; i++) {
        std::string a = argv[i];
        bool hasValue = i + 1 < argc;
        if (a == "-o" && hasValue)
            mp3Path = argv[++i];
        else if (a == "--wav" && hasValue)
            wavPath = argv[++i];
        else if (a == "--timetable" && hasValue)
            timetablePath = argv[++i];
        else if (a == "--kbps" && hasValue)
            kbps = atoi(argv[++i]);
        else if (a[0] == '-' || !scorePath.empty())
            return Usage();
        else
            scorePath = a;
    }
    if (scorePath.empty() || (mp3Path.empty() && wavPath.empty()) || kbps < 32 || kbps > 320)
        return Usage();

    std::string text, error;
    if (!ReadText(scorePath, &text)) return 1;
    Score score;
    if (!ParseScore(text, &score, &error)) {
        fprintf(stderr, "zksynth: %s: %s\n", scorePath.c_str(), error.c_str());
        return 1;
    }
    if (!timetablePath.empty()) {
        std::vector<TimetableEntry> entries;
        if (!ReadText(timetablePath, &text)) return 1;
        if (!ParseTimetable(text, &entries, &error) ||
            !CheckScoreAgainstTimetable(score, entries, &error)) {
            fprintf(stderr, "zksynth: %s: %s\n", timetablePath.c_str(), error.c_str());
            return 1;
        }
    }

    StereoBuffer pcm;
    RenderScore(score, &pcm);
    if (!wavPath.empty() && !WriteWav(wavPath, pcm, &error)) {
        fprintf(stderr, "zksynth: %s\n", error.c_str());
        return 1;
    }
    if (mp3Path.empty()) return 0;

    // The encoder can overshoot the source's peak a little; the decoded file
    // must stay below -1 dBFS, so measure it and lower the level if needed.
    // The file is written once, after the check.
    const double limitDb = -1.0;
    StereoBuffer decoded;
    std::vector<uint8_t> mp3;
    double peakDb = 0;
    for (int attempt = 0;; attempt++) {
        if (!EncodeMp3(pcm, kbps, &mp3, &error) ||
            !DecodeMp3Bytes(mp3, mp3Path, &decoded, &error)) {
            fprintf(stderr, "zksynth: %s\n", error.c_str());
            return 1;
        }
        peakDb = LevelDb(PeakLevel(decoded));
        if (peakDb < limitDb - 0.2) break;
        if (attempt == 3) {
            fprintf(stderr, "zksynth: %s: peak %.2f dBFS stays above %.1f dBFS\n", mp3Path.c_str(),
                    peakDb, limitDb);
            return 1;
        }
        float gain = (float)std::pow(10.0, (limitDb - 0.5 - peakDb) / 20.0);
        for (float& v : pcm.left) v *= gain;
        for (float& v : pcm.right) v *= gain;
    }
    if (!WriteFile(mp3Path, mp3, &error)) {
        fprintf(stderr, "zksynth: %s\n", error.c_str());
        return 1;
    }
    printf("%s: %.3f s, %d kbps, peak %.2f dBFS (source %.3f s)\n", mp3Path.c_str(),
           decoded.Frames() / (double)SAMPLE_RATE, kbps, peakDb,
           pcm.Frames() / (double)SAMPLE_RATE);
    return 0;
}
