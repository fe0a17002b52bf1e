// The shading language the modern backend's shaders (its own and the
// scenes') are written in, and what each context needs around it.
//
// The subset is GLSL ES 1.00, as WebGL 1 takes it, written without a version
// line (a leading "#version 100" is let through; any other is refused). The
// engine writes the version line for the context and defines that map the
// subset onto it:
//
//   GLES 2/3, WebGL 1/2  #version 100, and a default float precision in
//                        fragment shaders (highp where the GPU has it)
//   GL 3.3 core          #version 330 core; attribute/varying become in/out,
//                        texture2D texture, gl_FragColor an output of ours
//   GL 2.1               #version 120; lowp/mediump/highp defined away and
//                        precision statements blanked
//
// What runs everywhere, then: no extensions, no names that later GLSL
// reserves (in, out, texture, sample, layout, flat, smooth, ...), floats
// written as floats (1.0, not 1), loops with constant bounds, precision
// statements on lines of their own. Line numbers in complaints are the
// source's own: the prefix is counted off.
#pragma once
#include "modern_gl.h"

#include <string>

struct ModernGlslProblem {
    int line = 0;        // in the source given, from 1; 0 when the log names none
    std::string message; // the compiler's first complaint
};

// Compiles `source` as a shader of `kind` for the context's dialect, with
// `defines` ("" or lines of #define) after the version line. 0, with
// *problem filled, when it does not compile.
GLuint ModernGlsl_Compile(const ModernGL& gl, GLenum kind, const char* defines,
                          const std::string& source, ModernGlslProblem* problem);

// The first complaint of a compiler's or linker's log, and the line it names
// less `prefixLines` (Mesa's "0:12(5): error: ...", ANGLE's "ERROR: 0:12:
// ...", NVIDIA's "0(12) : error ...").
ModernGlslProblem ModernGlsl_ReadLog(const char* log, int prefixLines);
