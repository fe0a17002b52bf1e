// The interpreter: reads a script into the program store and dispatches each
// command with its parameters converted as the opcode table says.
#include "rgs/rgs.h"
#include "rgs/rgs_opcodes.h"
#include "rgs/rgs_ops.h"

#include <cstring>

RGS_Program RGS_CurrentProgram;

int RGS_Dispatch(uint8_t opcode, const float params[8]) {
    if (opcode == 0 || opcode >= RGS_OPCODE_COUNT) return 0;
    int32_t v[8] = {0, 0, 0, 0, 0, 0, 0, 0};
    const float* f = params;
    for (int k = 0; k < 8; k++) {
        char kind = RGS_ParamKind(opcode, k);
        if (kind == '-' || kind == 'R') continue;
        if (kind == 'F') {
            v[k] = f[k] != 0.0f; // -0.0 is zero, NaN is not
            continue;
        }
        int32_t n;
        if (!RGS_ToInt(f[k], &n)) return 0; // NaN, infinite or beyond 32 bits
        switch (kind) {
        case 'L':
            v[k] = n & 255;
            if (v[k] > 4) return 0;
            break;
        case 'B':
            v[k] = n & 255;
            break;
        case 'W':
            v[k] = n & 0xFFFF;
            break;
        case 'C':
            v[k] = n & 0xFFFFFF;
            break;
        default:
            v[k] = n;
            break;
        }
    }
    switch (opcode) {
    case 1:
        RGS_Cells(v[0], v[1], v[2], v[3], v[4], v[5]);
        break;
    case 2:
        RGS_Plasma(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
        break;
    case 3:
        RGS_Noise(v[0], v[1], v[2], v[3], v[4], v[5], v[6]);
        break;
    case 4:
        RGS_FractalNoise(v[0], v[1], v[2], v[3], v[4], v[5], v[6], v[7]);
        break;
    case 5:
        RGS_RadialGlow(v[0], f[1], v[2], v[3], v[4]);
        break;
    case 6:
        RGS_Checker(v[0], v[1], v[2], (uint32_t)v[3], (uint32_t)v[4]);
        break;
    case 7:
        RGS_Fill(v[0], (uint32_t)v[1]);
        break;
    case 8:
        RGS_AddColor(v[0], f[1], f[2], f[3]);
        break;
    case 9:
        RGS_ScaleColor(v[0], f[1], f[2], f[3]);
        break;
    case 10:
        RGS_SineColor(v[0], f[1], f[2], f[3]);
        break;
    case 11:
        RGS_Colorize(v[0], f[1], f[2]);
        break;
    case 12:
        RGS_ShuffleChannels(v[0]);
        break;
    case 13:
        RGS_HalfTile(v[0]);
        break;
    case 14:
        RGS_TransposeShift(v[0], v[1], v[2]);
        break;
    case 15:
        RGS_DisplaceByBrightness(v[0], v[1], v[2], f[3], f[4]);
        break;
    case 16:
        RGS_Swirl(v[0], v[1], v[2], f[3], f[4]);
        break;
    case 17:
        RGS_SineWarp(v[0], f[1], f[2], f[3], f[4]);
        break;
    case 18:
        RGS_Invert(v[0]);
        break;
    case 19:
        RGS_BitRotate(v[0], v[1], v[2]);
        break;
    case 20:
        RGS_GradientDisplace(v[0]);
        break;
    case 21:
        RGS_Equalize(v[0]);
        break;
    case 22:
        RGS_Stretch(v[0]);
        break;
    case 23:
        RGS_EdgeBoost(v[0], v[1], v[2], v[3]);
        break;
    case 24:
        RGS_EdgeDetect(v[0]);
        break;
    case 25:
        RGS_Sharpen(v[0]);
        break;
    case 26:
        RGS_Scatter(v[0], v[1], v[2]);
        break;
    case 27:
        RGS_Threshold(v[0]);
        break;
    case 28:
        RGS_BlurTranspose(v[0], v[1]);
        break;
    case 29:
        RGS_Blur3x3(v[0], v[1]);
        break;
    case 30:
        RGS_CopyChannels(v[0], v[1], v[2], v[3], v[4]);
        break;
    case 31:
        RGS_SwapChannels(v[0], v[1], v[2], v[3], v[4]);
        break;
    case 32:
        RGS_CombineOr(v[0], v[1], v[2], f[3], f[4]);
        break;
    case 33:
        RGS_CombineXor(v[0], v[1], v[2], f[3], f[4]);
        break;
    case 34:
        RGS_CombineAnd(v[0], v[1], v[2], f[3], f[4]);
        break;
    case 35:
        RGS_CombineAdd(v[0], v[1], v[2], f[3], f[4]);
        break;
    case 36:
        RGS_CombineMultiply(v[0], v[1], v[2], f[3], f[4]);
        break;
    case 37:
        RGS_CombineMin(v[0], v[1], v[2], f[3], f[4]);
        break;
    case 38:
        RGS_CombineMax(v[0], v[1], v[2], f[3], f[4]);
        break;
    }
    return 1;
}

int RunRGS(const uint8_t* bytes, uint32_t length) {
    if (!bytes || length < 3 || bytes[0] != 'R' || bytes[1] != 'G' || bytes[2] != 'S') return 0;
    // Only complete commands within the first 200 are stored and run; a file
    // without its count byte holds none.
    uint32_t count = length > 3 ? bytes[3] : 0;
    uint32_t complete = length > 3 ? (length - 4) / 33 : 0;
    if (count > complete) count = complete;
    if (count > RGS_MAX_COMMANDS) count = RGS_MAX_COMMANDS;
    RGS_Program& program = RGS_CurrentProgram;
    program.count = (uint8_t)count;
    for (uint32_t i = 0; i < count; i++) {
        const uint8_t* c = bytes + 4 + 33 * i;
        program.opcodes[i] = c[0];
        for (int k = 0; k < 8; k++) {
            const uint8_t* b = c + 1 + 4 * k;
            uint32_t bits = b[0] | b[1] << 8 | b[2] << 16 | (uint32_t)b[3] << 24;
            memcpy(&program.params[i][k], &bits, 4);
        }
    }
    for (uint32_t i = 0; i < count; i++) RGS_Dispatch(program.opcodes[i], program.params[i]);
    return 1;
}
