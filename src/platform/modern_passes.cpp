// The modern backend's half for the scenes' own GPU work: their programs
// (modern_shader.cpp keeps them), render targets and full-picture passes,
// on the state record the immediate mode shares (modern_state.h). Whatever
// the scenes batched is drawn before anything here changes what it would be
// drawn with.
#include "modern_shader.h"
#include "modern_state.h"
#include "platform/draw.h"
#include "platform/draw_modern.h"

#include <cstdio>

namespace {

// No GL program is this: the next draw puts its own in use.
const GLuint unknownProgram = ~0u;

ModernTarget* FindTarget(uint32_t handle) {
    if (handle == 0 || handle > md.targets.size()) return nullptr;
    ModernTarget* t = &md.targets[handle - 1];
    return t->framebuffer[0] ? t : nullptr;
}

void MarkTextures(const ModernTarget& t, uint8_t ready) {
    for (GLuint name : t.texture) {
        if (!name) continue;
        if (name >= md.textureReady.size()) md.textureReady.resize(name + 1, 0);
        md.textureReady[name] = ready;
        if (name < md.mipmapped.size()) md.mipmapped[name] = {0, 0}; // a name used again
    }
}

void SetViewport(const int* v) {
    for (int i = 0; i < 4; i++) md.viewport[i] = v[i];
    md.gl.Viewport(v[0], v[1], v[2], v[3]);
}

// The scenes' program in use in GL, for setting its uniforms; 0 when none
// is (or it never compiled).
GLuint ProgramInUse() {
    GLuint program = md.started && md.program ? ModernShaders_Program(md.program) : 0;
    if (!program) return 0;
    Modern_Submit(); // what is batched is drawn with the values before
    if (md.appliedProgram != program) md.gl.UseProgram(md.appliedProgram = program);
    return program;
}

void CheckErrors(const char* after) {
    if (!md.checkErrors) return;
    Modern_Submit();
    for (int i = 0; i < 8; i++) {
        GLenum error = md.gl.GetError();
        if (error == GL_NO_ERROR) break;
        if (md.glErrors++ < 8) fprintf(stderr, "draw: GL error 0x%04x after %s\n", error, after);
    }
}

// The size a target is drawn at: its own, or the picture's (divided each way
// for a half- or quarter-size one, at least a pixel).
void TargetSize(const ModernTarget& t, int* width, int* height) {
    *width = t.askedWidth, *height = t.askedHeight;
    if (*width) return;
    ModernPasses_PictureSize(width, height);
    const int s = t.shrink;
    *width = (*width + s - 1) / s, *height = (*height + s - 1) / s;
}

} // namespace

void ModernPasses_ApplyProgram(const ModernBatchKey& key) {
    GLuint program = key.program ? ModernShaders_Program(key.program) : 0;
    if (!program) program = md.programs[key.texture ? 1 : 0];
    if (program != md.appliedProgram) md.gl.UseProgram(md.appliedProgram = program);
    if (key.program) ModernShaders_Apply(md.gl, key.program, md.viewport[2], md.viewport[3]);
}

void ModernPasses_PictureSize(int* width, int* height) {
    const int* v = md.target ? md.pictureViewport : md.viewport;
    *width = v[2] > 0 ? v[2] : 1, *height = v[3] > 0 ? v[3] : 1;
}

uint32_t ModernPasses_ProgramFromFiles(const char* name) {
    if (!md.started) return 0;
    Modern_Submit();
    uint32_t program = ModernShaders_Load(md.gl, name);
    md.appliedProgram = unknownProgram; // linking may have put one in use
    return program;
}

uint32_t ModernPasses_ProgramFromSource(const char* name, const char* vertex,
                                        const char* fragment) {
    if (!md.started) return 0;
    Modern_Submit();
    uint32_t program = ModernShaders_Make(md.gl, name, vertex, fragment);
    md.appliedProgram = unknownProgram;
    return program;
}

void ModernPasses_UseProgram(uint32_t program) {
    md.program = program;
}

void ModernPasses_Uniform(const char* name, int count, const float* values) {
    if (ProgramInUse()) ModernShaders_Set(md.gl, md.program, name, count, values);
}

void ModernPasses_UniformTexture(const char* name, int unit, uint32_t texture) {
    if (unit < 1 || unit > 7 || !ProgramInUse()) return;
    ModernShaders_SetSampler(md.gl, md.program, name, unit);
    md.gl.ActiveTexture(GL_TEXTURE0 + unit);
    md.gl.BindTexture(GL_TEXTURE_2D, texture);
    md.gl.ActiveTexture(GL_TEXTURE0);
}

void ModernPasses_FrameValues(float seconds, float beat) {
    ModernShaders_SetFrame(seconds, beat);
}

