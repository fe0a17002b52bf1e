// The show in a browser: the page's host of the engine's frame step. The
// browser owns the loop and calls ShowFrame (or CaptureFrame) once per
// animation frame.
//
// The show: start-up runs while the page is read (a few stages per frame),
// then the first picture is drawn at the start time with the music held
// there, and the page shows Start over it. The click makes the page's audio
// context and lets the music run; every frame after is one step. The page
// is told when the show is over or failed.
//
// A capture (--capture T1,T2,...): the frames the runner draws on its
// virtual clock, as zelkor capture draws them (those long before a wanted
// time only advance the scenes), each frame at or after a time handed to the
// page as pixels, which shows it as an image.
//
// page.js passes the query as arguments: --at MS, --capture T,T,..., and
// with a capture --size WxH and --sim-fps M (zelkor capture's options).
#include "core/globals.h"
#include "archive/vkz.h"
#include "engine/capture_run.h"
#include "engine/engine.h"
#include "engine/runner.h"
#include "engine/timetable_nav.h"
#include "music/sound.h"
#include "platform/draw.h"
#include "platform/opengl.h"
#include "platform/window_web.h"
#include "sequencing/timing_script.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

enum Phase { PHASE_STARTING, PHASE_WAITING, PHASE_RUNNING, PHASE_DONE };

struct WebState {
    int phase = PHASE_DONE;
    uint32_t startAt = 0;
    uint64_t framesDrawn = 0;
    double startClick = 0, firstFrameMs = -1;
    std::vector<std::string> pictures; // packed in pictures.vkz (--pictures)
    // A capture: its times, size and pace, and where its frames stand.
    CaptureSchedule capture;
    int captureWidth = 640, captureHeight = 480, captureRate = 60;
    CaptureRun run;
    std::vector<uint8_t> capturePixels;
};
WebState web;

// clang-format off
EM_JS(void, TellPage, (const char* what, const char* text), {
    var page = Module.page, name = UTF8ToString(what);
    if (page && page[name]) page[name](UTF8ToString(text));
});

EM_JS(void, HandCapture, (int index, uint32_t music, int width, int height, const uint8_t* rgb), {
    if (Module.page && Module.page.captured)
        Module.page.captured(index, music >>> 0, width, height, HEAPU8.subarray(rgb, rgb + width * height * 3));
});
// clang-format on

// Decimal digits up to the end of the text or the character `stop`.
int ParseUnsigned(const char* s, char stop, uint32_t* out) {
    char* end = nullptr;
    if (*s < '0' || *s > '9') return 0;
    unsigned long long v = strtoull(s, &end, 10);
    if ((*end && *end != stop) || v > UINT32_MAX) return 0;
    *out = (uint32_t)v;
    return 1;
}

int ParseArguments(int argc, char** argv) {
    for (int i = 1; i + 1 < argc; i += 2) {
        const char* value = argv[i + 1];
        if (!strcmp(argv[i], "--at")) {
            if (!ParseUnsigned(value, 0, &web.startAt)) return 0;
        } else if (!strcmp(argv[i], "--capture")) {
            for (const char* p = value; *p;) {
                uint32_t t;
                if (!ParseUnsigned(p, ',', &t)) return 0;
                if (!web.capture.times.empty() && t < web.capture.times.back()) return 0;
                web.capture.times.push_back(t);
                p = strchr(p, ',');
                p = p ? p + 1 : "";
            }
        } else if (!strcmp(argv[i], "--pictures")) {
            for (const char* p = value; *p;) {
                const char* comma = strchr(p, ',');
                size_t n = comma ? (size_t)(comma - p) : strlen(p);
                if (n == 0 || memchr(p, '/', n)) return 0;
                web.pictures.emplace_back(p, n);
                p = comma ? comma + 1 : "";
            }
        } else if (!strcmp(argv[i], "--sim-fps")) {
            uint32_t rate;
            if (!ParseUnsigned(value, 0, &rate) || rate < 1 || rate > 240) return 0;
            web.captureRate = (int)rate;
        } else if (!strcmp(argv[i], "--size")) {
            uint32_t w, h;
            const char* x = strchr(value, 'x');
            if (!x || !ParseUnsigned(value, 'x', &w) || !ParseUnsigned(x + 1, 0, &h) || w < 1 ||
                h < 1 || w > 4096 || h > 4096)
                return 0;
            web.captureWidth = (int)w, web.captureHeight = (int)h;
        } else {
            return 0;
        }
    }
    return argc % 2 == 1;
}

