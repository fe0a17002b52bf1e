// Layer combination: channel moves and weighted per-pixel combinations.
#include "rgs/rgs.h"
#include "rgs/rgs_ops.h"

void RGS_CopyChannels(int, int, int, int, int) {}
void RGS_SwapChannels(int, int, int, int, int) {}
void RGS_CombineOr(int, int, int, float, float) {}
void RGS_CombineXor(int, int, int, float, float) {}
void RGS_CombineAnd(int, int, int, float, float) {}
void RGS_CombineAdd(int, int, int, float, float) {}
void RGS_CombineMultiply(int, int, int, float, float) {}
void RGS_CombineMin(int, int, int, float, float) {}
void RGS_CombineMax(int, int, int, float, float) {}
