// One way to read a command line: each command lists its options in a table
// and CLI_ParseArgs reads argv by it. Every option takes "--opt value" and
// "--opt=value"; a switch also takes "--opt=yes|no" (true/false, on/off, 1/0).
// "--" ends the options. Values are checked here, by kind, so every command
// refuses a bad one in the same words.
#pragma once
#include "cli/cli.h"

#include <cstddef>
#include <cstdint>
#include <vector>

enum CLI_Kind : uint8_t {
    CLI_SWITCH, // no value
    CLI_TEXT,   // any text
    CLI_NUMBER, // a whole number, low to high
    CLI_REAL,   // a number above low, up to high
    CLI_TIME,   // a music time (cli/times.h), low to high ms
    CLI_TIMES,  // T[,T...]; given again, the list grows
    CLI_SIZE,   // WxH (or WXH), each side low to high
};

struct CLI_Option {
    const char* name = nullptr; // "--size" or "-o"; null ends a table
    CLI_Kind kind = CLI_SWITCH;
    double low = 0, high = 0;
    const char* alias = nullptr; // another name: "-c" for "--check"
    // The value may be left out ("--window" or "--window WxH"): the next
    // argument is taken only when it does not begin with '-'.
    int optionalValue = 0;
};

struct CLI_Value {
    int given = 0;              // times the option was given (0: absent)
    const char* text = nullptr; // the last value as written; null for a switch
    int on = 0;                 // a switch: given, and not last as "--opt=no"
    int64_t number = 0;         // NUMBER, TIME (ms)
    double real = 0;
    int width = 0, height = 0;
    std::vector<uint32_t> times; // TIMES, in the order given
    const char* Or(const char* fallback) const { return text ? text : fallback; }
};

struct CLI_Args {
    const CLI_Option* table = nullptr;
    std::vector<CLI_Value> values;     // one per table row
    std::vector<const char*> operands; // everything else, in order
    // The value of the option named so in the table (a name missing there is
    // a mistake in the program, which aborts).
    const CLI_Value& operator[](const char* name) const;
};

// 0 with *args filled, or CLI_USAGE once the usage error is on stderr; more
// than `mostOperands` operands is one ("unexpected argument").
int CLI_ParseArgs(const CLI_Usage& usage, const CLI_Option* table, int argc, char** argv,
                  CLI_Args* args, size_t mostOperands = (size_t)-1);
// "WxH" or "WXH", each side low to high; 1, or 0.
int CLI_ParseSize(const char* text, int low, int high, int* width, int* height);