// A picture as the site keeps it (make_site.py): an uncompressed TGA whose
// pixel bytes are, colour plane after plane, each less its Paeth prediction
// from the left, upper and upper-left bytes of its plane. Back to the TGA
// in place; 0 when the header does not fit the bytes.
int UndoResiduals(std::vector<uint8_t>* tga) {
    std::vector<uint8_t>& d = *tga;
    if (d.size() < 18 || d[2] != 2) return 0;
    size_t width = d[12] | d[13] << 8, height = d[14] | d[15] << 8, bpp = d[16] / 8;
    size_t at = 18 + (size_t)d[0], size = width * height * bpp;
    if (bpp < 2 || bpp > 4 || at + size > d.size()) return 0;
    std::vector<uint8_t> planes(d.begin() + (long)at, d.begin() + (long)(at + size));
    for (size_t k = 0; k < bpp; k++) {
        uint8_t* plane = planes.data() + k * width * height;
        for (size_t y = 0; y < height; y++) {
            uint8_t* row = plane + y * width;
            const uint8_t* above = y ? row - width : nullptr;
            int a = 0, c = 0;
            for (size_t x = 0; x < width; x++) {
                int b = above ? above[x] : 0;
                int p = a + b - c, pa = abs(p - a), pb = abs(p - b), pc = abs(p - c);
                int guess = pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
                row[x] = (uint8_t)(row[x] + guess);
                a = row[x], c = b;
            }
        }
        for (size_t i = 0; i < width * height; i++) d[at + i * bpp + k] = plane[i];
    }
    return 1;
}

// The packed pictures out of pictures.vkz into files of the show folder
// (the working one), where the texture manager reads them; 0 after telling
// the page which one failed.
int UnpackPictures() {
    if (web.pictures.empty()) return 1;
    VKZ_Archive* archive = VKZ_Open("pictures.vkz");
    int ok = archive != nullptr;
    std::string failed = "pictures.vkz cannot be opened";
    for (size_t i = 0; ok && i < web.pictures.size(); i++) {
        std::string name = web.pictures[i];
        VKZ_EntryRecord* entry = VKZ_FindEntry(archive, name.data());
        std::vector<uint8_t> bytes(entry ? entry->size : 0);
        ok = entry && VKZ_ReadEntry(archive, entry, bytes.data()) == 1 && UndoResiduals(&bytes);
        FILE* f = ok ? fopen(web.pictures[i].c_str(), "wb") : nullptr;
        ok = f && fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
        if (f && fclose(f) != 0) ok = 0;
        if (!ok) failed = "pictures.vkz: " + web.pictures[i] + " cannot be unpacked";
    }
    VKZ_Close(archive);
    remove("pictures.vkz"); // its pictures are files now
    if (!ok) TellPage("failed", failed.c_str());
    return ok;
}

void FollowPage() {
    int w, h;
    if (ZELKOR_FollowPage(&w, &h)) g_opengl->FitDrawable(w, h);
}

// One step of the running show; 0 once it has ended or failed, which the
// page is told.
int Step() {
    int state = Engine_Step(nullptr);
    if (state == ENGINE_RUNNING) return 1;
    Engine_Stop();
    web.phase = PHASE_DONE;
    if (state == ENGINE_ENDED)
        TellPage("over", "");
    else
        TellPage("failed", state == ENGINE_FAILED ? "the show could not start" : "");
    return 0;
}

// One frame of the show, or of start-up.
EM_BOOL ShowFrame(double, void*) {
    if (web.phase == PHASE_STARTING) {
        // Stages until a frame's worth of time is spent: preparing the scenes
        // takes a few frames, the page stays alive meanwhile.
        double until = emscripten_get_now() + 25;
        int state;
        do {
            state = Engine_Step(nullptr);
        } while (state == ENGINE_STARTING && emscripten_get_now() < until);
        if (state == ENGINE_STARTING) return EM_TRUE;
        if (state != ENGINE_RUNNING) return Step();
        // The music holds at the start time until Start.
        g_sound->SetPaused(1);
        g_sound->SeekTime(web.startAt);
        web.phase = PHASE_WAITING;
        FollowPage();
        if (!Step()) return EM_FALSE;
        TellPage("ready", "");
        return EM_TRUE;
    }
    if (web.phase == PHASE_WAITING) {
        int w, h;
        if (!ZELKOR_FollowPage(&w, &h)) return EM_TRUE;
        // A new size clears the canvas: the first picture again.
        g_opengl->FitDrawable(w, h);
        return Step();
    }
    if (web.phase != PHASE_RUNNING) return EM_FALSE;
    FollowPage();
    if (!Step()) return EM_FALSE;
    if (web.framesDrawn++ == 0) web.firstFrameMs = emscripten_get_now() - web.startClick;
    return EM_TRUE;
}

