#include "rgs/rgs_text.h"

#include "rgs/rgs.h"
#include "rgs/rgs_opcodes.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <strings.h>

static uint32_t Bits(float f) {
    uint32_t b;
    memcpy(&b, &f, 4);
    return b;
}

static float FromBits(uint32_t b) {
    float f;
    memcpy(&f, &b, 4);
    return f;
}

static bool IsHex(const std::string& s, size_t from) {
    if (from >= s.size()) return false;
    for (size_t i = from; i < s.size(); i++)
        if (!isxdigit((unsigned char)s[i])) return false;
    return true;
}

std::string RGS_FormatParam(float value, bool asColour) {
    char buf[48];
    uint32_t bits = Bits(value);
    if (std::isnan(value)) {
        const char* sign = bits >> 31 ? "-" : "";
        if ((bits & 0x7FFFFF) == 0x400000)
            snprintf(buf, sizeof buf, "%snan", sign);
        else
            snprintf(buf, sizeof buf, "%snan(0x%x)", sign, (unsigned)(bits & 0x7FFFFF));
        return buf;
    }
    if (asColour && bits >> 31 == 0 && value <= 16777215.0f && value == std::floor(value)) {
        uint32_t c = (uint32_t)value;
        snprintf(buf, sizeof buf, "#%02x%02x%02x", c & 255, (c >> 8) & 255, (c >> 16) & 255);
        return buf;
    }
    // Whole numbers as scripts write them ("10", not the shorter-digit "1e+01").
    if (value == std::floor(value) && std::fabs(value) < 1e7f) {
        snprintf(buf, sizeof buf, "%.0f", (double)value);
        return buf;
    }
    for (int precision = 1; precision <= 9; precision++) {
        snprintf(buf, sizeof buf, "%.*g", precision, (double)value);
        if (Bits(strtof(buf, nullptr)) == bits) break;
    }
    return buf;
}

// "#RRGGBB", or CSS's short "#RGB" with each digit doubled.
static bool IsColour(const std::string& token) {
    return (token.size() == 7 || token.size() == 4) && token[0] == '#' && IsHex(token, 1);
}

int RGS_ParseParam(const std::string& token, float* value) {
    if (IsColour(token)) {
        std::string hex = token.substr(1);
        if (hex.size() == 3) hex = {hex[0], hex[0], hex[1], hex[1], hex[2], hex[2]};
        uint32_t rgb = (uint32_t)strtoul(hex.c_str(), nullptr, 16);
        uint32_t packed = (rgb >> 16) | (rgb & 0xFF00) | (rgb & 255) << 16;
        *value = (float)packed;
        return 1;
    }
    // NaN with its payload; strtof would drop the payload and the quiet bit.
    size_t at = token[0] == '-' || token[0] == '+' ? 1 : 0;
    if (strncasecmp(token.c_str() + at, "nan", 3) == 0) {
        uint32_t payload = 0x400000;
        std::string rest = token.substr(at + 3);
        if (!rest.empty()) {
            if (rest.size() < 5 || strncasecmp(rest.c_str(), "(0x", 3) != 0 || rest.back() != ')' ||
                !IsHex(rest.substr(0, rest.size() - 1), 3) || rest.size() > 3 + 6 + 1)
                return 0;
            payload = (uint32_t)strtoul(rest.c_str() + 3, nullptr, 16);
            if (payload == 0 || payload > 0x7FFFFF) return 0;
        }
        *value = FromBits((token[0] == '-' ? 0x80000000u : 0) | 0x7F800000u | payload);
        return 1;
    }
    if (token.empty()) return 0;
    char* end = nullptr;
    errno = 0;
    float f = strtof(token.c_str(), &end);
    if (end == token.c_str() || *end != '\0') return 0;
    *value = f;
    return 1;
}

// Layers are 0-4; the show takes the low 8 bits of the integer, so 256 would
// be layer 0 and -1 is skipped, but a named command says what it means.
static bool LayerOutOfRange(float value) {
    int32_t n;
    return RGS_ToInt(value, &n) && (n < 0 || n > 4);
}

