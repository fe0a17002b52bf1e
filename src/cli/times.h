// Music times as people write them: plain milliseconds ("45000"), M:SS
// ("0:45") or M:SS.mmm ("0:45.250", "2:39.4"). The tools read every time
// through this, and say times back in the M:SS.mmm form.
#pragma once
#include <cstdint>
#include <string>

// Longest music time we agree to run to: a day of show.
enum : uint32_t { CLI_MAX_TIME = 86400000u };

// A time up to CLI_MAX_TIME in ms; 1, or 0 when the text is none.
int CLI_ParseTime(const char* text, uint32_t* ms);
// "M:SS.mmm": 159375 is "2:39.375".
std::string CLI_FormatTime(uint32_t ms);
