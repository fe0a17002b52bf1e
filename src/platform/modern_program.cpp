#include "modern_program.h"

// Written in GLSL ES 1.00 (GLES 2, WebGL 1); a core context gets a prefix
// that maps it to GLSL 3.30.
static const char* const vertexBody = R"(
attribute vec4 position;
attribute vec4 colour;
attribute vec2 texCoord;
varying vec4 vColour;
varying vec2 vTexCoord;
void main() {
    gl_Position = position;
    vColour = colour;
    vTexCoord = texCoord;
}
)";

static const char* const fragmentBody = R"(
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
varying vec4 vColour;
varying vec2 vTexCoord;
#ifdef TEXTURED
uniform sampler2D picture;
#endif
void main() {
#ifdef TEXTURED
    gl_FragColor = vColour * texture2D(picture, vTexCoord);
#else
    gl_FragColor = vColour;
#endif
}
)";

static const char* const esPrefix = "#version 100\n";
static const char* const coreVertexPrefix = "#version 330 core\n"
                                            "#define attribute in\n"
                                            "#define varying out\n";
static const char* const coreFragmentPrefix = "#version 330 core\n"
                                              "#define varying in\n"
                                              "#define texture2D texture\n"
                                              "out vec4 fragColour;\n"
                                              "#define gl_FragColor fragColour\n";

static GLuint Compile(const ModernGL& gl, GLenum kind, const char* prefix, const char* define,
                      const char* body) {
    GLuint shader = gl.CreateShader(kind);
    const char* parts[3] = {prefix, define, body};
    gl.ShaderSource(shader, 3, parts, nullptr);
    gl.CompileShader(shader);
    GLint ok = 0;
    gl.GetShaderiv(shader, GL_COMPILE_STATUS, &ok);
    if (!ok) {
        char log[256] = "";
        gl.GetShaderInfoLog(shader, sizeof log, nullptr, log);
        ModernGL_SetError("the %s shader does not compile: %s",
                          kind == GL_VERTEX_SHADER ? "vertex" : "fragment", log);
        gl.DeleteShader(shader);
        return 0;
    }
    return shader;
}

GLuint ModernProgram_Build(const ModernGL& gl, int textured) {
    const char* define = textured ? "#define TEXTURED 1\n" : "";
    GLuint vertex =
        Compile(gl, GL_VERTEX_SHADER, gl.es ? esPrefix : coreVertexPrefix, "", vertexBody);
    GLuint fragment = vertex ? Compile(gl, GL_FRAGMENT_SHADER,
                                       gl.es ? esPrefix : coreFragmentPrefix, define, fragmentBody)
                             : 0;
    if (!fragment) {
        if (vertex) gl.DeleteShader(vertex);
        return 0;
    }
    GLuint program = gl.CreateProgram();
    gl.AttachShader(program, vertex);
    gl.AttachShader(program, fragment);
    gl.BindAttribLocation(program, MODERN_POSITION, "position");
    gl.BindAttribLocation(program, MODERN_COLOUR, "colour");
    gl.BindAttribLocation(program, MODERN_TEXCOORD, "texCoord");
    gl.LinkProgram(program);
    gl.DeleteShader(vertex); // the program keeps them while it lives
    gl.DeleteShader(fragment);
    GLint ok = 0;
    gl.GetProgramiv(program, GL_LINK_STATUS, &ok);
    if (!ok) {
        char log[256] = "";
        gl.GetProgramInfoLog(program, sizeof log, nullptr, log);
        ModernGL_SetError("the shaders do not link: %s", log);
        gl.DeleteProgram(program);
        return 0;
    }
    if (textured) {
        gl.UseProgram(program);
        gl.Uniform1i(gl.GetUniformLocation(program, "picture"), 0);
    }
    return program;
}
