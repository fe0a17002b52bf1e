// zksynth: renders a score to an MP3 (and optionally a WAV), checked against
// the show's timetable.
//   zksynth SCORE.txt -o OUT.mp3 [--wav OUT.wav] [--kbps N] [--timetable FILE]
//   zksynth --measure FILE.mp3 [--timetable FILE] [--curve MS]
#include "master.h"
#include "mix.h"
#include "mp3.h"
#include "report.h"
#include "score.h"
#include "timetable.h"
#include "voice.h"

#include "io/read_file.h"

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
                    "[--timetable FILE]\n"
                    "       zksynth --measure FILE.mp3 [--timetable FILE] [--curve MS]\n");
    return 2;
}

int main(int argc, char** argv) {
    std::string scorePath, mp3Path, wavPath, timetablePath;
    int kbps = 160;
    bool measure = false;
    double curveMs = 0;
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
        else if (a == "--measure")
            measure = true;
        else if (a == "--curve" && hasValue)
            curveMs = atof(argv[++i]);
        else if (a[0] == '-' || !scorePath.empty())
            return Usage();
        else
            scorePath = a;
    }
    std::string text, error;
    if (measure) {
        std::vector<TimetableEntry> entries;
        if (scorePath.empty() || !(curveMs == 0 || curveMs >= 100)) return Usage();
        if (!timetablePath.empty()) {
            if (!ReadText(timetablePath, &text)) return 1;
            if (!ParseTimetable(text, &entries, &error)) {
                fprintf(stderr, "zksynth: %s: %s\n", timetablePath.c_str(), error.c_str());
                return 1;
            }
        }
        return ReportLoudness(scorePath, entries, curveMs) ? 0 : 1;
    }
    if (scorePath.empty() || (mp3Path.empty() && wavPath.empty()) || kbps < 32 || kbps > 320)
        return Usage();

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
    if (!MasterLevel(score, &pcm, &error)) {
        fprintf(stderr, "zksynth: %s: %s\n", scorePath.c_str(), error.c_str());
        return 1;
    }
    if (!wavPath.empty() && !WriteWav(wavPath, pcm, &error)) {
        fprintf(stderr, "zksynth: %s\n", error.c_str());
        return 1;
    }
    if (mp3Path.empty()) return 0;

    Loudness measured;
    if (!WriteMeasuredMp3(score, &pcm, kbps, mp3Path, &measured, &error)) {
        fprintf(stderr, "zksynth: %s\n", error.c_str());
        return 1;
    }
    printf("%s: %.3f s, %d kbps, %s\n", mp3Path.c_str(), pcm.Frames() / (double)SAMPLE_RATE, kbps,
           DescribeLoudness(measured).c_str());
    return 0;
}
