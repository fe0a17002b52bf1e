// The opcode table: each operation's name (without "RGS_") and how each of its
// eight parameters is converted. Shared by the dispatcher and the text form.
#pragma once
#include <cstdint>

enum { RGS_OPCODE_COUNT = 39 }; // 1-38 are operations; 0 and 39-255 do nothing

// Parameter kinds, one letter per parameter (a shorter string means the rest
// are ignored): 'L' layer (low 8 bits, 0-4), 'I' 32-bit integer, 'B' its low
// 8 bits, 'W' its low 16 bits, 'C' packed colour 0xBBGGRR, 'F' flag (non-zero
// is 1), 'R' real, '-' ignored.
struct RGS_OpInfo {
    const char* name;
    const char* kinds;
};
extern const RGS_OpInfo RGS_OpTable[RGS_OPCODE_COUNT];

// The kind letter of parameter k of an opcode ('-' for unknown opcodes).
char RGS_ParamKind(uint8_t opcode, int k);