// The largest value a byte, word or colour parameter holds; the show keeps
// only those low bits of a larger one (300 passes would be 44). 0 for others.
static int64_t FieldMax(char kind) {
    return kind == 'B' ? 0xFF : kind == 'W' ? 0xFFFF : kind == 'C' ? 0xFFFFFF : 0;
}

// A named command refuses a value its field cannot hold.
static bool BeyondField(char kind, float value) {
    int32_t n;
    if (kind == 'L') return LayerOutOfRange(value);
    return FieldMax(kind) && RGS_ToInt(value, &n) && (n < 0 || n > FieldMax(kind));
}

// What the show would not do as written: *refusal for a layer outside 0-4
// in a named command, warnings for what it skips or cannot compute with.
static void Review(int opcode, const float p[8], const std::string shown[8], bool named,
                   std::string* refusal, std::vector<std::string>* warnings) {
    if (opcode == 0 || opcode >= RGS_OPCODE_COUNT) {
        warnings->push_back("opcode " + std::to_string(opcode) +
                            " is no operation: the show skips it");
        return;
    }
    const RGS_OpInfo& op = RGS_OpTable[opcode];
    for (int k = 0; k < op.paramCount; k++) {
        const RGS_ParamInfo& param = op.params[k];
        std::string what = std::string(op.name) + ": " + param.name + " " + shown[k];
        int32_t n;
        if (param.kind == 'R') {
            if (!std::isfinite(p[k])) warnings->push_back(what + " is not a finite number");
        } else if (param.kind == 'F') {
            continue; // any value is a flag
        } else if (!RGS_ToInt(p[k], &n)) {
            warnings->push_back(
                what + (std::isnan(p[k]) ? " is not a number" : " does not fit a 32-bit integer") +
                ": the show skips the command");
        } else if (param.kind == 'L' && LayerOutOfRange(p[k])) {
            if (named)
                *refusal = what + " does not exist (layers are 0-4)";
            else if ((n & 255) > 4)
                warnings->push_back(what + " is no layer 0-4: the show skips the command");
        } else if (named && BeyondField(param.kind, p[k])) {
            int64_t max = FieldMax(param.kind);
            *refusal = what + " does not fit its field (0-" + std::to_string(max) +
                       "; the show would take " + std::to_string(n & max) + ")";
        }
    }
}

static std::vector<std::string> Tokens(const std::string& line) {
    std::vector<std::string> tokens;
    size_t i = 0;
    while (i < line.size()) {
        while (i < line.size() && (isspace((unsigned char)line[i]) || line[i] == ',')) i++;
        size_t start = i;
        while (i < line.size() && !isspace((unsigned char)line[i]) && line[i] != ',') i++;
        if (i > start) tokens.push_back(line.substr(start, i - start));
    }
    return tokens;
}

