// Reads a whole text file for the content tools (zksynth, texmake).
#pragma once
#include <fstream>
#include <sstream>
#include <string>

inline bool ReadTextFile(const std::string& path, std::string* text) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::stringstream s;
    s << in.rdbuf();
    *text = s.str();
    return true;
}
