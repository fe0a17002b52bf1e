// Filters and distortions: each pixel from other pixels of a scratch copy.
#include "rgs/rgs.h"
#include "rgs/rgs_ops.h"

void RGS_HalfTile(int) {}
void RGS_TransposeShift(int, int32_t, int32_t) {}
void RGS_DisplaceByBrightness(int, int, int, float, float) {}
void RGS_Swirl(int, int32_t, int32_t, float, float) {}
void RGS_SineWarp(int, float, float, float, float) {}
void RGS_GradientDisplace(int) {}
void RGS_EdgeBoost(int, int32_t, int32_t, int32_t) {}
void RGS_EdgeDetect(int) {}
void RGS_Sharpen(int) {}
void RGS_Scatter(int, int32_t, int32_t) {}
void RGS_BlurTranspose(int, int32_t) {}
void RGS_Blur3x3(int, int32_t) {}
