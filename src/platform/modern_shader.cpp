#include "modern_shader.h"

#include "io/read_file.h"
#include "modern_program.h"
#include "platform/draw.h"

#include <cctype>
#include <cstring>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace {

struct Uniform {
    std::string name;
    GLint location = -1;
    int count = 0;                   // floats: 1 to 4, 16 for a mat4; 0 for a sampler
    int track[4] = {-1, -1, -1, -1}; // by component, from the uniform source
    int tracked = 0;                 // some component has a track
    float value[16] = {};            // the scene's own, under the tracks
};

struct Program {
    std::string name;
    int fromFiles = 0;
    GLuint program = 0; // the last that built
    std::string problem;
    std::vector<Uniform> uniforms;
    GLint time = -1, beat = -1, resolution = -1;
    uint64_t frameSet = 0; // the frame whose values are set
    int width = -1, height = -1;
};

struct Shaders {
    std::vector<Program> programs; // handle - 1
    uint64_t frame = 1;
    float seconds = 0, beat = 0;
    DrawUniformSource source = {};
};
Shaders shaders;

const size_t maxSource = 1 << 20;

Program* Find(uint32_t handle) {
    if (handle == 0 || handle > shaders.programs.size()) return nullptr;
    return &shaders.programs[handle - 1];
}

int FloatCount(GLenum type) {
    switch (type) {
    case GL_FLOAT:
        return 1;
    case GL_FLOAT_VEC2:
        return 2;
    case GL_FLOAT_VEC3:
        return 3;
    case GL_FLOAT_VEC4:
        return 4;
    case GL_FLOAT_MAT4:
        return 16;
    default:
        return 0;
    }
}

// The active uniforms, and the tracks that may drive the floats and vectors:
// "PROGRAM.UNIFORM", or "PROGRAM.UNIFORM.x" to ".w" for a vector's parts.
void ReadUniforms(const ModernGL& gl, Program* p) {
    p->uniforms.clear();
    p->time = gl.GetUniformLocation(p->program, "time");
    p->beat = gl.GetUniformLocation(p->program, "beat");
    p->resolution = gl.GetUniformLocation(p->program, "resolution");
    GLint count = 0;
    gl.GetProgramiv(p->program, GL_ACTIVE_UNIFORMS, &count);
    for (GLint i = 0; i < count; i++) {
        char name[128];
        GLsizei length = 0;
        GLint size = 0;
        GLenum type = 0;
        gl.GetActiveUniform(p->program, (GLuint)i, sizeof name, &length, &size, &type, name);
        if (size != 1 || strchr(name, '[')) continue; // arrays are set by no one
        Uniform u;
        u.name = name;
        u.location = gl.GetUniformLocation(p->program, name);
        u.count = FloatCount(type);
        int standard = u.name == "time" || u.name == "beat" || u.name == "resolution";
        if (shaders.source.find && !standard && u.count >= 1 && u.count <= 4) {
            std::string track = p->name + "." + u.name;
            if (u.count == 1) {
                u.track[0] = shaders.source.find(track.c_str());
            } else {
                for (int c = 0; c < u.count; c++) {
                    char part[3] = {'.', "xyzw"[c], 0};
                    u.track[c] = shaders.source.find((track + part).c_str());
                }
            }
            u.tracked = 1;
        }
        p->uniforms.push_back(u);
    }
}

// The uniform's value: the scene's, with the parts a track gives over it.
// 1 when some track gave a part.
int Tracked(const Uniform& u, float* out) {
    memcpy(out, u.value, sizeof u.value);
    int any = 0;
    for (int c = 0; c < 4 && shaders.source.value; c++)
        if (u.track[c] >= 0 && shaders.source.value(u.track[c], &out[c])) any = 1;
    return any;
}

void Send(const ModernGL& gl, const Uniform& u, const float* v) {
    switch (u.count) {
    case 1:
        gl.Uniform1fv(u.location, 1, v);
        break;
    case 2:
        gl.Uniform2fv(u.location, 1, v);
        break;
    case 3:
        gl.Uniform3fv(u.location, 1, v);
        break;
    case 4:
        gl.Uniform4fv(u.location, 1, v);
        break;
    case 16:
        gl.UniformMatrix4fv(u.location, 1, GL_FALSE, v);
        break;
    }
}

std::string Problem(const std::string& where, const ModernGlslProblem& problem) {
    std::string text = where;
    if (problem.line > 0) text.append(":").append(std::to_string(problem.line));
    return text.append(": ").append(problem.message);
}

// Compiles and links; on success the new program replaces the old one.
// `where` names the vertex source, the fragment source and the two linked
// in problems.
int Build(const ModernGL& gl, Program* p, const char* vertex, const char* fragment,
          const std::string (&where)[3]) {
    int stage = 0;
    ModernGlslProblem problem;
    GLuint program = ModernProgram_Make(gl, vertex, fragment, &stage, &problem);
    if (!program) {
        p->problem = Problem(where[stage], problem);
        return 0;
    }
    if (p->program) gl.DeleteProgram(p->program);
    p->program = program;
    p->problem.clear();
    p->frameSet = 0;
    p->width = p->height = -1;
    ReadUniforms(gl, p);
    return 1;
}

