// Layer combination: channel moves between two layers, and a destination
// computed from two weighted source layers. Each pixel's inputs are read before
// its output is written, so the destination may be one of the sources.
#include "rgs/rgs.h"
#include "rgs/rgs_ops.h"

#include <cmath>

void RGS_CopyChannels(int destination, int source, int r, int g, int b) {
    const int flag[3] = {r, g, b};
    const uint8_t* s = RGS_Layers[source];
    uint8_t* d = RGS_Layers[destination];
    for (int i = 0; i < LAYER_SIZE; i += 3)
        for (int k = 0; k < 3; k++) d[i + k] = flag[k] ? s[i + k] : 0;
}

void RGS_SwapChannels(int layerA, int layerB, int r, int g, int b) {
    const int flag[3] = {r, g, b};
    uint8_t* a = RGS_Layers[layerA];
    uint8_t* bl = RGS_Layers[layerB];
    for (int i = 0; i < LAYER_SIZE; i += 3)
        for (int k = 0; k < 3; k++)
            if (flag[k]) {
                uint8_t t = a[i + k];
                a[i + k] = bl[i + k];
                bl[i + k] = t;
            }
}

// value * weight rounded toward zero, for every channel value 0-255. Returns
// 0 when one of those conversions has no 32-bit result (NaN, infinite or
// huge weights): the command is then skipped.
static int WeightTable(float weight, int32_t table[256]) {
    for (int v = 0; v < 256; v++)
        if (!RGS_ToInt(v * (double)weight, &table[v])) return 0;
    return 1;
}

enum BitOp { OP_OR, OP_XOR, OP_AND, OP_ADD };

static void CombineWeighted(BitOp op, int destination, int layerB, int layerC, float weightB,
                            float weightC) {
    int32_t wb[256], wc[256];
    if (!WeightTable(weightB, wb) || !WeightTable(weightC, wc)) return;
    const uint8_t* B = RGS_Layers[layerB];
    const uint8_t* C = RGS_Layers[layerC];
    uint8_t* D = RGS_Layers[destination];
    for (int i = 0; i < LAYER_SIZE; i++) {
        uint32_t bk = (uint32_t)wb[B[i]], ck = (uint32_t)wc[C[i]];
        switch (op) {
        case OP_OR:
            D[i] = (uint8_t)(bk | ck);
            break;
        case OP_XOR:
            D[i] = (uint8_t)(bk ^ ck);
            break;
        case OP_AND:
            D[i] = (uint8_t)(bk & ck);
            break;
        case OP_ADD: {
            unsigned sum = (bk & 255u) + (ck & 255u);
            D[i] = (uint8_t)(sum >= 255 ? 255 : sum);
            break;
        }
        }
    }
}

void RGS_CombineOr(int destination, int layerB, int layerC, float weightB, float weightC) {
    CombineWeighted(OP_OR, destination, layerB, layerC, weightB, weightC);
}

void RGS_CombineXor(int destination, int layerB, int layerC, float weightB, float weightC) {
    CombineWeighted(OP_XOR, destination, layerB, layerC, weightB, weightC);
}

void RGS_CombineAnd(int destination, int layerB, int layerC, float weightB, float weightC) {
    CombineWeighted(OP_AND, destination, layerB, layerC, weightB, weightC);
}

void RGS_CombineAdd(int destination, int layerB, int layerC, float weightB, float weightC) {
    CombineWeighted(OP_ADD, destination, layerB, layerC, weightB, weightC);
}

void RGS_CombineMultiply(int destination, int layerB, int layerC, float weightB, float weightC) {
    const double m = (double)weightB * weightC * (double)0.003921569f;
    // The product is clamped before it is converted, so only a NaN can fail;
    // an infinite m makes one for a zero product.
    if (!std::isfinite(m)) return;
    const uint8_t* B = RGS_Layers[layerB];
    const uint8_t* C = RGS_Layers[layerC];
    uint8_t* D = RGS_Layers[destination];
    for (int i = 0; i < LAYER_SIZE; i++) {
        double v = (double)(B[i] * C[i]) * m;
        D[i] = v >= 255.0 ? 255 : v <= 0.0 ? 0 : (uint8_t)(int)v;
    }
}

// Min and max store the unweighted value; the weighted products (exact in
// double) only decide which one. NaN comparisons are false.
void RGS_CombineMin(int destination, int layerB, int layerC, float weightB, float weightC) {
    const uint8_t* B = RGS_Layers[layerB];
    const uint8_t* C = RGS_Layers[layerC];
    uint8_t* D = RGS_Layers[destination];
    for (int i = 0; i < LAYER_SIZE; i++) {
        uint8_t b = B[i], c = C[i];
        D[i] = c * (double)weightC > b * (double)weightB ? b : c;
    }
}

void RGS_CombineMax(int destination, int layerB, int layerC, float weightB, float weightC) {
    const uint8_t* B = RGS_Layers[layerB];
    const uint8_t* C = RGS_Layers[layerC];
    uint8_t* D = RGS_Layers[destination];
    for (int i = 0; i < LAYER_SIZE; i++) {
        uint8_t b = B[i], c = C[i];
        D[i] = c * (double)weightC >= b * (double)weightB ? c : b;
    }
}
