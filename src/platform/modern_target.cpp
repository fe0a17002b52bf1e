#include "modern_target.h"

int ModernTarget_Size(const ModernGL& gl, ModernTarget* t, int width, int height, GLuint restore) {
    const int count = t->pingPong ? 2 : 1;
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
