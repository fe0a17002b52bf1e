// RGS: procedural textures. A script runs commands over five 256x256 RGB
// layers; layer 0 is the finished texture, layer 4 the scratch layer.
#pragma once
#include <cstdint>

enum { RGS_SIZE = 256, LAYER_SIZE = 256 * 256 * 3, RGS_LAYER_COUNT = 5, RGS_MAX_COMMANDS = 200 };
// The largest script file read, compiled or text: 255 commands take 8419
// bytes, or a few kilobytes of text with its comments.
enum { RGS_MAX_FILE_BYTES = 1 << 20 };

// Process-wide and never reset: each script starts from what the last one left.
extern uint8_t RGS_Layers[RGS_LAYER_COUNT][LAYER_SIZE];
extern uint32_t RGS_Random;

struct RGS_Pixel {
    uint8_t r, g, b;
};

// state <- state * 22695475 (mod 2^32); returns the new state.
uint32_t RGS_NextRandom();
// The value operations draw: the state as a signed 32-bit integer, shifted
// right arithmetically by 16.
int32_t RGS_RandomValue();

// The last script run, as read from its file: opcodes and parameters in two
// parallel arrays. Commands past the 200th or past the end of the file are
// not stored.
struct RGS_Program {
    uint8_t count;
    uint8_t opcodes[RGS_MAX_COMMANDS];
    float params[RGS_MAX_COMMANDS][8];
};
extern RGS_Program RGS_CurrentProgram;

// Runs a script; 1 when accepted, 0 for no data or a wrong magic (nothing
// changes then). Commands the file holds only in part are skipped.
int RunRGS(const uint8_t* bytes, uint32_t length);
// The same, asking `stop` before each command: once it answers non-zero the
// rest is left undone (a run whose result is no longer wanted).
int RunRGSUntil(const uint8_t* bytes, uint32_t length, int (*stop)(void* user), void* user);
// Converts the parameters as the opcode needs them and runs the operation.
// Unknown opcodes, layers above 4 and used parameters without a 32-bit
// integer value skip the command; returns 1 when the operation ran.
int RGS_Dispatch(uint8_t opcode, const float params[8]);

// Shared routines.
int RGS_RoundHalfUp(double v); // caller keeps v within the 32-bit range
int RGS_ClampByte(int v);
// Rounds toward zero into *out; 0 (and *out untouched) for NaN, infinities and
// values outside the signed 32-bit range.
int RGS_ToInt(double v, int32_t* out);
RGS_Pixel RGS_CosineInterpolate(RGS_Pixel p00, RGS_Pixel p10, RGS_Pixel p01, RGS_Pixel p11,
                                double fx, double fy);
// Its two halves, for callers that reuse weights: a = (1 - cos(pi f)) / 2, and
// the corners blended with weights a (columns) and b (rows).
double RGS_CosineWeight(double f);
RGS_Pixel RGS_CosineBlend(RGS_Pixel p00, RGS_Pixel p10, RGS_Pixel p01, RGS_Pixel p11, double a,
                          double b);
// The blend's corner weights: three are rounded to single precision, a*b is not.
struct RGS_Weights {
    double w00, w10, w01, w11;
};
inline RGS_Weights RGS_BlendWeights(double a, double b) {
    return RGS_Weights{(float)((1.0 - a) * (1.0 - b)), (float)(a * (1.0 - b)),
                       (float)((1.0 - a) * b), a * b};
}
inline int RGS_BlendChannel(double c00, double c10, double c01, double c11, const RGS_Weights& w) {
    return (int)(c00 * w.w00 + c10 * w.w10 + c01 * w.w01 + c11 * w.w11);
}
RGS_Pixel RGS_SampleLayer(int layer, double x, double y);
int RGS_Brightness(RGS_Pixel p);

inline RGS_Pixel RGS_GetPixel(int layer, int x, int y) {
    const uint8_t* p = &RGS_Layers[layer][3 * (256 * (y & 255) + (x & 255))];
    return RGS_Pixel{p[0], p[1], p[2]};
}
inline void RGS_PutPixel(int layer, int x, int y, RGS_Pixel v) {
    uint8_t* p = &RGS_Layers[layer][3 * (256 * (y & 255) + (x & 255))];
    p[0] = v.r;
    p[1] = v.g;
    p[2] = v.b;
}
