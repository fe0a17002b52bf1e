#include "report.h"

#include "loudness.h"
#include "mp3.h"
#include "voice.h"

#include <cstdio>
#include <strings.h>

bool ReportLoudness(const std::string& mp3Path, const std::vector<TimetableEntry>& entries,
                    double curveMs) {
    StereoBuffer pcm;
    ZK_Status decoded = DecodeMp3(mp3Path, &pcm);
    if (!decoded.ok) {
        fprintf(stderr, "zksynth: %s\n", ZK_StatusText(decoded).c_str());
        return false;
    }
    Loudness whole;
    if (!MeasureLoudness(pcm, 0, pcm.Frames(), &whole)) {
        fprintf(stderr, "zksynth: %s: cannot measure its loudness\n", mp3Path.c_str());
        return false;
    }
    printf("%s: %.3f s, %s\n", mp3Path.c_str(), pcm.Frames() / (double)SAMPLE_RATE,
           DescribeLoudness(whole).c_str());
    // Each scene on its own, as if it were a track of its own.
    for (const TimetableEntry& e : entries) {
        if (!strcasecmp(e.name.c_str(), "preload") || !strcasecmp(e.name.c_str(), "ende")) continue;
        size_t from = (size_t)((double)e.start * SAMPLE_RATE / 1000);
        size_t to = (size_t)(((double)e.start + e.length) * SAMPLE_RATE / 1000);
        Loudness part;
        if (!MeasureLoudness(pcm, from, to, &part)) return false;
        printf("%-12s %7.1f %7.1f s  %s\n", e.name.c_str(), e.start / 1000.0,
               (e.start + (double)e.length) / 1000.0, DescribeLoudness(part).c_str());
    }
    if (curveMs > 0) {
        std::vector<double> curve;
        if (!ShortTermCurve(pcm, curveMs, &curve)) return false;
        printf("# ms short-term-LUFS\n");
        for (size_t i = 0; i < curve.size(); i++)
            printf("%.0f %.2f\n", (i + 1) * curveMs, curve[i] < -99 ? -99.0 : curve[i]);
    }
    return true;
}
