// The opcode table, made from the operation list (rgs_oplist.h): each
// operation's name (without "RGS_"), what it does, its parameters and an
// example. Shared by the dispatcher, the text form and the reference.
#pragma once
#include <cstdint>
#include <string>

enum { RGS_OPCODE_COUNT = 39 }; // 1-38 are operations; 0 and 39-255 do nothing

// Parameter kinds, how the float a script holds is read: 'L' layer (low 8
// bits, 0-4), 'I' 32-bit integer, 'B' its low 8 bits, 'W' its low 16 bits,
// 'C' packed colour 0xBBGGRR, 'F' flag (non-zero is 1), 'R' real. Parameters
// past the listed ones are ignored.
struct RGS_ParamInfo {
    char kind;
    const char* name;
    const char* meaning;
};

struct RGS_OpInfo {
    const char* name; // null for opcode 0
    const char* effect;
    const char* example; // the parameters of an example command
    const RGS_ParamInfo* params;
    int paramCount;
};
extern const RGS_OpInfo RGS_OpTable[RGS_OPCODE_COUNT];

// The kind letter of parameter k of an opcode ('-' for unknown opcodes and
// ignored parameters).
char RGS_ParamKind(uint8_t opcode, int k);
// "layer 0-4", "integer, low 8 bits", ... for the reference.
const char* RGS_KindText(char kind);
// The opcode of an operation name (letter case aside), or -1.
int RGS_OpcodeByName(const char* name);

// The reference: one line per operation (opcode, name, parameters), or one
// operation in full with the meaning of each parameter and its example.
std::string RGS_ReferenceLine(int opcode);
std::string RGS_ReferenceEntry(int opcode);
