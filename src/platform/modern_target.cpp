#include "modern_target.h"

#include "modern_state.h"
#include "platform/draw_targets.h"

#include <cstddef>
#include <new>

int ModernTarget_Size(const ModernGL& gl, ModernTarget* t, int width, int height, GLuint restore) {
    const int count = t->pingPong ? 2 : 1;
    // New storage holds what a run drawing every frame has at the start;
    // resized, what was drawn is gone.
    t->consistent = !t->framebuffer[0];
    if (!t->framebuffer[0]) {
        gl.GenFramebuffers(count, t->framebuffer);
        gl.GenTextures(count, t->texture);
        if (t->depth) gl.GenRenderbuffers(1, &t->depthBuffer);
    }
    t->width = width, t->height = height;
    if (t->depth) {
        gl.BindRenderbuffer(GL_RENDERBUFFER, t->depthBuffer);
        gl.RenderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, width, height);
        gl.BindRenderbuffer(GL_RENDERBUFFER, 0);
    }
    int complete = 1;
    for (int i = 0; i < count; i++) {
        gl.BindTexture(GL_TEXTURE_2D, t->texture[i]);
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
        gl.TexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
        gl.TexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, width, height, 0, GL_RGBA, GL_UNSIGNED_BYTE,
                      nullptr);
        gl.BindFramebuffer(GL_FRAMEBUFFER, t->framebuffer[i]);
        gl.FramebufferTexture2D(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, t->texture[i],
                                0);
        if (t->depth)
            gl.FramebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER,
                                       t->depthBuffer);
        if (gl.CheckFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
            complete = 0;
            continue;
        }
        // New storage holds anything: start from the clear colour, as a window does.
        gl.Clear(GL_COLOR_BUFFER_BIT | (t->depth ? GL_DEPTH_BUFFER_BIT : 0));
    }
    gl.BindTexture(GL_TEXTURE_2D, 0);
    gl.BindFramebuffer(GL_FRAMEBUFFER, restore);
    return complete;
}

GLuint ModernTarget_Front(const ModernTarget& t) {
    return t.texture[t.pingPong ? t.back ^ 1 : 0];
}

void ModernTarget_Free(const ModernGL& gl, ModernTarget* t) {
    const int count = t->pingPong ? 2 : 1;
    if (t->framebuffer[0]) {
        gl.DeleteFramebuffers(count, t->framebuffer);
        gl.DeleteTextures(count, t->texture);
        if (t->depthBuffer) gl.DeleteRenderbuffers(1, &t->depthBuffer);
    }
    *t = ModernTarget();
}

void ModernTarget_Read(const ModernGL& gl, const ModernTarget& t, int which,
                       std::vector<uint8_t>* pixels, GLuint restore) {
    GLint pack = 4;
    gl.GetIntegerv(GL_PACK_ALIGNMENT, &pack);
    gl.PixelStorei(GL_PACK_ALIGNMENT, 4);
    pixels->resize((size_t)t.width * (size_t)t.height * 4);
    gl.BindFramebuffer(GL_FRAMEBUFFER, t.framebuffer[which]);
    gl.ReadPixels(0, 0, t.width, t.height, GL_RGBA, GL_UNSIGNED_BYTE, pixels->data());
    gl.BindFramebuffer(GL_FRAMEBUFFER, restore);
    gl.PixelStorei(GL_PACK_ALIGNMENT, pack);
}

void ModernTarget_Write(const ModernGL& gl, const ModernTarget& t, int which,
                        const std::vector<uint8_t>& pixels) {
    GLint unpack = 4;
    gl.GetIntegerv(GL_UNPACK_ALIGNMENT, &unpack);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, 4);
    gl.BindTexture(GL_TEXTURE_2D, t.texture[which]);
    gl.TexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, t.width, t.height, GL_RGBA, GL_UNSIGNED_BYTE,
                     pixels.data());
    gl.BindTexture(GL_TEXTURE_2D, 0);
    gl.PixelStorei(GL_UNPACK_ALIGNMENT, unpack);
}

// The marks: each target's side, and its pixels while it is consistent and
// the budget allows. A mark every 5 s of music, two 800 x 600 textures a
// ping-pong target: 3.8 MB a mark; the budget holds some 65 of them.
struct DrawTargetsMark {
    struct Kept {
        uint32_t handle;
        int back, width, height, held;
        std::vector<uint8_t> pixels[2];
    };
    std::vector<Kept> targets;
    size_t bytes = 0;
};

namespace {

const size_t kMostHeld = (size_t)256 << 20;

ModernTarget* Target(uint32_t handle) {
    if (handle == 0 || handle > md.targets.size()) return nullptr;
    ModernTarget* t = &md.targets[handle - 1];
    return t->framebuffer[0] ? t : nullptr;
}

} // namespace

int DrawTargets_Mark(DrawTargetsMark** out, int* whole) {
    *out = nullptr;
    *whole = 1;
    if (!md.started) return 1;
    DrawTargetsMark* mark = nullptr;
    GLint bound = 0;
    for (uint32_t handle = 1; handle <= md.targets.size(); handle++) {
        const ModernTarget* t = Target(handle);
        if (!t) continue;
        if (!mark) {
            mark = new (std::nothrow) DrawTargetsMark;
            if (!mark) return 0;
            Modern_Submit();
            md.gl.GetIntegerv(GL_FRAMEBUFFER_BINDING, &bound);
        }
        DrawTargetsMark::Kept kept = {handle, t->back, t->width, t->height, 0, {}};
        const int count = t->pingPong ? 2 : 1;
        size_t bytes = (size_t)t->width * (size_t)t->height * 4 * (size_t)count;
        if (t->consistent && md.markBytes + bytes <= kMostHeld) {
            for (int i = 0; i < count; i++) ModernTarget_Read(md.gl, *t, i, &kept.pixels[i], bound);
            kept.held = 1;
            mark->bytes += bytes;
            md.markBytes += bytes;
        } else {
            *whole = 0;
        }
        mark->targets.push_back(std::move(kept));
    }
    *out = mark;
    return 1;
}

void DrawTargets_Rewind(const DrawTargetsMark* mark) {
    if (!mark || !md.started) return;
    Modern_Submit();
    for (const DrawTargetsMark::Kept& kept : mark->targets) {
        ModernTarget* t = Target(kept.handle);
        if (!t) continue;
        t->back = t->pingPong ? kept.back : 0;
        t->consistent = kept.held && kept.width == t->width && kept.height == t->height;
        if (!t->consistent) continue;
        for (int i = 0; i < (t->pingPong ? 2 : 1); i++)
            ModernTarget_Write(md.gl, *t, i, kept.pixels[i]);
    }
    md.appliedTexture = 0;
    // The target drawn into, should it be one, with its side as restored.
    if (const ModernTarget* t = Target(md.target))
        md.gl.BindFramebuffer(GL_FRAMEBUFFER, t->framebuffer[t->back]);
}

void DrawTargets_FreeMark(DrawTargetsMark* mark) {
    if (!mark) return;
    md.markBytes -= mark->bytes;
    delete mark;
}

int DrawTargets_Consistent() {
    for (const ModernTarget& t : md.targets)
        if (t.framebuffer[0] && !t.consistent) return 0;
    return 1;
}

void DrawTargets_Missed(uint32_t handle) {
    if (ModernTarget* t = Target(handle)) t->consistent = 0;
}