// Frames of a capture until a frame's worth of time is spent: those long
// before a wanted time only advance the scenes, as zelkor capture runs them.
EM_BOOL CaptureFrame(double, void*) {
    if (web.phase != PHASE_RUNNING) return EM_FALSE;
    const CaptureSchedule& schedule = web.capture;
    const uint64_t total = schedule.times.size();
    double until = emscripten_get_now() + 40;
    while (web.run.k < total && emscripten_get_now() < until) {
        uint32_t music = 0;
        int ran = CaptureRun_Frame(&web.run, &music);
        if (ran != RUNNER_OK) {
            CaptureRun_End(&web.run);
            Runner_Stop();
            web.phase = PHASE_DONE;
            char why[96];
            snprintf(why, sizeof why, "the show ended before %u ms", schedule.times[web.run.k]);
            TellPage("failed", ran == RUNNER_ENDED ? why : "");
            return EM_FALSE;
        }
        if (!CaptureSchedule_Due(&schedule, web.run.k, music)) continue;
        Runner_ReadRgb(web.capturePixels.data());
        for (; web.run.k < total && CaptureSchedule_Due(&schedule, web.run.k, music); web.run.k++)
            HandCapture((int)web.run.k, music, web.captureWidth, web.captureHeight,
                        web.capturePixels.data());
    }
    if (web.run.k < total) return EM_TRUE;
    CaptureRun_End(&web.run);
    Runner_Stop();
    web.phase = PHASE_DONE;
    TellPage("captureDone", "");
    return EM_FALSE;
}

} // namespace

extern "C" {

// The click on Start (at `clickTime` on the page's clock): the page has made
// its audio context; the music runs from the start time.
EMSCRIPTEN_KEEPALIVE void web_start(double clickTime) {
    if (web.phase != PHASE_WAITING) return;
    web.startClick = clickTime;
    g_sound->SetPaused(0);
    web.phase = PHASE_RUNNING;
}

EMSCRIPTEN_KEEPALIVE double web_music_time() {
    return Engine_MusicTime();
}

EMSCRIPTEN_KEEPALIVE double web_frames() {
    return (double)web.framesDrawn;
}

// From the click on Start to the end of the first frame's step, in ms (-1
// before it).
EMSCRIPTEN_KEEPALIVE double web_first_frame_ms() {
    return web.firstFrameMs;
}
}

int main(int argc, char** argv) {
    if (!ParseArguments(argc, argv)) {
        TellPage("failed", "the address asks for something the show does not know (?at=MS, "
                           "?capture=T1,T2,... in order, ?size=WxH, ?sim-fps=M)");
        return 1;
    }
    if (chdir("/show") != 0 || !UnpackPictures()) {
        if (web.pictures.empty()) TellPage("failed", "the show's files are not there");
        return 1;
    }
    if (!web.capture.times.empty()) {
        Runner_SetFrameRate(web.captureRate);
        Runner_SetRenderer(DRAW_MODERN);
        Runner_SetLogPath("/show/zelkor.log");
        if (chdir("/show") != 0 || Runner_Start(web.captureWidth, web.captureHeight) != RUNNER_OK) {
            TellPage("failed", "the show could not start");
            return 1;
        }
        // Times past the end are refused now, as zelkor capture refuses them,
        // rather than after drawing the whole show to find it over.
        // (The scenes' dispatcher reads the timetable again on its first frame.)
        uint32_t end = 0;
        if (LoadTimingScript() && Timetable_ShowEnd(&end) && web.capture.times.back() >= end) {
            uint32_t late = 0;
            for (uint32_t t : web.capture.times)
                if (t >= end) {
                    late = t;
                    break;
                }
            char why[160];
            snprintf(why, sizeof why,
                     "the show ends at %u:%02u.%03u (%u ms), where \"ende\" starts; nothing to "
                     "capture at %u ms",
                     end / 60000, end / 1000 % 60, end % 1000, end, late);
            Runner_Stop();
            TellPage("failed", why);
            return 1;
        }
        web.capturePixels.resize((size_t)web.captureWidth * web.captureHeight * 3);
        CaptureRun_Begin(&web.run, &web.capture, CAPTURE_LEAD);
        web.phase = PHASE_RUNNING;
        emscripten_request_animation_frame_loop(CaptureFrame, nullptr);
        return 0;
    }
    EngineConfig config;
    config.renderer = DRAW_MODERN;
    config.folder = "/show";
    config.startTime = web.startAt;
    config.pace = ENGINE_PACE_NONE;
    if (!Engine_Start(&config)) {
        TellPage("failed", "the show's files are not there");
        return 1;
    }
    web.phase = PHASE_STARTING;
    emscripten_request_animation_frame_loop(ShowFrame, nullptr);
    return 0;
}
