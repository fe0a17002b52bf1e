// zelkor capture: runs the show from a show folder into an offscreen frame
// buffer on a virtual clock and writes chosen frames as PNG.
//
// The virtual clock advances exactly 1000/60 ms per frame and drives both the
// music clock and the frame timer, so a frame depends only on its number: the
// same music time always gives the same pixels, however slowly we render.
#include "commands.h"

#include "music/sound.h"
#include "platform/message.h"
#include "platform/opengl.h"
#include "platform/timer.h"
#include "platform/window.h"
#include "sequencing/scene_registry.h"
#include "shell/globals.h"
#include "shell/settings.h"
#include "shell/startup.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>
#include <png.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

// Longest music time we agree to run to: a day of show.
const uint32_t kMaxTime = 86400000u;

struct VirtualClock {
    uint32_t now = 0;
    // During start-up every read moves the clock on by 1 ms, so the wait for
    // the music (which spins on the clock) ends after a fixed number of reads.
    int startingUp = 1;
};

VirtualClock virtualClock;

uint32_t ReadVirtualClock(void* user) {
    VirtualClock* c = (VirtualClock*)user;
    return c->startingUp ? c->now++ : c->now;
}

void ConfigureOffscreen(void*) {
    g_window->SetHidden(1);
    g_sound->SetClockSource(ReadVirtualClock, &virtualClock);
    g_timer->SetTickSource(ReadVirtualClock, &virtualClock);
}

struct Options {
    int width = 800, height = 600;
    std::vector<uint32_t> times;
    std::string showDir, outDir;
};

int Usage(const char* why) {
    fprintf(stderr, "zelkor capture: %s\n", why);
    fprintf(stderr, "usage: zelkor capture [--dir SHOW] [--size WxH] --at T[,T...] -o DIR\n"
                    "       zelkor capture [--dir SHOW] [--size WxH] --from T --to T "
                    "[--step T] -o DIR\n"
                    "  T: music time in ms; each frame is the first whose music time is >= T\n");
    return 2;
}

int ParseTime(const char* s, uint32_t* out) {
    if (!*s) return 0;
    char* end = nullptr;
    errno = 0;
    unsigned long long v = strtoull(s, &end, 10);
    if (*end || errno || s[0] == '-' || v > kMaxTime) return 0;
    *out = (uint32_t)v;
    return 1;
}

int ParseTimeList(const char* s, std::vector<uint32_t>* out) {
    std::string list(s);
    size_t pos = 0;
    while (true) {
        size_t comma = list.find(',', pos);
        std::string item = list.substr(pos, comma == std::string::npos ? comma : comma - pos);
        uint32_t t;
        if (!ParseTime(item.c_str(), &t)) return 0;
        out->push_back(t);
        if (comma == std::string::npos) return 1;
        pos = comma + 1;
    }
}

int ParseArgs(int argc, char** argv, Options* o) {
    int haveAt = 0, haveFrom = 0, haveTo = 0, haveStep = 0;
    uint32_t from = 0, to = 0, step = 1000;
    // Every option takes a value: the arguments go in pairs.
    for (int i = 0; i < argc; i += 2) {
        const char* a = argv[i];
        const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
        if (!strcmp(a, "--size") && v) {
            int w = 0, h = 0;
            char x = 0, tail = 0;
            if (sscanf(v, "%d%c%d%c", &w, &x, &h, &tail) != 3 || x != 'x' || w < 1 || h < 1 ||
                w > 8192 || h > 8192)
                return Usage("--size wants WxH, each 1 to 8192");
            o->width = w, o->height = h;
        } else if (!strcmp(a, "--at") && v) {
            if (!ParseTimeList(v, &o->times)) return Usage("--at wants times in ms, T[,T...]");
            haveAt = 1;
        } else if (!strcmp(a, "--from") && v) {
            if (!ParseTime(v, &from)) return Usage("--from wants a time in ms");
            haveFrom = 1;
        } else if (!strcmp(a, "--to") && v) {
            if (!ParseTime(v, &to)) return Usage("--to wants a time in ms");
            haveTo = 1;
        } else if (!strcmp(a, "--step") && v) {
            if (!ParseTime(v, &step) || step == 0) return Usage("--step wants a time > 0 in ms");
            haveStep = 1;
        } else if (!strcmp(a, "--dir") && v) {
            o->showDir = v;
        } else if (!strcmp(a, "-o") && v) {
            o->outDir = v;
        } else {
            return Usage(v || a[0] != '-' ? "unknown argument" : "option without its value");
        }
    }
    if (o->outDir.empty()) return Usage("no output folder (-o DIR)");
    if (haveAt == (haveFrom || haveTo || haveStep)) return Usage("give either --at or --from/--to");
    if (!haveAt) {
        if (!haveFrom || !haveTo || to < from)
            return Usage("--from T --to T with T(from) <= T(to)");
        for (uint64_t t = from; t <= to; t += step) o->times.push_back((uint32_t)t);
    }
    std::sort(o->times.begin(), o->times.end());
    o->times.erase(std::unique(o->times.begin(), o->times.end()), o->times.end());
    return 0;
}

