// Arguments shared by the show-running commands.
#pragma once
#include <cstdint>
#include <string>

// Longest music time we agree to run to: a day of show.
enum : uint32_t { SHOW_MAX_TIME = 86400000u };

// A music time in ms, decimal, 0 to SHOW_MAX_TIME; 1, or 0 when it is none.
int ParseShowTime(const char* text, uint32_t* ms);
// "WxH", each side 1 to 8192; 1, or 0.
int ParseShowSize(const char* text, int* width, int* height);
// `path` from the current folder, so it holds after entering the show folder.
std::string AbsolutePath(const std::string& path);
