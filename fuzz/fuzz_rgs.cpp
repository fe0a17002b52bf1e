// libFuzzer: RunRGS over any bytes, on the shared layer store as the texture
// manager uses it (state carries from input to input, as from file to file).
//
// Scripts may legally ask for hours of work (255 blur passes, 200 commands),
// so the harness, not the interpreter, bounds each input: at most 8 commands
// run, and the few counts that multiply an operation's cost are cut down.
// Values the interpreter skips (NaN, infinities, out of range) pass unchanged.
#include "rgs/rgs.h"

#include <cmath>
#include <cstddef>
#include <cstring>
#include <vector>

enum { MAX_COMMANDS = 8 };

struct CostlyParam {
    uint8_t opcode, param;
    int32_t mask, limit; // the bits the operation uses, and the most allowed
};
static const CostlyParam costly[] = {
    {1, 1, 0xFF, 16},   // Cells: points
    {4, 2, 0xFFFF, 4},  // FractalNoise: octaves
    {28, 1, 0xFFFF, 4}, // BlurTranspose: radius
    {29, 1, 0xFF, 2},   // Blur3x3: passes
};

static void Bound(uint8_t* param, const CostlyParam& c) {
    float v;
    memcpy(&v, param, 4);
    if (!std::isfinite(v) || std::fabs(v) >= 2147483648.0f) return;
    int32_t n = (int32_t)v & c.mask;
    if (n <= c.limit) return;
    v = (float)(n % (c.limit + 1));
    memcpy(param, &v, 4);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (!size) {
        RunRGS(nullptr, 0);
        return 0;
    }
    // The count byte stays, so a script cut short is still seen as one.
    size_t length = size < 4 + 33 * MAX_COMMANDS ? size : 4 + 33 * MAX_COMMANDS;
    std::vector<uint8_t> script(data, data + length);
    for (size_t at = 4; at + 33 <= length; at += 33)
        for (const CostlyParam& c : costly)
            if (script[at] == c.opcode) Bound(&script[at + 1 + 4 * c.param], c);
    RunRGS(script.data(), (uint32_t)length);
    return 0;
}