// Our own frame buffer: colour and a 16-bit depth buffer like the window's,
// the size asked for whatever the screen, never shown and never swapped, so
// scenes that keep trails find the previous frame in it.
struct Offscreen {
    PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
    PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
    PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
    PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
    PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
    PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
    PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;

    int Create(int w, int h) {
        genFramebuffers = (PFNGLGENFRAMEBUFFERSPROC)SDL_GL_GetProcAddress("glGenFramebuffers");
        bindFramebuffer = (PFNGLBINDFRAMEBUFFERPROC)SDL_GL_GetProcAddress("glBindFramebuffer");
        genRenderbuffers = (PFNGLGENRENDERBUFFERSPROC)SDL_GL_GetProcAddress("glGenRenderbuffers");
        bindRenderbuffer = (PFNGLBINDRENDERBUFFERPROC)SDL_GL_GetProcAddress("glBindRenderbuffer");
        renderbufferStorage =
            (PFNGLRENDERBUFFERSTORAGEPROC)SDL_GL_GetProcAddress("glRenderbufferStorage");
        framebufferRenderbuffer =
            (PFNGLFRAMEBUFFERRENDERBUFFERPROC)SDL_GL_GetProcAddress("glFramebufferRenderbuffer");
        checkFramebufferStatus =
            (PFNGLCHECKFRAMEBUFFERSTATUSPROC)SDL_GL_GetProcAddress("glCheckFramebufferStatus");
        if (!genFramebuffers || !bindFramebuffer || !genRenderbuffers || !bindRenderbuffer ||
            !renderbufferStorage || !framebufferRenderbuffer || !checkFramebufferStatus)
            return 0;
        GLuint fbo = 0, rb[2] = {0, 0};
        genFramebuffers(1, &fbo);
        bindFramebuffer(GL_FRAMEBUFFER, fbo);
        genRenderbuffers(2, rb);
        bindRenderbuffer(GL_RENDERBUFFER, rb[0]);
        renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, w, h);
        framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, rb[0]);
        bindRenderbuffer(GL_RENDERBUFFER, rb[1]);
        renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, w, h);
        framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, rb[1]);
        if (checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) return 0;
        // Start as the window would: black, depth at the far plane.
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        return 1;
    }
};

int WritePng(const std::string& path, int w, int h, const std::vector<unsigned char>& rgb) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return 0;
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        fclose(f);
        return 0;
    }
    png_init_io(png, f);
    png_set_compression_level(png, 3);
    png_set_IHDR(png, info, (png_uint_32)w, (png_uint_32)h, 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(png, info);
    // GL's rows run bottom-up.
    for (int y = h - 1; y >= 0; y--) png_write_row(png, (png_bytep)&rgb[(size_t)y * w * 3]);
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return fclose(f) == 0;
}

std::string AbsolutePath(const std::string& p) {
    if (!p.empty() && p[0] == '/') return p;
    char cwd[4096];
    if (!getcwd(cwd, sizeof cwd)) return p;
    return std::string(cwd) + "/" + p;
}

