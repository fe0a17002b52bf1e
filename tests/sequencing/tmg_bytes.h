// Test helpers: timing scripts built in memory, and small archives.
#pragma once
#include "archive/vkz_write.h"

#include <cstdint>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

struct TmgLine {
    uint32_t start, length;
    const char* name;
};

inline std::vector<uint8_t> TmgBytes(const std::vector<TmgLine>& lines) {
    std::vector<uint8_t> out(8 + 72 * lines.size(), 0);
    memcpy(out.data(), "TMG", 4);
    uint32_t count = (uint32_t)lines.size();
    memcpy(&out[4], &count, 4);
    for (size_t i = 0; i < lines.size(); i++) {
        uint8_t* e = &out[8 + 72 * i];
        memcpy(e, &lines[i].start, 4);
        memcpy(e + 4, &lines[i].length, 4);
        memcpy(e + 8, lines[i].name, strnlen(lines[i].name, 64));
    }
    return out;
}

inline bool WriteArchive(const std::string& path,
                         const std::vector<std::pair<std::string, std::vector<uint8_t>>>& files,
                         int codec) {
    VKZ_Writer* w = VKZ_WriterOpen(path.c_str());
    if (!w) return false;
    for (const auto& f : files) {
        if (VKZ_WriterAdd(w, f.first.c_str(), f.second.data(), (uint32_t)f.second.size(), codec) <
            0) {
            VKZ_WriterAbort(w);
            return false;
        }
    }
    return VKZ_WriterFinish(w).ok;
}
