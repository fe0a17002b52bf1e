#include "sequencing/timing_text.h"

#include <cstdio>
#include <cstring>

static int IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

static int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

struct LineReader {
    const char* p;
    const char* end;
    void SkipBlanks() {
        while (p < end && IsBlank(*p)) p++;
    }
    int AtEnd() {
        SkipBlanks();
        return p == end || *p == '#';
    }
};

static const char* ReadNumber(LineReader* r, uint32_t* value) {
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

static const char* ReadName(LineReader* r, std::string* name) {
    r->SkipBlanks();
    if (r->p == r->end || *r->p == '#') return "missing scene name";
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

static void PutU32(std::vector<uint8_t>* out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++) (*out)[at + i] = (uint8_t)(v >> (8 * i));
}

int CompileTimingText(const std::string& text, std::vector<uint8_t>* out, std::string* error,
                      std::vector<int>* entryLines) {
    if (entryLines) entryLines->clear();
    out->assign(sizeof(TimingHeader), 0);
    memcpy(out->data(), "TMG", 4);
    uint32_t count = 0;
    size_t pos = 0;
    for (int line = 1; pos <= text.size(); line++) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string::npos) eol = text.size();
        LineReader r = {text.data() + pos, text.data() + eol};
        pos = eol + 1;
        if (r.AtEnd()) continue;

        uint32_t start = 0, length = 0;
        std::string name;
        const char* why = ReadNumber(&r, &start);
        if (!why) why = ReadNumber(&r, &length);
        if (!why) why = ReadName(&r, &name);
        // The name field keeps its terminator inside its 64 bytes.
        if (!why && name.size() > 63) why = "scene name longer than 63 bytes";
        if (!why && !r.AtEnd()) why = "unexpected text after the scene name";
        if (!why && count == TIMING_MAX_ENTRIES)
            why = "more than the 65536 entries a timetable holds";
        if (why) {
            *error = "line " + std::to_string(line) + ": " + why;
            out->clear();
            return 0;
        }
        size_t at = out->size();
        out->resize(at + sizeof(TimingEntry), 0);
        PutU32(out, at, start);
        PutU32(out, at + 4, length);
        memcpy(out->data() + at + 8, name.data(), name.size());
        if (entryLines) entryLines->push_back(line);
        count++;
    }
    PutU32(out, 4, count);
    return 1;
}

static int NeedsQuotes(const char* name, size_t n) {
    if (n == 0) return 1;
    for (size_t i = 0; i < n; i++) {
        unsigned char c = (unsigned char)name[i];
        if (c <= ' ' || c >= 0x7F || c == '#' || c == '"' || c == '\\') return 1;
    }
    return 0;
}

std::string FormatTimingName(const char* name, size_t n) {
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

std::string FormatTimingText(const TimingTable& table, uint32_t trailingBytes,
                             const std::vector<std::string>* notes) {
    std::string text;
    char buf[64];
    for (uint32_t i = 0; i < table.header.count; i++) {
        const TimingEntry& e = table.entries[i];
        size_t n = strnlen(e.name, sizeof(e.name));
        snprintf(buf, sizeof(buf), "%u %u ", e.start, e.length);
        text += buf;
        text += FormatTimingName(e.name, n);
        if (notes && i < notes->size() && !(*notes)[i].empty()) text += "  # " + (*notes)[i];
        text += '\n';
        if (n == sizeof(e.name)) {
            snprintf(buf, sizeof(buf), "# entry %u: the name has no terminator\n", i + 1);
            text += buf;
        }
        for (size_t k = n; k < sizeof(e.name); k++) {
            if (e.name[k] != 0) {
                snprintf(buf, sizeof(buf), "# entry %u: bytes after the name's end are dropped\n",
                         i + 1);
                text += buf;
                break;
            }
        }
    }
    if (trailingBytes) {
        snprintf(buf, sizeof(buf), "# %u bytes after the last entry are dropped\n", trailingBytes);
        text += buf;
    }
    return text;
}

std::string DescribeTimingScriptProblem(const uint8_t* data, size_t size) {
    TimingHeader h = {};
    if (size < sizeof(h)) return "shorter than the 8-byte header";
    memcpy(&h, data, sizeof(h));
    if (memcmp(h.magic, "TMG", 4) != 0) return "not a timing script (magic is not \"TMG\\0\")";
    if (h.count > TIMING_MAX_ENTRIES)
        return std::to_string(h.count) + " entries, more than the 65536 a timetable holds";
    uint64_t need = (uint64_t)h.count * sizeof(TimingEntry);
    if (need <= size - sizeof(h)) return "out of memory for its entries";
    char text[128];
    snprintf(text, sizeof text, "%u entries need %llu bytes, only %zu follow the header", h.count,
             (unsigned long long)need, size - sizeof(h));
    return text;
}
