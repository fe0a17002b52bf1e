#include "cli/args.h"

#include "cli/times.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <strings.h>

const CLI_Value& CLI_Args::operator[](const char* name) const {
    for (size_t i = 0; table && table[i].name; i++)
        if (!strcmp(table[i].name, name)) return values[i];
    fprintf(stderr, "CLI_Args: no option %s in the table\n", name);
    abort();
}

// One side of WxH: digits only, refused past `high` (however many digits:
// a number past what an int holds must not wrap into range).
static const char* ParseSide(const char* s, int low, int high, int* side) {
    long long v = 0;
    const char* at = s;
    for (; *at >= '0' && *at <= '9'; at++) {
        v = v * 10 + (*at - '0');
        if (v > high) return nullptr;
    }
    if (at == s || v < low) return nullptr;
    *side = (int)v;
    return at;
}

int CLI_ParseSize(const char* s, int low, int high, int* width, int* height) {
    int w = 0, h = 0;
    s = ParseSide(s, low, high, &w);
    if (!s || (*s != 'x' && *s != 'X')) return 0;
    s = ParseSide(s + 1, low, high, &h);
    if (!s || *s) return 0;
    *width = w, *height = h;
    return 1;
}

static int ParseWhole(const char* s, double low, double high, int64_t* out) {
    if (*s < '0' || *s > '9') return 0;
    char* end = nullptr;
    errno = 0;
    unsigned long long v = strtoull(s, &end, 10);
    if (*end || errno || (double)v < low || (double)v > high) return 0;
    *out = (int64_t)v;
    return 1;
}

static int ParseSwitch(const char* s, int* on) {
    static const char* const yes[] = {"yes", "true", "on", "1"};
    static const char* const no[] = {"no", "false", "off", "0"};
    for (int i = 0; i < 4; i++) {
        if (!strcasecmp(s, yes[i])) return *on = 1, 1;
        if (!strcasecmp(s, no[i])) return *on = 0, 1;
    }
    return 0;
}

// What a kind of value looks like, for the message refusing one.
static std::string Wanted(const CLI_Option& o) {
    char range[96];
    switch (o.kind) {
    case CLI_SWITCH:
        return "yes or no";
    case CLI_NUMBER:
        snprintf(range, sizeof range, "a whole number from %.0f to %.0f", o.low, o.high);
        return range;
    case CLI_REAL:
        snprintf(range, sizeof range, "a number above %g, up to %g", o.low, o.high);
        return range;
    case CLI_TIME:
    case CLI_TIMES:
        snprintf(range, sizeof range, "%s (ms, M:SS or M:SS.mmm)",
                 o.kind == CLI_TIME ? "a time" : "times T[,T...]");
        if (o.low > 0)
            snprintf(range + strlen(range), sizeof range - strlen(range), ", at least %.0f ms",
                     o.low);
        return range;
    case CLI_SIZE:
        snprintf(range, sizeof range, "WxH, each %.0f to %.0f", o.low, o.high);
        return range;
    case CLI_TEXT:
        break;
    }
    return "a value";
}

static int TakeTime(const CLI_Option& o, const char* text, uint32_t* ms) {
    return CLI_ParseTime(text, ms) && *ms >= o.low && (o.high <= 0 || *ms <= o.high);
}

// Reads `text` into `v` by the option's kind; 1, or 0 when it is no such value.
static int Take(const CLI_Option& o, const char* text, CLI_Value* v) {
    v->text = text;
    switch (o.kind) {
    case CLI_SWITCH:
        return text ? ParseSwitch(text, &v->on) : (v->on = 1);
    case CLI_TEXT:
        return 1;
    case CLI_NUMBER:
        return ParseWhole(text, o.low, o.high, &v->number);
    case CLI_REAL: {
        char* end = nullptr;
        double r = strtod(text, &end);
        if (end == text || *end || !std::isfinite(r) || !(r > o.low && r <= o.high)) return 0;
        v->real = r;
        return 1;
    }
    case CLI_TIME: {
        uint32_t ms = 0;
        if (!TakeTime(o, text, &ms)) return 0;
        v->number = ms;
        return 1;
    }
    case CLI_TIMES: {
        std::string list(text);
        for (size_t at = 0;;) {
            size_t comma = list.find(',', at);
            std::string item = list.substr(at, comma == std::string::npos ? comma : comma - at);
            uint32_t ms = 0;
            if (!TakeTime(o, item.c_str(), &ms)) return 0;
            v->times.push_back(ms);
            if (comma == std::string::npos) return 1;
            at = comma + 1;
        }
    }
    case CLI_SIZE:
        return CLI_ParseSize(text, (int)o.low, (int)o.high, &v->width, &v->height);
    }
    return 0;
}

static int Named(const CLI_Option& o, const char* name, size_t n) {
    return (strlen(o.name) == n && !strncmp(o.name, name, n)) ||
           (o.alias && strlen(o.alias) == n && !strncmp(o.alias, name, n));
}

int CLI_ParseArgs(const CLI_Usage& usage, const CLI_Option* table, int argc, char** argv,
                  CLI_Args* args, size_t mostOperands) {
    size_t rows = 0;
    while (table[rows].name) rows++;
    args->table = table;
    args->values.assign(rows, CLI_Value());
    args->operands.clear();
    std::vector<const char*> known;
    for (size_t i = 0; i < rows; i++) {
        known.push_back(table[i].name);
        if (table[i].alias) known.push_back(table[i].alias);
    }
    known.push_back(nullptr);

    int optionsEnded = 0;
    for (int i = 0; i < argc; i++) {
        const char* a = argv[i];
        if (optionsEnded || !CLI_IsOption(a)) {
            if (args->operands.size() == mostOperands)
                return CLI_UsageError(usage, "unexpected argument", a);
            args->operands.push_back(a);
            continue;
        }
        if (!strcmp(a, "--")) {
            optionsEnded = 1;
            continue;
        }
        // "--opt=value"; a short option keeps any '=' as part of its name.
        const char* eq = a[1] == '-' ? strchr(a, '=') : nullptr;
        size_t nameLength = eq ? (size_t)(eq - a) : strlen(a);
        size_t row = 0;
        while (row < rows && !Named(table[row], a, nameLength)) row++;
        if (row == rows) {
            std::string name(a, nameLength);
            return CLI_UsageError(usage, "unknown option", name.c_str(), known.data());
        }
        const CLI_Option& o = table[row];
        const char* value = eq ? eq + 1 : nullptr;
        if (!eq && o.kind != CLI_SWITCH) {
            int next = i + 1 < argc;
            if (o.optionalValue && next && CLI_IsOption(argv[i + 1])) next = 0;
            if (next)
                value = argv[++i];
            else if (!o.optionalValue)
                return CLI_UsageError(usage, "no value after", a);
        }
        CLI_Value* v = &args->values[row];
        v->given++;
        if (value == nullptr && o.kind != CLI_SWITCH) continue; // an optional value left out
        if (!Take(o, value, v)) {
            std::string problem = std::string(o.name) + " wants " + Wanted(o) + ", not";
            return CLI_UsageError(usage, problem.c_str(), value);
        }
    }
    return 0;
}
