// The modern backend's one state record, shared by its two halves: the
// immediate mode (draw_modern.cpp) and the scenes' programs, render targets
// and passes (modern_passes.cpp).
#pragma once
#include "modern_gl.h"
#include "modern_target.h"
#include "platform/draw_matrix.h"

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

struct ModernVertex {
    float position[4]; // clip space
    float colour[4];
    float texCoord[2];
};

// Everything a batch's vertices are drawn with.
struct ModernBatchKey {
    GLenum primitive = GL_TRIANGLES; // GL_TRIANGLES or GL_LINES
    GLuint texture = 0;              // 0: untextured
    int blend = 0;
    GLenum source = GL_ONE, destination = GL_ZERO; // only when blending
    int depthTest = 0;
    uint32_t program = 0; // a scene's program (a handle), 0: the backend's own
    int magnified = 0;    // a mipmapped texture magnified all over: drawn without its mip levels
    bool operator==(const ModernBatchKey& o) const {
        return primitive == o.primitive && texture == o.texture && blend == o.blend &&
               source == o.source && destination == o.destination && depthTest == o.depthTest &&
               program == o.program && magnified == o.magnified;
    }
};

enum { MODERN_STACK_DEPTH = 32 }; // Mesa's modelview stack

// What BeginOverlay keeps for EndOverlay.
struct ModernSaved {
    int textureEnabled, blendEnabled, depthEnabled, polygonLines, sprites;
    GLenum blendSource, blendDestination;
    GLuint boundTexture;
    uint32_t program;
    float lineWidth, colour[4], texCoord[2];
    DrawMatrix projection, modelview;
};

struct ModernState {
    ModernGL gl;
    int started = 0;
    int limit = 0;       // DrawModernLimit, for the next Start
    int checkErrors = 0; // glGetError after each pass
    long drawCalls = 0, glErrors = 0;
    GLuint programs[2] = {0, 0}; // untextured, textured
    GLuint vertexBuffer = 0, vertexArray = 0;

    // The state as the scenes set it.
    int textureEnabled = 0, blendEnabled = 0, depthEnabled = 0, polygonLines = 0, sprites = 0;
    GLenum blendSource = GL_ONE, blendDestination = GL_ZERO;
    GLuint boundTexture = 0;
    uint32_t program = 0; // the scenes' program in use, 0: ours
    float lineWidth = 1, pointSize = 1;
    float colour[4] = {1, 1, 1, 1}, texCoord[2] = {0, 0}, normal[3] = {0, 0, 1};
    int viewport[4] = {0, 0, 0, 0};
    DrawMatrix modelview[MODERN_STACK_DEPTH], projection, clipMatrix;
    int depth = 1, clipMatrixStale = 1;
    std::vector<uint8_t> textureReady; // by name: uploaded with an image, or a target's
    // By name: a mipmapped texture's size in texels, {0, 0} for the others.
    std::vector<std::pair<int, int>> mipmapped;

    // Render targets by handle - 1 (a freed one has no frame buffer), the one
    // drawn into (0: the picture), and while it is, the picture's frame
    // buffer and viewport.
    std::vector<ModernTarget> targets;
    int targetCount = 0;  // live ones, read by the null backend without a call
    size_t markBytes = 0; // what all marks keep of the targets' pixels
    uint32_t target = 0;
    GLint pictureFramebuffer = 0;
    int pictureViewport[4] = {0, 0, 0, 0};

    // Begin/End.
    int primitive = -1; // outside
    std::vector<ModernVertex> primitiveVertices;

    // The batch, and what the context holds.
    ModernBatchKey batchKey;
    std::vector<ModernVertex> batch;
    GLuint appliedProgram = 0, appliedTexture = 0;
    int appliedBlend = 0, appliedDepth = 0;
    GLenum appliedSource = GL_ONE, appliedDestination = GL_ZERO;

    ModernSaved saved;
};

extern ModernState md;

// Draws the batch, if any (draw_modern.cpp).
void Modern_Submit();
// The draw state of the moment for a primitive of that GL kind.
ModernBatchKey Modern_CurrentKey(GLenum gpuPrimitive);
// Adds vertices drawn with `key`, drawing the batch first when its key differs.
void Modern_Emit(const ModernBatchKey& key, const ModernVertex* vertices, int count);

// The other half's (modern_passes.cpp).
// Puts the program to draw a key with in use, with the frame's values set.
void ModernPasses_ApplyProgram(const ModernBatchKey& key);
// The picture's size in pixels, also while a target is drawn into.
void ModernPasses_PictureSize(int* width, int* height);
// Deletes the scenes' programs and targets, drawing into the picture again.
void ModernPasses_Release();

// Its table entries (draw.h).
uint32_t ModernPasses_ProgramFromFiles(const char* name);
uint32_t ModernPasses_ProgramFromSource(const char* name, const char* vertex, const char* fragment);
void ModernPasses_UseProgram(uint32_t program);
void ModernPasses_Uniform(const char* name, int count, const float* values);
void ModernPasses_UniformTexture(const char* name, int unit, uint32_t texture);
void ModernPasses_FrameValues(float seconds, float beat);
uint32_t ModernPasses_MakeTarget(int width, int height, int flags);
void ModernPasses_DeleteTarget(uint32_t target);
void ModernPasses_DrawInto(uint32_t target);
uint32_t ModernPasses_TargetTexture(uint32_t target);
void ModernPasses_SwapTarget(uint32_t target);
void ModernPasses_Pass(uint32_t program, uint32_t source);
