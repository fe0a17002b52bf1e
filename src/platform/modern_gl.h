// The OpenGL ES 2.0 entry points the modern draw backend calls, as one table.
// On the desktop they are looked up in the current context at start-up
// (SDL_GL_GetProcAddress), so one binary runs in a GL 3.3 core, a GL 2.1
// (with frame buffer objects), a GLES 2 or a GLES 3 context; under
// Emscripten they are WebGL's own functions.
#pragma once

#ifndef __EMSCRIPTEN__
#define GL_GLES_PROTOTYPES 0
#endif
#include <GLES3/gl3.h>

#define MODERN_GL_FUNCTIONS(X)                                                                     \
    X(PFNGLACTIVETEXTUREPROC, ActiveTexture)                                                       \
    X(PFNGLATTACHSHADERPROC, AttachShader)                                                         \
    X(PFNGLBINDATTRIBLOCATIONPROC, BindAttribLocation)                                             \
    X(PFNGLBINDBUFFERPROC, BindBuffer)                                                             \
    X(PFNGLBINDFRAMEBUFFERPROC, BindFramebuffer)                                                   \
    X(PFNGLBINDRENDERBUFFERPROC, BindRenderbuffer)                                                 \
    X(PFNGLBINDTEXTUREPROC, BindTexture)                                                           \
    X(PFNGLBLENDFUNCPROC, BlendFunc)                                                               \
    X(PFNGLBUFFERDATAPROC, BufferData)                                                             \
    X(PFNGLCHECKFRAMEBUFFERSTATUSPROC, CheckFramebufferStatus)                                     \
    X(PFNGLCLEARPROC, Clear)                                                                       \
    X(PFNGLCLEARCOLORPROC, ClearColor)                                                             \
    X(PFNGLCLEARDEPTHFPROC, ClearDepthf)                                                           \
    X(PFNGLCOMPILESHADERPROC, CompileShader)                                                       \
    X(PFNGLCREATEPROGRAMPROC, CreateProgram)                                                       \
    X(PFNGLCREATESHADERPROC, CreateShader)                                                         \
    X(PFNGLDELETEBUFFERSPROC, DeleteBuffers)                                                       \
    X(PFNGLDELETEFRAMEBUFFERSPROC, DeleteFramebuffers)                                             \
    X(PFNGLDELETEPROGRAMPROC, DeleteProgram)                                                       \
    X(PFNGLDELETERENDERBUFFERSPROC, DeleteRenderbuffers)                                           \
    X(PFNGLDELETESHADERPROC, DeleteShader)                                                         \
    X(PFNGLDELETETEXTURESPROC, DeleteTextures)                                                     \
    X(PFNGLDEPTHFUNCPROC, DepthFunc)                                                               \
    X(PFNGLDISABLEPROC, Disable)                                                                   \
    X(PFNGLDRAWARRAYSPROC, DrawArrays)                                                             \
    X(PFNGLENABLEPROC, Enable)                                                                     \
    X(PFNGLENABLEVERTEXATTRIBARRAYPROC, EnableVertexAttribArray)                                   \
    X(PFNGLFLUSHPROC, Flush)                                                                       \
    X(PFNGLFRAMEBUFFERRENDERBUFFERPROC, FramebufferRenderbuffer)                                   \
    X(PFNGLFRAMEBUFFERTEXTURE2DPROC, FramebufferTexture2D)                                         \
    X(PFNGLGENBUFFERSPROC, GenBuffers)                                                             \
    X(PFNGLGENFRAMEBUFFERSPROC, GenFramebuffers)                                                   \
    X(PFNGLGENRENDERBUFFERSPROC, GenRenderbuffers)                                                 \
    X(PFNGLGENTEXTURESPROC, GenTextures)                                                           \
    X(PFNGLGENERATEMIPMAPPROC, GenerateMipmap)                                                     \
    X(PFNGLGETACTIVEUNIFORMPROC, GetActiveUniform)                                                 \
    X(PFNGLGETERRORPROC, GetError)                                                                 \
    X(PFNGLGETINTEGERVPROC, GetIntegerv)                                                           \
    X(PFNGLGETPROGRAMINFOLOGPROC, GetProgramInfoLog)                                               \
    X(PFNGLGETPROGRAMIVPROC, GetProgramiv)                                                         \
    X(PFNGLGETSHADERINFOLOGPROC, GetShaderInfoLog)                                                 \
    X(PFNGLGETSHADERIVPROC, GetShaderiv)                                                           \
    X(PFNGLGETSTRINGPROC, GetString)                                                               \
    X(PFNGLGETUNIFORMLOCATIONPROC, GetUniformLocation)                                             \
    X(PFNGLLINKPROGRAMPROC, LinkProgram)                                                           \
    X(PFNGLPIXELSTOREIPROC, PixelStorei)                                                           \
    X(PFNGLREADPIXELSPROC, ReadPixels)                                                             \
    X(PFNGLRENDERBUFFERSTORAGEPROC, RenderbufferStorage)                                           \
    X(PFNGLSCISSORPROC, Scissor)                                                                   \
    X(PFNGLSHADERSOURCEPROC, ShaderSource)                                                         \
    X(PFNGLTEXIMAGE2DPROC, TexImage2D)                                                             \
    X(PFNGLTEXPARAMETERIPROC, TexParameteri)                                                       \
    X(PFNGLTEXSUBIMAGE2DPROC, TexSubImage2D)                                                       \
    X(PFNGLUNIFORM1FVPROC, Uniform1fv)                                                             \
    X(PFNGLUNIFORM1IPROC, Uniform1i)                                                               \
    X(PFNGLUNIFORM2FVPROC, Uniform2fv)                                                             \
    X(PFNGLUNIFORM3FVPROC, Uniform3fv)                                                             \
    X(PFNGLUNIFORM4FVPROC, Uniform4fv)                                                             \
    X(PFNGLUNIFORMMATRIX4FVPROC, UniformMatrix4fv)                                                 \
    X(PFNGLUSEPROGRAMPROC, UseProgram)                                                             \
    X(PFNGLVERTEXATTRIBPOINTERPROC, VertexAttribPointer)                                           \
    X(PFNGLVIEWPORTPROC, Viewport)