int BuildFromFiles(const ModernGL& gl, Program* p) {
    std::string base = "shaders/" + p->name, vertex, fragment;
    const char* why = nullptr;
    if (!IO_ReadText((base + ".frag").c_str(), maxSource, IO_REGULAR_ONLY, &fragment, &why)) {
        p->problem = base + ".frag: cannot read: " + why;
        return 0;
    }
    struct stat info;
    int hasVertex = stat((base + ".vert").c_str(), &info) == 0;
    if (hasVertex &&
        !IO_ReadText((base + ".vert").c_str(), maxSource, IO_REGULAR_ONLY, &vertex, &why)) {
        p->problem = base + ".vert: cannot read: " + why;
        return 0;
    }
    const std::string where[3] = {base + ".vert", base + ".frag", base + ".vert/.frag (link)"};
    return Build(gl, p, hasVertex ? vertex.c_str() : nullptr, fragment.c_str(), where);
}

// A name that makes a file name in shaders/ and nothing else.
int FileName(const char* name) {
    size_t n = strlen(name);
    if (n == 0 || n > 64 || name[0] == '.') return 0;
    for (size_t i = 0; i < n; i++) {
        char c = name[i];
        if (!(isalnum((unsigned char)c) || c == '_' || c == '-' || c == '.')) return 0;
    }
    return 1;
}

uint32_t Slot(const char* name, int fromFiles) {
    for (size_t i = 0; i < shaders.programs.size(); i++)
        if (shaders.programs[i].name == name && shaders.programs[i].fromFiles == fromFiles)
            return (uint32_t)i + 1;
    Program p;
    p.name = name;
    p.fromFiles = fromFiles;
    shaders.programs.push_back(p);
    return (uint32_t)shaders.programs.size();
}

} // namespace

void Draw_SetUniformSource(const DrawUniformSource* source) {
    shaders.source = source ? *source : DrawUniformSource{};
}

uint32_t ModernShaders_Load(const ModernGL& gl, const char* name) {
    if (!name || !FileName(name)) return 0;
    uint32_t handle = Slot(name, 1);
    BuildFromFiles(gl, Find(handle));
    return handle;
}

uint32_t ModernShaders_Make(const ModernGL& gl, const char* name, const char* vertex,
                            const char* fragment) {
    if (!name || !fragment) return 0;
    uint32_t handle = Slot(name, 0);
    Program* p = Find(handle);
    const std::string where[3] = {p->name + " (vertex)", p->name + " (fragment)",
                                  p->name + " (link)"};
    Build(gl, p, vertex, fragment, where);
    return handle;
}

GLuint ModernShaders_Program(uint32_t handle) {
    Program* p = Find(handle);
    return p ? p->program : 0;
}

void ModernShaders_SetFrame(float seconds, float beat) {
    shaders.frame++;
    shaders.seconds = seconds, shaders.beat = beat;
}

void ModernShaders_Apply(const ModernGL& gl, uint32_t handle, int width, int height) {
    Program* p = Find(handle);
    if (!p || !p->program) return;
    if (p->frameSet != shaders.frame) {
        p->frameSet = shaders.frame;
        if (p->time >= 0) gl.Uniform1fv(p->time, 1, &shaders.seconds);
        if (p->beat >= 0) gl.Uniform1fv(p->beat, 1, &shaders.beat);
        float v[16];
        for (const Uniform& u : p->uniforms)
            if (u.tracked && Tracked(u, v)) Send(gl, u, v);
    }
    if (p->resolution >= 0 && (width != p->width || height != p->height)) {
        p->width = width, p->height = height;
        const float size[2] = {(float)width, (float)height};
        gl.Uniform2fv(p->resolution, 1, size);
    }
}

int ModernShaders_Set(const ModernGL& gl, uint32_t handle, const char* name, int count,
                      const float* values) {
    Program* p = Find(handle);
    if (!p || !p->program) return 0;
    for (Uniform& u : p->uniforms) {
        if (u.name != name) continue;
        if (u.count != count) return 0;
        memcpy(u.value, values, sizeof(float) * (size_t)count);
        float v[16];
        Tracked(u, v);
        Send(gl, u, v);
        return 1;
    }
    return 0;
}

int ModernShaders_SetSampler(const ModernGL& gl, uint32_t handle, const char* name, int unit) {
    Program* p = Find(handle);
    if (!p || !p->program) return 0;
    for (const Uniform& u : p->uniforms)
        if (u.name == name && u.count == 0) {
            gl.Uniform1i(u.location, unit);
            return 1;
        }
    return 0;
}

int ModernShaders_Reload(const ModernGL& gl, const char* file) {
    std::string name = file;
    size_t dot = name.rfind('.');
    if (dot == std::string::npos) return 0;
    std::string kind = name.substr(dot + 1);
    if (kind != "vert" && kind != "frag") return 0;
    name.resize(dot);
    int built = 0;
    for (Program& p : shaders.programs) {
        if (!p.fromFiles || p.name != name) continue;
        if (!BuildFromFiles(gl, &p)) return -1;
        built++;
    }
    return built;
}

const char* ModernShaders_Problem(int index) {
    for (const Program& p : shaders.programs)
        if (!p.problem.empty() && index-- == 0) return p.problem.c_str();
    return nullptr;
}

void ModernShaders_Release(const ModernGL& gl, int contextLive) {
    if (contextLive)
        for (const Program& p : shaders.programs)
            if (p.program) gl.DeleteProgram(p.program);
    shaders.programs.clear();
}
