// The text form of RGS scripts: one command per line, the operation name
// without "RGS_" (or "op N" for a bare opcode) and up to eight numbers, the
// missing ones 0; "#" starts a comment, except "#RRGGBB" (or CSS's "#RGB",
// each digit doubled), a colour stored as the packed value 0xBBGGRR. NaNs
// keep their bits as "nan(0xPAYLOAD)".
#pragma once
#include "core/status.h"

#include <cstdint>
#include <string>
#include <vector>

// The script's bytes, or the problem ("line N: ..."; no file named). A named
// command's layer outside 0-4, or a byte, word or colour parameter beyond its
// field, is refused ("op N" writes any bytes);
// `warnings`, when given, gets "line N: ..." for what the show would skip:
// NaN, numbers beyond an integer parameter's 32 bits, unknown opcodes,
// commands past the 200th. Reals that are not finite are warned about too.
ZK_Status RGS_Assemble(const std::string& text, std::vector<uint8_t>* script,
                       std::vector<std::string>* warnings = nullptr);
// Text that assembles to the same bytes (commands the named form would
// refuse as "op N"), or the problem of a file that is no well-formed script
// (the complete commands of a short file are still written out).
ZK_Status RGS_Disassemble(const uint8_t* bytes, uint32_t length, std::string* text);

// Whether a compiled script is whole: a failure for no "RGS", no command
// count, or fewer commands than its count says (cut short, or still being
// written; no file named). The show runs what there is; play and rgs view
// keep the last whole script instead.
ZK_Status RGS_CutShort(const uint8_t* bytes, uint32_t length);

// One parameter as text that reads back to the same bits.
std::string RGS_FormatParam(float value, bool asColour);
// Parses one parameter token; 0 when it is no number.
int RGS_ParseParam(const std::string& token, float* value);