ZK_Status RGS_Assemble(const std::string& text, std::vector<uint8_t>* script,
                       std::vector<std::string>* warnings) {
    if (warnings) warnings->clear();
    std::vector<uint8_t> out = {'R', 'G', 'S', 0};
    unsigned count = 0;
    size_t pos = 0;
    for (int lineNo = 1; pos < text.size() || lineNo == 1; lineNo++) {
        size_t eol = text.find('\n', pos);
        std::string line =
            text.substr(pos, eol == std::string::npos ? std::string::npos : eol - pos);
        pos = eol == std::string::npos ? text.size() : eol + 1;
        std::vector<std::string> tokens = Tokens(line);
        // A comment runs from a "#" token that is not a colour.
        for (size_t t = 0; t < tokens.size(); t++) {
            bool colour = t > 0 && IsColour(tokens[t]);
            if (tokens[t][0] == '#' && !colour) {
                tokens.resize(t);
                break;
            }
        }
        if (tokens.empty()) {
            if (eol == std::string::npos) break;
            continue;
        }
        auto fail = [&](const std::string& what) {
            return ZK_Fail("line " + std::to_string(lineNo) + ": " + what);
        };
        size_t first = 1;
        int opcode;
        if (strcasecmp(tokens[0].c_str(), "op") == 0) {
            char* end = nullptr;
            long n = tokens.size() > 1 ? strtol(tokens[1].c_str(), &end, 0) : -1;
            if (tokens.size() < 2 || *end != '\0' || n < 0 || n > 255)
                return fail("\"op\" needs an opcode 0-255");
            opcode = (int)n;
            first = 2;
        } else {
            opcode = RGS_OpcodeByName(tokens[0].c_str());
            if (opcode < 0) return fail("unknown operation '" + tokens[0] + "'");
        }
        if (tokens.size() - first > 8) return fail("more than eight parameters");
        if (++count > 255) return fail("more than 255 commands");
        float values[8] = {};
        std::vector<std::string> shown(8, "0"); // as written, for messages
        for (size_t k = 0; k < 8; k++) {
            if (first + k >= tokens.size()) continue;
            shown[k] = tokens[first + k];
            if (!RGS_ParseParam(tokens[first + k], &values[k]))
                return fail("'" + tokens[first + k] + "' is not a number");
        }
        std::string refusal;
        std::vector<std::string> notes;
        Review(opcode, values, shown.data(), first == 1, &refusal, &notes);
        if (!refusal.empty()) return fail(refusal);
        if (count == RGS_MAX_COMMANDS + 1)
            notes.push_back("the show runs 200 commands at most; this one and later are not run");
        for (const std::string& note : notes)
            if (warnings) warnings->push_back("line " + std::to_string(lineNo) + ": " + note);
        out.push_back((uint8_t)opcode);
        for (size_t k = 0; k < 8; k++) {
            uint32_t b = Bits(values[k]);
            for (int i = 0; i < 4; i++) out.push_back((uint8_t)(b >> (8 * i)));
        }
        if (eol == std::string::npos) break;
    }
    out[3] = (uint8_t)count;
    *script = out;
    return ZK_Ok();
}

ZK_Status RGS_CutShort(const uint8_t* bytes, uint32_t length) {
    if (length < 3 || memcmp(bytes, "RGS", 3) != 0)
        return ZK_Fail("not an RGS script (no \"RGS\")");
    if (length < 4) return ZK_Fail("no command count");
    uint32_t count = bytes[3], complete = (length - 4) / 33;
    if (count <= complete) return ZK_Ok();
    return ZK_Fail("file ends after " + std::to_string(complete) + " of its " +
                   std::to_string(count) + " commands");
}

ZK_Status RGS_Disassemble(const uint8_t* bytes, uint32_t length, std::string* text) {
    text->clear();
    if (length < 4 || memcmp(bytes, "RGS", 3) != 0) return RGS_CutShort(bytes, length);
    uint32_t count = bytes[3], complete = (length - 4) / 33;
    uint32_t shown = count < complete ? count : complete;
    for (uint32_t i = 0; i < shown; i++) {
        const uint8_t* c = bytes + 4 + 33 * i;
        uint8_t opcode = c[0];
        float p[8];
        for (int k = 0; k < 8; k++) {
            const uint8_t* b = c + 1 + 4 * k;
            p[k] = FromBits(b[0] | b[1] << 8 | b[2] << 16 | (uint32_t)b[3] << 24);
        }
        int last = 7; // trailing +0.0 parameters are left out
        while (last >= 0 && Bits(p[last]) == 0) last--;
        // A command the named form would refuse keeps its bytes as a bare opcode.
        bool named = opcode > 0 && opcode < RGS_OPCODE_COUNT;
        for (int k = 0; named && k < RGS_OpTable[opcode].paramCount; k++)
            if (BeyondField(RGS_ParamKind(opcode, k), p[k])) named = false;
        char name[16];
        if (named)
            *text += RGS_OpTable[opcode].name;
        else
            snprintf(name, sizeof name, "op %u", opcode), *text += name;
        for (int k = 0; k <= last; k++) {
            *text += ' ';
            *text += RGS_FormatParam(p[k], RGS_ParamKind(opcode, k) == 'C');
        }
        *text += '\n';
    }
    if (count > complete) return RGS_CutShort(bytes, length);
    if (length != 4 + 33 * count)
        return ZK_Fail(std::to_string(length - 4 - 33 * count) + " bytes after the last command");
    return ZK_Ok();
}
