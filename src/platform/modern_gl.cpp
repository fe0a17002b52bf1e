#include "modern_gl.h"

#include <cstdarg>
#include <cstdio>
#include <cstring>

#ifndef __EMSCRIPTEN__
#include <SDL.h>
#endif

void ModernGL_SetError(const char* format, ...) {
    char text[512];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
#ifdef __EMSCRIPTEN__
    fprintf(stderr, "%s\n", text);
#else
    SDL_SetError("%s", text);
#endif
}

#ifdef __EMSCRIPTEN__
#define MODERN_GL_LOAD(type, name) gl->name = gl##name;
#else
#define MODERN_GL_LOAD(type, name)                                                                 \
    if (!(gl->name = (type)SDL_GL_GetProcAddress("gl" #name))) missing = "gl" #name;
#endif

// "OpenGL ES 3.2 Mesa ...", "OpenGL ES 2.0 (WebGL 1.0)", "4.5 (Core Profile) Mesa ...".
static void ReadVersion(ModernGL* gl, const char* version) {
    const char* es = "OpenGL ES ";
    gl->es = strncmp(version, es, strlen(es)) == 0;
    if (gl->es) version += strlen(es);
    if (sscanf(version, "%d.%d", &gl->major, &gl->minor) != 2) gl->major = gl->minor = 0;
}

int ModernGL_Load(ModernGL* gl) {
    const char* missing = nullptr;
    MODERN_GL_FUNCTIONS(MODERN_GL_LOAD)
    if (missing) {
        ModernGL_SetError("the OpenGL context lacks %s", missing);
        return 0;
    }
    const char* version = (const char*)gl->GetString(GL_VERSION);
    ReadVersion(gl, version ? version : "");
    int desktop33 = !gl->es && (gl->major > 3 || (gl->major == 3 && gl->minor >= 3));
    int desktop21 = !gl->es && (gl->major > 2 || (gl->major == 2 && gl->minor >= 1));
    if (!desktop21 && !(gl->es && gl->major >= 2)) {
        ModernGL_SetError("OpenGL %s is older than 2.1 (or ES 2.0)", version ? version : "?");
        return 0;
    }
    // A core context needs a vertex array object bound; GL 2.1 has none.
    gl->vertexArrays = desktop33 || (gl->es && gl->major >= 3);
    gl->fullNpot = !gl->es || gl->major >= 3;
    gl->glsl = gl->es ? 100 : desktop33 ? 330 : 120;
    if (gl->vertexArrays) {
        MODERN_GL_VAO_FUNCTIONS(MODERN_GL_LOAD)
        if (missing) {
            ModernGL_SetError("the OpenGL context lacks %s", missing);
            return 0;
        }
    }
    gl->maxTextureSize = 64;
    gl->GetIntegerv(GL_MAX_TEXTURE_SIZE, &gl->maxTextureSize);
    return 1;
}
