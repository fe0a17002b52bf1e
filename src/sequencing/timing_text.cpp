#include "sequencing/timing_text.h"

#include "sequencing/text_line.h"

#include <cstdio>
#include <cstring>

// The word at the reader in quotes, cut short when long: "'x100'".
static std::string Quoted(TextLine at) {
    std::string word = TextLine_ReadWord(&at);
    if (word.size() > 40) word = word.substr(0, 40) + "...";
    return "'" + word + "'";
}

// A number; a problem quotes what stands in its place.
static std::string ReadNumber(TextLine* r, uint32_t* value) {
    r->SkipBlanks();
    TextLine at = *r;
    const char* why = TextLine_ReadU32(r, value);
    if (!why) return "";
    if (r->AtEnd() && at.p == r->p) return std::string(why) + ", found the line's end";
    if (strncmp(why, "expected", 8) != 0) return Quoted(at) + ": " + why;
    return std::string(why) + ", not " + Quoted(at);
}

static void PutU32(std::vector<uint8_t>* out, size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++) (*out)[at + i] = (uint8_t)(v >> (8 * i));
}

ZK_Status CompileTimingText(const std::string& text, std::vector<uint8_t>* out,
                            std::vector<int>* entryLines) {
    if (entryLines) entryLines->clear();
    out->assign(sizeof(TimingHeader), 0);
    memcpy(out->data(), "TMG", 4);
    uint32_t count = 0;
    ZK_Status status;
    ForEachTextLine(text, [&](TextLine* r, int line) {
        if (r->AtEnd()) return 1;
        uint32_t start = 0, length = 0;
        std::string name;
        std::string why = ReadNumber(r, &start);
        if (why.empty()) why = ReadNumber(r, &length);
        if (why.empty()) {
            const char* bad = TextLine_ReadName(r, &name, "missing scene name");
            if (bad) why = bad;
        }
        // The name field keeps its terminator inside its 64 bytes.
        if (why.empty() && name.size() > 63) why = "scene name longer than 63 bytes";
        if (why.empty() && !r->AtEnd())
            why = "unexpected text " + Quoted(*r) + " after the scene name";
        if (why.empty() && count == TIMING_MAX_ENTRIES)
            why = "more than the 65536 entries a timetable holds";
        if (!why.empty()) {
            status = ZK_Fail("line " + std::to_string(line) + ": " + why);
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
        return 1;
    });
    if (!status.ok) return status;
    PutU32(out, 4, count);
    return status;
}

std::string FormatTimingName(const char* name, size_t n) {
    return TextLine_FormatName(name, n);
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
