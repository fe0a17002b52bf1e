#include "rgs/rgs_opcodes.h"

#include "rgs/rgs_oplist.h"

#include <cstdio>
#include <iterator>
#include <strings.h>

#define RGS_PARAM_ARRAY(op, Name, effect, example, params)                                         \
    static constexpr RGS_ParamInfo Name##Params[] = {params};
RGS_OPERATIONS(RGS_PARAM_ARRAY)
#undef RGS_PARAM_ARRAY

// The list must hold opcodes 1, 2, 3, ... in order: the table is indexed by them.
#define RGS_OPCODE(op, Name, effect, example, params) op,
static constexpr int listed[] = {RGS_OPERATIONS(RGS_OPCODE)};
#undef RGS_OPCODE
static constexpr bool InOrder() {
    for (int i = 0; i < (int)std::size(listed); i++)
        if (listed[i] != i + 1) return false;
    return std::size(listed) + 1 == RGS_OPCODE_COUNT;
}
static_assert(InOrder(), "the operation list holds opcodes 1-38 in order");

const RGS_OpInfo RGS_OpTable[RGS_OPCODE_COUNT] = {{nullptr, nullptr, nullptr, nullptr, 0},
#define RGS_ROW(op, Name, effect, example, params)                                                 \
    {#Name, effect, example, Name##Params, (int)std::size(Name##Params)},
                                                  RGS_OPERATIONS(RGS_ROW)
#undef RGS_ROW
};

char RGS_ParamKind(uint8_t opcode, int k) {
    if (opcode >= RGS_OPCODE_COUNT || k < 0 || k >= RGS_OpTable[opcode].paramCount) return '-';
    return RGS_OpTable[opcode].params[k].kind;
}

const char* RGS_KindText(char kind) {
    switch (kind) {
    case 'L':
        return "layer 0-4";
    case 'I':
        return "integer";
    case 'B':
        return "integer, low 8 bits";
    case 'W':
        return "integer, low 16 bits";
    case 'C':
        return "colour #RRGGBB";
    case 'F':
        return "flag 0 or 1";
    case 'R':
        return "real";
    }
    return "ignored";
}

int RGS_OpcodeByName(const char* name) {
    for (int op = 1; op < RGS_OPCODE_COUNT; op++)
        if (strcasecmp(RGS_OpTable[op].name, name) == 0) return op;
    return -1;
}

std::string RGS_ReferenceLine(int opcode) {
    const RGS_OpInfo& op = RGS_OpTable[opcode];
    char head[48];
    snprintf(head, sizeof head, "%2d %-20s", opcode, op.name);
    std::string line = head;
    for (int k = 0; k < op.paramCount; k++) line += std::string(" ") + op.params[k].name;
    return line + "\n";
}

std::string RGS_ReferenceEntry(int opcode) {
    const RGS_OpInfo& op = RGS_OpTable[opcode];
    std::string text =
        std::string(op.name) + " (opcode " + std::to_string(opcode) + "): " + op.effect + "\n";
    char line[96];
    for (int k = 0; k < op.paramCount; k++) {
        const RGS_ParamInfo& p = op.params[k];
        snprintf(line, sizeof line, "  p%d %-16s %-21s ", k, p.name, RGS_KindText(p.kind));
        text += std::string(line) + p.meaning + "\n";
    }
    if (op.paramCount == 7)
        text += "  p7 is ignored.\n";
    else if (op.paramCount < 7)
        text += "  p" + std::to_string(op.paramCount) + "-p7 are ignored.\n";
    return text + "Example:\n  " + op.name + " " + op.example + "\n";
}
