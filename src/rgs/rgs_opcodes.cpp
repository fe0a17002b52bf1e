#include "rgs/rgs_opcodes.h"

#include <cstring>

const RGS_OpInfo RGS_OpTable[RGS_OPCODE_COUNT] = {
    {nullptr, ""},
    {"Cells", "LBIFFF"},
    {"Plasma", "LBBBBFFF"},
    {"Noise", "LWIIFFF"},
    {"FractalNoise", "LIWWIFFF"},
    {"RadialGlow", "LRFFF"},
    {"Checker", "LWWCC"},
    {"Fill", "LC"},
    {"AddColor", "LRRR"},
    {"ScaleColor", "LRRR"},
    {"SineColor", "LRRR"},
    {"Colorize", "LRR"},
    {"ShuffleChannels", "L"},
    {"HalfTile", "L"},
    {"TransposeShift", "LBB"},
    {"DisplaceByBrightness", "LLLRR"},
    {"Swirl", "LWWRR"},
    {"SineWarp", "LRRRR"},
    {"Invert", "L"},
    {"BitRotate", "LBB"},
    {"GradientDisplace", "L"},
    {"Equalize", "L"},
    {"Stretch", "L"},
    {"EdgeBoost", "LBBB"},
    {"EdgeDetect", "L"},
    {"Sharpen", "L"},
    {"Scatter", "LII"},
    {"Threshold", "L"},
    {"BlurTranspose", "LW"},
    {"Blur3x3", "LB"},
    {"CopyChannels", "LLFFF"},
    {"SwapChannels", "LLFFF"},
    {"CombineOr", "LLLRR"},
    {"CombineXor", "LLLRR"},
    {"CombineAnd", "LLLRR"},
    {"CombineAdd", "LLLRR"},
    {"CombineMultiply", "LLLRR"},
    {"CombineMin", "LLLRR"},
    {"CombineMax", "LLLRR"},
};

char RGS_ParamKind(uint8_t opcode, int k) {
    if (opcode >= RGS_OPCODE_COUNT || k < 0 || k >= 8) return '-';
    const char* kinds = RGS_OpTable[opcode].kinds;
    return k < (int)strlen(kinds) ? kinds[k] : '-';
}