uint32_t ModernPasses_MakeTarget(int width, int height, int flags) {
    if (!md.started || width < 0 || height < 0 || (width == 0) != (height == 0) ||
        width > md.gl.maxTextureSize || height > md.gl.maxTextureSize)
        return 0;
    Modern_Submit();
    ModernTarget t;
    t.askedWidth = width, t.askedHeight = height;
    t.depth = (flags & DRAW_TARGET_DEPTH) != 0;
    t.pingPong = (flags & DRAW_TARGET_PING_PONG) != 0;
    t.shrink = flags & DRAW_TARGET_QUARTER ? 4 : flags & DRAW_TARGET_HALF ? 2 : 1;
    int w, h;
    TargetSize(t, &w, &h);
    GLint bound = 0;
    md.gl.GetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
    int made = ModernTarget_Size(md.gl, &t, w, h, (GLuint)bound);
    md.appliedTexture = 0;
    if (!made) {
        ModernTarget_Free(md.gl, &t);
        return 0;
    }
    MarkTextures(t, 1);
    size_t slot = 0;
    while (slot < md.targets.size() && md.targets[slot].framebuffer[0]) slot++;
    if (slot == md.targets.size()) md.targets.push_back(t);
    md.targets[slot] = t;
    md.targetCount++;
    return (uint32_t)slot + 1;
}

void ModernPasses_DeleteTarget(uint32_t handle) {
    ModernTarget* t = FindTarget(handle);
    if (!t) return;
    if (md.target == handle) ModernPasses_DrawInto(0);
    Modern_Submit();
    MarkTextures(*t, 0);
    ModernTarget_Free(md.gl, t);
    md.targetCount--;
}

void ModernPasses_DrawInto(uint32_t handle) {
    ModernTarget* t = FindTarget(handle);
    if (!md.started || (handle && !t)) return;
    Modern_Submit();
    if (!md.target && t) {
        // Where the picture is drawn: the window, or a capture's frame buffer.
        md.gl.GetIntegerv(GL_FRAMEBUFFER_BINDING, &md.pictureFramebuffer);
        for (int i = 0; i < 4; i++) md.pictureViewport[i] = md.viewport[i];
    }
    if (t) {
        int w, h;
        TargetSize(*t, &w, &h); // one of the picture's size follows the window
        if ((w != t->width || h != t->height) &&
            ModernTarget_Size(md.gl, t, w, h, (GLuint)md.pictureFramebuffer))
            md.appliedTexture = 0;
        md.gl.BindFramebuffer(GL_FRAMEBUFFER, t->framebuffer[t->back]);
        const int whole[4] = {0, 0, t->width, t->height};
        SetViewport(whole);
    } else if (md.target) {
        md.gl.BindFramebuffer(GL_FRAMEBUFFER, (GLuint)md.pictureFramebuffer);
        SetViewport(md.pictureViewport);
    }
    md.target = handle;
}

uint32_t ModernPasses_TargetTexture(uint32_t handle) {
    const ModernTarget* t = FindTarget(handle);
    return t ? ModernTarget_Front(*t) : 0;
}

void ModernPasses_SwapTarget(uint32_t handle) {
    ModernTarget* t = FindTarget(handle);
    if (!t || !t->pingPong) return;
    if (md.target == handle) Modern_Submit();
    t->back ^= 1;
    if (md.target == handle) md.gl.BindFramebuffer(GL_FRAMEBUFFER, t->framebuffer[t->back]);
}

void ModernPasses_Pass(uint32_t program, uint32_t source) {
    if (!md.started) return;
    ModernBatchKey key = Modern_CurrentKey(GL_TRIANGLES);
    key.depthTest = 0;
    key.program = program;
    const ModernTarget* t = FindTarget(source);
    key.texture = t ? ModernTarget_Front(*t) : 0;
    static const float corners[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
    ModernVertex quad[4];
    for (int i = 0; i < 4; i++) {
        ModernVertex& v = quad[i];
        v.position[0] = corners[i][0] * 2 - 1, v.position[1] = corners[i][1] * 2 - 1;
        v.position[2] = 0, v.position[3] = 1;
        for (int c = 0; c < 4; c++) v.colour[c] = md.colour[c];
        v.texCoord[0] = corners[i][0], v.texCoord[1] = corners[i][1];
    }
    const ModernVertex triangles[6] = {quad[0], quad[1], quad[2], quad[0], quad[2], quad[3]};
    Modern_Emit(key, triangles, 6);
    CheckErrors("a pass");
}

void ModernPasses_Release() {
    Modern_Submit();
    if (md.started) ModernPasses_DrawInto(0);
    for (ModernTarget& t : md.targets) {
        MarkTextures(t, 0);
        if (md.started) ModernTarget_Free(md.gl, &t);
    }
    md.targets.clear();
    md.targetCount = 0;
    md.target = 0;
    ModernShaders_Release(md.gl, md.started);
    md.program = 0;
    md.appliedProgram = unknownProgram;
}

long DrawModern_GLErrors() {
    return md.glErrors;
}

int DrawModern_ReloadShaders(const char* file) {
    if (!md.started) return 0;
    Modern_Submit();
    int built = ModernShaders_Reload(md.gl, file);
    md.appliedProgram = unknownProgram;
    return built;
}

const char* DrawModern_ShaderProblem(int index) {
    return ModernShaders_Problem(index);
}

void DrawModern_Release() {
    ModernPasses_Release();
}

uint32_t DrawModern_TargetBack(uint32_t handle) {
    const ModernTarget* t = FindTarget(handle);
    return t ? t->texture[t->back] : 0;
}

int DrawModern_IsTargetTexture(uint32_t name) {
    for (const ModernTarget& t : md.targets)
        if (name && (t.texture[0] == name || t.texture[1] == name)) return 1;
    return 0;
}
