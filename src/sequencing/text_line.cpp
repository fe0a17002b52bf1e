#include "sequencing/text_line.h"

#include <cstdio>

static int IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

static int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

void TextLine::SkipBlanks() {
    while (p < end && IsBlank(*p)) p++;
}

int TextLine::AtEnd() {
    SkipBlanks();
    return p == end || *p == '#';
}

const char* TextLine_ReadU32(TextLine* r, uint32_t* value) {
    r->SkipBlanks();
    if (r->p == r->end || *r->p < '0' || *r->p > '9') return "expected a decimal number";
    uint64_t v = 0;
    while (r->p < r->end && *r->p >= '0' && *r->p <= '9') {
        v = v * 10 + (uint64_t)(*r->p++ - '0');
        if (v > 0xFFFFFFFFull) return "number larger than 4294967295";
    }
    if (r->p < r->end && !IsBlank(*r->p) && *r->p != '#') return "expected a decimal number";
    *value = (uint32_t)v;
    return nullptr;
}

std::string TextLine_ReadWord(TextLine* r) {
    r->SkipBlanks();
    const char* start = r->p;
    while (r->p < r->end && !IsBlank(*r->p) && *r->p != '#') r->p++;
    return std::string(start, r->p);
}

const char* TextLine_ReadName(TextLine* r, std::string* name, const char* missing) {
    r->SkipBlanks();
    if (r->p == r->end || *r->p == '#') return missing;
    if (*r->p != '"') {
        while (r->p < r->end && !IsBlank(*r->p) && *r->p != '#' && *r->p != '"')
            name->push_back(*r->p++);
        if (r->p < r->end && *r->p == '"') return "stray '\"' in a name";
        return nullptr;
    }
    r->p++;
    for (;;) {
        if (r->p == r->end) return "unterminated quoted name";
        char c = *r->p++;
        if (c == '"') return nullptr;
        if (c != '\\') {
            name->push_back(c);
            continue;
        }
        if (r->p == r->end) return "unterminated quoted name";
        c = *r->p++;
        if (c == '"' || c == '\\') {
            name->push_back(c);
        } else if (c == 'x' && r->end - r->p >= 2 && HexValue(r->p[0]) >= 0 &&
                   HexValue(r->p[1]) >= 0) {
            int v = HexValue(r->p[0]) * 16 + HexValue(r->p[1]);
            if (v == 0) return "a name cannot hold a zero byte";
            name->push_back((char)v);
            r->p += 2;
        } else {
            return "unknown escape in a quoted name (use \\\" \\\\ or \\xHH)";
        }
    }
}

static int NeedsQuotes(const char* name, size_t n) {
    if (n == 0) return 1;
    for (size_t i = 0; i < n; i++) {
        unsigned char c = (unsigned char)name[i];
        if (c <= ' ' || c >= 0x7F || c == '#' || c == '"' || c == '\\') return 1;
    }
    return 0;
}

std::string TextLine_FormatName(const char* name, size_t n) {
    if (!NeedsQuotes(name, n)) return std::string(name, n);
    std::string text = "\"";
    char buf[8];
    for (size_t k = 0; k < n; k++) {
        unsigned char c = (unsigned char)name[k];
        if (c == '"' || c == '\\') {
            text += '\\';
            text += (char)c;
        } else if (c < ' ' || c >= 0x7F) {
            snprintf(buf, sizeof(buf), "\\x%02x", c);
            text += buf;
        } else {
            text += (char)c;
        }
    }
    return text + '"';
}
