#include "engine/offscreen.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>

#include <cstdlib>

void Offscreen_Prepare() {
    SDL_setenv("SDL_AUDIODRIVER", "dummy", 1);
    // Without a display SDL's offscreen driver still gives a GL context.
    if (!getenv("SDL_VIDEODRIVER") && !getenv("DISPLAY") && !getenv("WAYLAND_DISPLAY"))
        SDL_setenv("SDL_VIDEODRIVER", "offscreen", 1);
}

int Offscreen_Create(int w, int h) {
    auto genFramebuffers = (PFNGLGENFRAMEBUFFERSPROC)SDL_GL_GetProcAddress("glGenFramebuffers");
    auto bindFramebuffer = (PFNGLBINDFRAMEBUFFERPROC)SDL_GL_GetProcAddress("glBindFramebuffer");
    auto genRenderbuffers = (PFNGLGENRENDERBUFFERSPROC)SDL_GL_GetProcAddress("glGenRenderbuffers");
    auto bindRenderbuffer = (PFNGLBINDRENDERBUFFERPROC)SDL_GL_GetProcAddress("glBindRenderbuffer");
    auto renderbufferStorage =
        (PFNGLRENDERBUFFERSTORAGEPROC)SDL_GL_GetProcAddress("glRenderbufferStorage");
    auto framebufferRenderbuffer =
        (PFNGLFRAMEBUFFERRENDERBUFFERPROC)SDL_GL_GetProcAddress("glFramebufferRenderbuffer");
    auto checkFramebufferStatus =
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

static void Read(int width, int height, int rowPixels, GLenum format, uint8_t* out) {
    if (rowPixels != width) glPixelStorei(GL_PACK_ROW_LENGTH, rowPixels);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, width, height, format, GL_UNSIGNED_BYTE, out);
    if (rowPixels != width) glPixelStorei(GL_PACK_ROW_LENGTH, 0);
}

void Offscreen_ReadRgb(int width, int height, int rowPixels, uint8_t* out) {
    Read(width, height, rowPixels, GL_RGB, out);
}

void Offscreen_ReadBgra(int width, int height, int rowPixels, uint8_t* out) {
    Read(width, height, rowPixels, GL_BGRA, out);
}

void Offscreen_ReadRgba(int width, int height, int rowPixels, uint8_t* out) {
    Read(width, height, rowPixels, GL_RGBA, out);
}