// Vertex arrays: needed in a core context, absent from GLES 2 and WebGL 1.
#define MODERN_GL_VAO_FUNCTIONS(X)                                                                 \
    X(PFNGLBINDVERTEXARRAYPROC, BindVertexArray)                                                   \
    X(PFNGLDELETEVERTEXARRAYSPROC, DeleteVertexArrays)                                             \
    X(PFNGLGENVERTEXARRAYSPROC, GenVertexArrays)

struct ModernGL {
#define MODERN_GL_MEMBER(type, name) type name;
    MODERN_GL_FUNCTIONS(MODERN_GL_MEMBER)
    MODERN_GL_VAO_FUNCTIONS(MODERN_GL_MEMBER)
#undef MODERN_GL_MEMBER

    // What the context is, from its version string.
    int es = 0; // OpenGL ES or WebGL
    int major = 0, minor = 0;
    int vertexArrays = 0; // a vertex array object must be bound (core), or may be (ES 3)
    int glsl = 100;       // the shading language's version line: 100 (ES), 120 or 330
    int fullNpot = 0;     // non-power-of-two textures may repeat and have mipmaps
    int maxTextureSize = 64;
};

// Fills `gl` from the current context. 0 (with the error set) when a function
// is missing or the context is older than GL 2.1 / GLES 2.0.
int ModernGL_Load(ModernGL* gl);

// Reports why the modern backend cannot start: SDL's error on the desktop,
// the console in a browser.
void ModernGL_SetError(const char* format, ...) __attribute__((format(printf, 1, 2)));
