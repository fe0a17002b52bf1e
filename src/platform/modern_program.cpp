#include "modern_program.h"

// In the GLSL subset (modern_glsl.h), as the scenes' own shaders are.
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

static GLuint Link(const ModernGL& gl, GLuint vertex, GLuint fragment, ModernGlslProblem* problem) {
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
        char log[1024] = "";
        gl.GetProgramInfoLog(program, sizeof log, nullptr, log);
        *problem = ModernGlsl_ReadLog(log, 0);
        problem->line = 0; // a link names no line of either source
        gl.DeleteProgram(program);
        return 0;
    }
    GLint picture = gl.GetUniformLocation(program, "picture");
    if (picture >= 0) {
        gl.UseProgram(program);
        gl.Uniform1i(picture, 0);
    }
    return program;
}

static GLuint Make(const ModernGL& gl, const char* defines, const char* vertex,
                   const char* fragment, int* stage, ModernGlslProblem* problem) {
    *stage = MODERN_VERTEX;
    GLuint v = ModernGlsl_Compile(gl, GL_VERTEX_SHADER, "", vertex ? vertex : vertexBody, problem);
    if (!v) return 0;
    *stage = MODERN_FRAGMENT;
    GLuint f = ModernGlsl_Compile(gl, GL_FRAGMENT_SHADER, defines, fragment, problem);
    if (!f) {
        gl.DeleteShader(v);
        return 0;
    }
    *stage = MODERN_LINK;
    return Link(gl, v, f, problem);
}

GLuint ModernProgram_Make(const ModernGL& gl, const char* vertex, const char* fragment, int* stage,
                          ModernGlslProblem* problem) {
    return Make(gl, "", vertex, fragment, stage, problem);
}

GLuint ModernProgram_Build(const ModernGL& gl, int textured) {
    int stage = 0;
    ModernGlslProblem problem;
    GLuint program =
        Make(gl, textured ? "#define TEXTURED 1\n" : "", nullptr, fragmentBody, &stage, &problem);
    if (!program) {
        static const char* const what[3] = {"the vertex shader does not compile",
                                            "the fragment shader does not compile",
                                            "the shaders do not link"};
        ModernGL_SetError("%s: %s", what[stage], problem.message.c_str());
    }
    return program;
}
