// Colour and level operations: each pixel from its own channel values.
#include "rgs/rgs.h"
#include "rgs/rgs_ops.h"

void RGS_AddColor(int, float, float, float) {}
void RGS_ScaleColor(int, float, float, float) {}
void RGS_SineColor(int, float, float, float) {}
void RGS_Colorize(int, float, float) {}
void RGS_ShuffleChannels(int) {}
void RGS_Invert(int) {}
void RGS_BitRotate(int, int32_t, int32_t) {}
void RGS_Equalize(int) {}
void RGS_Stretch(int) {}
void RGS_Threshold(int) {}
