// The RGS operations, called by RGS_Dispatch with converted parameters:
// layers are already checked to be 0-4, flags are 0 or 1, and integers that
// an operation reads only in part arrive as those low 8 or 16 bits (0-255,
// 0-65535); colours as their low 24 bits.
#pragma once
#include <cstdint>

// Generators (opcodes 1-7).
void RGS_Cells(int layer, int32_t count, int32_t seed, int r, int g, int b);
void RGS_Plasma(int layer, int32_t columnStep, int32_t rowStep, int32_t columnPhase,
                int32_t rowPhase, int r, int g, int b);
void RGS_Noise(int layer, int32_t spacing, int32_t levels, int32_t seed, int r, int g, int b);
void RGS_FractalNoise(int layer, int32_t spacing, int32_t octaves, int32_t persistence,
                      int32_t seed, int r, int g, int b);
void RGS_RadialGlow(int layer, float falloff, int r, int g, int b);
void RGS_Checker(int layer, int32_t cellWidth, int32_t cellHeight, uint32_t colourA,
                 uint32_t colourB);
void RGS_Fill(int layer, uint32_t colour);

// Colour and level operations.
void RGS_AddColor(int layer, float r, float g, float b);
void RGS_ScaleColor(int layer, float r, float g, float b);
void RGS_SineColor(int layer, float r, float g, float b);
void RGS_Colorize(int layer, float hue, float saturation);
void RGS_ShuffleChannels(int layer);
void RGS_Invert(int layer);
void RGS_BitRotate(int layer, int32_t leftShift, int32_t rightShift);
void RGS_Equalize(int layer);
void RGS_Stretch(int layer);
void RGS_Threshold(int layer);

// Filters and distortions.
void RGS_HalfTile(int layer);
void RGS_TransposeShift(int layer, int32_t rowOffset, int32_t columnOffset);
void RGS_DisplaceByBrightness(int destination, int source, int map, float xGain, float yGain);
void RGS_Swirl(int layer, int32_t centreX, int32_t centreY, float radius, float strength);
void RGS_SineWarp(int layer, float rowFrequency, float columnFrequency, float xAmplitude,
                  float yAmplitude);
void RGS_GradientDisplace(int layer);
void RGS_EdgeBoost(int layer, int32_t xOffset, int32_t yOffset, int32_t gain);
void RGS_EdgeDetect(int layer);
void RGS_Sharpen(int layer);
void RGS_Scatter(int layer, int32_t spread, int32_t seed);
void RGS_BlurTranspose(int layer, int32_t radius);
void RGS_Blur3x3(int layer, int32_t passes);

// Layer combination (opcodes 30-38).
void RGS_CopyChannels(int destination, int source, int r, int g, int b);
void RGS_SwapChannels(int layerA, int layerB, int r, int g, int b);
void RGS_CombineOr(int destination, int layerB, int layerC, float weightB, float weightC);
void RGS_CombineXor(int destination, int layerB, int layerC, float weightB, float weightC);
void RGS_CombineAnd(int destination, int layerB, int layerC, float weightB, float weightC);
void RGS_CombineAdd(int destination, int layerB, int layerC, float weightB, float weightC);
void RGS_CombineMultiply(int destination, int layerB, int layerC, float weightB, float weightC);
void RGS_CombineMin(int destination, int layerB, int layerC, float weightB, float weightC);
void RGS_CombineMax(int destination, int layerB, int layerC, float weightB, float weightC);
