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

#include "cli/args.h"
#include "tool_io.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

// Scores and timetables are text of a few kilobytes; 16 MiB is plenty.
static bool ReadText(const std::string& path, std::string* text) {
    return ReadTextInput("zksynth", path.c_str(), 16 << 20, text);
}

static const CLI_Usage usage = {
    "zksynth",
    "zksynth SCORE.txt -o OUT.mp3 [--wav OUT.wav] [--kbps N] [--timetable FILE]\n"
    "zksynth --measure FILE.mp3 [--timetable FILE] [--curve MS]",
    "Renders a score (see zelkor-score(5)) to an MP3, levelled as its loudness or\n"
    "peak line says, with a true peak of at most -1 dBTP (or the loudness line's\n"
    "ceiling), or measures an MP3.\n"
    "\n"
    "  -o OUT.mp3        the MP3, 44.1 kHz stereo\n"
    "  --wav OUT.wav     the levelled master as 16-bit WAV, too (or instead of -o)\n"
    "  --kbps N          the MP3's bit rate, 32 to 320 (default 160)\n"
    "  --timetable FILE  a text timetable the score must follow: its sections begin\n"
    "                    where scenes change, and the lengths agree\n"
    "  --measure         prints the loudness, loudness range and true peak of\n"
    "                    FILE.mp3, and of each scene with --timetable\n"
    "  --curve MS        with --measure, the short-term loudness every MS ms too\n"
    "                    (100 or more)\n"};

int main(int argc, char** argv) {
    CLI_CheckStdoutAtExit("zksynth");
    int status;
    if (CLI_Info(usage, argc - 1, argv + 1, &status)) return status;
    static const CLI_Option options[] = {
        {"-o", CLI_TEXT},
        {"--wav", CLI_TEXT},
        {"--timetable", CLI_TEXT},
        {"--kbps", CLI_NUMBER, 32, 320},
        {"--measure"},
        {"--curve", CLI_TIME, 100},
        {},
    };
    CLI_Args args;
    if (CLI_ParseArgs(usage, options, argc - 1, argv + 1, &args, 1)) return CLI_USAGE;
    std::string scorePath = args.operands.empty() ? "" : args.operands[0];
    std::string mp3Path = args["-o"].Or(""), wavPath = args["--wav"].Or("");
    std::string timetablePath = args["--timetable"].Or("");
    long kbps = args["--kbps"].given ? (long)args["--kbps"].number : 160;
    long curveMs = (long)args["--curve"].number;
    bool measure = args["--measure"].on;
    std::string text;
    ZK_Status result;
    if (measure) {
        std::vector<TimetableEntry> entries;
        if (scorePath.empty()) return CLI_UsageError(usage, "--measure: no MP3 given");
        if (!timetablePath.empty()) {
            if (!ReadText(timetablePath, &text)) return 1;
            if (!(result = ParseTimetable(text, &entries)).ok) {
                fprintf(stderr, "zksynth: %s: %s\n", timetablePath.c_str(), result.problem.c_str());
                return 1;
            }
        }
        return ReportLoudness(scorePath, entries, (double)curveMs) ? 0 : 1;
    }
    if (scorePath.empty()) return CLI_UsageError(usage, "no score given");
    if (mp3Path.empty() && wavPath.empty())
        return CLI_UsageError(usage, "no output given (-o OUT.mp3 or --wav OUT.wav)");

    if (!ReadText(scorePath, &text)) return 1;
    Score score;
    if (!(result = ParseScore(text, &score)).ok) {
        fprintf(stderr, "zksynth: %s: %s\n", scorePath.c_str(), result.problem.c_str());
        return 1;
    }
    if (!timetablePath.empty()) {
        std::vector<TimetableEntry> entries;
        if (!ReadText(timetablePath, &text)) return 1;
        result = ParseTimetable(text, &entries);
        if (result.ok) result = CheckScoreAgainstTimetable(score, entries);
        if (!result.ok) {
            fprintf(stderr, "zksynth: %s: %s\n", timetablePath.c_str(), result.problem.c_str());
            return 1;
        }
    }

    StereoBuffer pcm;
    RenderScore(score, &pcm);
    if (!(result = MasterLevel(score, &pcm)).ok) {
        fprintf(stderr, "zksynth: %s: %s\n", scorePath.c_str(), result.problem.c_str());
        return 1;
    }
    if (!wavPath.empty() && !(result = WriteWav(wavPath, pcm)).ok) {
        fprintf(stderr, "zksynth: %s\n", ZK_StatusText(result).c_str());
        return 1;
    }
    if (mp3Path.empty()) return 0;

    Loudness measured;
    if (!(result = WriteMeasuredMp3(score, &pcm, (int)kbps, mp3Path, &measured)).ok) {
        fprintf(stderr, "zksynth: %s\n", ZK_StatusText(result).c_str());
        return 1;
    }
    printf("%s: %.3f s, %ld kbps, %s\n", mp3Path.c_str(), pcm.Frames() / (double)SAMPLE_RATE, kbps,
           DescribeLoudness(measured).c_str());
    return 0;
}