int Capture(const Options& o) {
    std::string outDir = AbsolutePath(o.outDir);
    const char* show = o.showDir.empty() ? "." : o.showDir.c_str();
    if (chdir(show) != 0) {
        fprintf(stderr, "zelkor capture: %s: cannot enter show folder: %s\n", show,
                strerror(errno));
        return 1;
    }
    if (access("data.vkz", R_OK) != 0) {
        fprintf(stderr, "zelkor capture: %s/data.vkz: cannot read the archive: %s\n", show,
                strerror(errno));
        return 1;
    }
    if (mkdir(outDir.c_str(), 0777) != 0 && errno != EEXIST) {
        fprintf(stderr, "zelkor capture: %s: cannot create folder: %s\n", outDir.c_str(),
                strerror(errno));
        return 1;
    }

    // The show's start-up as it is, in a hidden window of the chosen size with
    // no sound device and on the virtual clock.
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    // Without a display SDL's offscreen driver still gives a GL context.
    if (!getenv("SDL_VIDEODRIVER") && !getenv("DISPLAY") && !getenv("WAYLAND_DISPLAY"))
        SDL_setenv("SDL_VIDEODRIVER", "offscreen", 1);
    g_settings.fullscreen = 0;
    g_settings.soundEnabled = 1;
    g_settings.modeIndex = 0;
    modeTable[0] = {32, (uint32_t)o.width, (uint32_t)o.height};
    StartupHooks hooks;
    hooks.configure = ConfigureOffscreen;
    hooks.quietErrors = 1;
    SetStartupHooks(&hooks);
    virtualClock = VirtualClock();
    if (Startup(nullptr) != 0) {
        fprintf(stderr, "zelkor capture: %s: the show failed to start (see %s/zelkor.log)\n", show,
                show);
        Shutdown();
        return 1;
    }
    virtualClock.startingUp = 0;

    Offscreen fb;
    if (!fb.Create(o.width, o.height)) {
        fprintf(stderr, "zelkor capture: no offscreen frame buffer of %dx%d\n", o.width, o.height);
        Shutdown();
        return 1;
    }

    // Frame n runs at music time m0 + n x 1000/60 (rounded down, no drift).
    uint32_t m0 = g_sound->GetTime();
    uint32_t base = virtualClock.now - m0;
    std::vector<unsigned char> rgb((size_t)o.width * o.height * 3);
    size_t next = 0;
    int result = 0;
    uint32_t music = m0;
    ZELKOR_Message msg;
    memset(&msg, 0, sizeof msg);
    for (uint64_t n = 0; next < o.times.size(); n++) {
        if (msg.message == ZELKOR_WM_QUIT) {
            fprintf(stderr, "zelkor capture: the show ended at music time %u ms, before %u\n",
                    music, o.times[next]);
            result = 1;
            break;
        }
        music = m0 + (uint32_t)(n * 1000 / 60);
        virtualClock.now = base + music;
        g_timer->BeginFrame();
        g_window->PumpMessage(&msg);
        if (!SceneDispatcher()) {
            fprintf(stderr,
                    "zelkor capture: %s/data.vkz: the timetable stopped the show at music time "
                    "%u ms\n",
                    show, music);
            result = 1;
            break;
        }
        if (music < o.times[next]) continue;
        glPixelStorei(GL_PACK_ALIGNMENT, 1);
        glReadPixels(0, 0, o.width, o.height, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
        while (next < o.times.size() && o.times[next] <= music) {
            char name[64];
            snprintf(name, sizeof name, "/frame_%06u.png", o.times[next]);
            std::string path = outDir + name;
            if (!WritePng(path, o.width, o.height, rgb)) {
                fprintf(stderr, "zelkor capture: %s: cannot write the image\n", path.c_str());
                result = 1;
                break;
            }
            printf("%s %u\n", path.c_str(), music);
            next++;
        }
        if (result) break;
    }
    fflush(stdout);
    Shutdown();
    SetStartupHooks(nullptr);
    return result;
}

} // namespace

int CmdCapture(int argc, char** argv) {
    Options o;
    int usage = ParseArgs(argc, argv, &o);
    if (usage) return usage;
    SDL_SetMainReady();
    int result = Capture(o);
    SDL_Quit();
    return result;
}
