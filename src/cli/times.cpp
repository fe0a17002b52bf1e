#include "cli/times.h"

#include <cstdio>

// Decimal digits from *p on, at most `most` of them; their count (0: none).
static int Digits(const char** p, int most, uint64_t* value) {
    int n = 0;
    uint64_t v = 0;
    while (n < most && **p >= '0' && **p <= '9') v = v * 10 + (uint64_t)(*(*p)++ - '0'), n++;
    *value = v;
    return n;
}

int CLI_ParseTime(const char* s, uint32_t* ms) {
    const char* p = s;
    uint64_t first = 0;
    // Ten digits hold any time up to a day, and no more can overflow.
    if (!Digits(&p, 10, &first)) return 0;
    uint64_t total = first;
    if (*p == ':') {
        p++;
        uint64_t seconds = 0, fraction = 0;
        if (Digits(&p, 2, &seconds) != 2 || seconds > 59) return 0;
        total = first * 60000 + seconds * 1000;
        if (*p == '.') {
            p++;
            int n = Digits(&p, 3, &fraction);
            if (n == 0) return 0;
            for (; n < 3; n++) fraction *= 10; // ".4" is 400 ms
            total += fraction;
        }
    }
    if (*p != 0 || total > CLI_MAX_TIME) return 0;
    *ms = (uint32_t)total;
    return 1;
}

std::string CLI_FormatTime(uint32_t ms) {
    char text[32];
    snprintf(text, sizeof text, "%u:%02u.%03u", ms / 60000, ms / 1000 % 60, ms % 1000);
    return text;
}
