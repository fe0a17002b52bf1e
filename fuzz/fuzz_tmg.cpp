// The timetable parser and its text form: any bytes either load or are
// refused, and whatever loads dumps to text that compiles back to the same
// entries (or, when a name has no terminator, is refused). The same bytes are
// also fed to the text compiler.
#include "sequencing/timing_script.h"
#include "sequencing/timing_text.h"

#include <cstring>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<uint8_t> out;
    CompileTimingText(std::string((const char*)data, size), &out);

    TimingTable table = {};
    if (!ParseTimingScript(data, (uint32_t)size, &table).ok) return 0;
    uint32_t used = 8 + 72 * table.header.count;
    if (used > size) __builtin_trap();
    std::string text = FormatTimingText(table, (uint32_t)size - used);
    // A name that fills its whole field has no terminator: the text form
    // cannot say it, so such a dump must be refused rather than changed.
    bool unterminated = false;
    for (uint32_t i = 0; i < table.header.count; i++)
        if (strnlen(table.entries[i].name, sizeof(table.entries[i].name)) ==
            sizeof(table.entries[i].name))
            unterminated = true;
    if (unterminated) {
        if (CompileTimingText(text, &out).ok) __builtin_trap();
        FreeTimingTable(&table);
        return 0;
    }
    if (!CompileTimingText(text, &out).ok || out.size() != used) __builtin_trap();
    for (uint32_t i = 0; i < table.header.count; i++) {
        TimingEntry e = table.entries[i];
        size_t n = strnlen(e.name, sizeof(e.name));
        memset(e.name + n, 0, sizeof(e.name) - n); // what the text keeps
        if (memcmp(&e, out.data() + 8 + 72 * i, 72) != 0) __builtin_trap();
    }
    FreeTimingTable(&table);
    return 0;
}
