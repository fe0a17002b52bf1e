// The interpreter: reads a script into the program store and dispatches each
// command with its parameters converted as the opcode table says.
#include "rgs/rgs.h"
#include "rgs/rgs_opcodes.h"
#include "rgs/rgs_oplist.h"
#include "rgs/rgs_ops.h"

#include <cstring>
#include <iterator>
#include <type_traits>
#include <utility>

RGS_Program RGS_CurrentProgram;

namespace {

// Parameter k of an operation: the float itself where the operation takes a
// real, else its converted integer.
template <typename T> T Arg(int32_t converted, float real) {
    if constexpr (std::is_same_v<T, float>)
        return real;
    else
        return (T)converted;
}

template <typename... A, size_t... K>
void CallWith(void (*operation)(A...), const int32_t* v, const float* f,
              std::index_sequence<K...>) {
    operation(Arg<A>(v[K], f[K])...);
}

template <typename... A> void Call(void (*operation)(A...), const int32_t* v, const float* f) {
    CallWith(operation, v, f, std::index_sequence_for<A...>{});
}

// Each operation takes exactly the listed parameters, a float where the kind
// is real and an integer elsewhere.
template <typename... A, size_t N>
constexpr bool Matches(void (*)(A...), const RGS_ParamInfo (&params)[N]) {
    if (sizeof...(A) != N) return false;
    const bool real[] = {std::is_same_v<A, float>..., false};
    for (size_t k = 0; k < N; k++)
        if (real[k] != (params[k].kind == 'R')) return false;
    return true;
}
#define RGS_CHECK(op, Name, effect, example, params)                                               \
    constexpr RGS_ParamInfo Name##Params[] = {params};                                             \
    static_assert(Matches(RGS_##Name, Name##Params), #Name "'s parameters match the list");
RGS_OPERATIONS(RGS_CHECK)
#undef RGS_CHECK

} // namespace

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
#define RGS_CASE(op, Name, effect, example, params)                                                \
    case op:                                                                                       \
        Call(RGS_##Name, v, f);                                                                    \
        break;
        RGS_OPERATIONS(RGS_CASE)
#undef RGS_CASE
    }
    return 1;
}

int RunRGS(const uint8_t* bytes, uint32_t length) {
    return RunRGSUntil(bytes, length, nullptr, nullptr);
}

int RunRGSUntil(const uint8_t* bytes, uint32_t length, int (*stop)(void* user), void* user) {
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
    for (uint32_t i = 0; i < count && !(stop && stop(user)); i++)
        RGS_Dispatch(program.opcodes[i], program.params[i]);
    return 1;
}
