#include "dev_errors.h"

#include <algorithm>
#include <cctype>

namespace {

enum Kind { TEXT, BLANK, TOOL, MAKE_FAILED, NINJA_FAILED };

int Begins(const std::string& line, const char* start) {
    return line.compare(0, std::char_traits<char>::length(start), start) == 0;
}

// What a line of the output is: the failing step's own text, or the build
// tools' (progress, Make's and Ninja's own lines, CMake's status lines).
Kind KindOf(const std::string& line) {
    if (line.find_first_not_of(" \t\r") == std::string::npos) return BLANK;
    if (Begins(line, "FAILED: ")) return NINJA_FAILED;
    if (Begins(line, "make") || Begins(line, "gmake")) {
        size_t colon = line.find(": ");
        return colon != std::string::npos && line.compare(colon + 2, 3, "***") == 0 ? MAKE_FAILED
                                                                                    : TOOL;
    }
    // "[ 50%] Building ...", "[3/7] Linking ..."
    if (line[0] == '[' && line.find(']') != std::string::npos &&
        (line.find("%]") != std::string::npos || isdigit((unsigned char)line[1])))
        return TOOL;
    if (Begins(line, "ninja: ") || Begins(line, "Scanning dependencies") ||
        Begins(line, "Consolidate compiler generated dependencies") || Begins(line, "-- "))
        return TOOL;
    return TEXT;
}

int NamesError(const std::string& line) {
    std::string lower = line;
    std::transform(lower.begin(), lower.end(), lower.begin(),
                   [](unsigned char c) { return (char)tolower(c); });
    return lower.find("error") != std::string::npos ||
           lower.find("undefined reference") != std::string::npos;
}

} // namespace

std::vector<std::string> Dev_ErrorLines(const std::string& output, size_t most,
                                        const std::string& folder, const std::string& shown) {
    std::vector<std::string> lines;
    std::vector<Kind> kinds;
    for (size_t at = 0; at < output.size();) {
        size_t end = std::min(output.find('\n', at), output.size());
        lines.push_back(output.substr(at, end - at));
        if (!lines.back().empty() && lines.back().back() == '\r') lines.back().pop_back();
        kinds.push_back(KindOf(lines.back()));
        at = end + 1;
    }
    // Ninja names the step, then prints its command: neither is its output.
    for (size_t i = 0; i + 1 < lines.size(); i++)
        if (kinds[i] == NINJA_FAILED) kinds[i + 1] = TOOL;
    // The failing step's output: what Ninja prints after its name, or what
    // stands before Make's "***"; blank lines belong to it (CMake's have them).
    size_t first = 0, last = lines.size();
    int step = 0;
    for (size_t i = 0; i < lines.size(); i++) {
        if (kinds[i] == NINJA_FAILED) {
            first = i + 2;
            last = first;
            while (last < lines.size() && (kinds[last] == TEXT || kinds[last] == BLANK)) last++;
            step = 1;
            break;
        }
        if (kinds[i] == MAKE_FAILED) {
            first = last = i;
            while (first > 0 && (kinds[first - 1] == TEXT || kinds[first - 1] == BLANK)) first--;
            step = 1;
            break;
        }
    }
    std::vector<size_t> kept;
    for (size_t i = first; i < last; i++)
        if (kinds[i] == TEXT) kept.push_back(i);
    if (kept.empty()) { // the step said nothing: the whole output's lines
        step = 0;
        for (size_t i = 0; i < lines.size(); i++)
            if (kinds[i] == TEXT) kept.push_back(i);
    }
    size_t from = 0;
    while (from < kept.size() && !NamesError(lines[kept[from]])) from++;
    // None names an error: the step's first lines, or the output's last.
    if (from == kept.size()) from = !step && kept.size() > most ? kept.size() - most : 0;
    std::vector<std::string> shownLines;
    for (size_t k = from; k < kept.size() && shownLines.size() < most; k++) {
        std::string line = lines[kept[k]];
        for (size_t at = line.find(folder); !folder.empty() && at != std::string::npos;
             at = line.find(folder, at + shown.size()))
            line.replace(at, folder.size(), shown);
        shownLines.push_back(line);
    }
    return shownLines;
}

// A line in the overlay font's ASCII: the compilers' typographic quotes
// (in a UTF-8 locale) made plain, any other character beyond ASCII a '?'.
std::string Dev_PlainText(const std::string& line) {
    std::string plain;
    for (size_t i = 0; i < line.size(); i++) {
        unsigned char c = (unsigned char)line[i];
        if (c < 0x80) {
            plain += (char)c;
            continue;
        }
        if (line.compare(i, 2, "\xE2\x80") == 0 && i + 2 < line.size()) {
            unsigned char q = (unsigned char)line[i + 2];
            if (q == 0x98 || q == 0x99 || q == 0x9C || q == 0x9D) {
                plain += q < 0x9C ? '\'' : '"';
                i += 2;
                continue;
            }
        }
        plain += '?';
        while (i + 1 < line.size() && ((unsigned char)line[i + 1] & 0xC0) == 0x80) i++;
    }
    return plain;
}
