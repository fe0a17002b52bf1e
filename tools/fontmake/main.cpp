// fontmake: the overlay's bitmap font, from its text picture to a C++ table.
//
//   fontmake FONT.txt OUT.cpp
//
// FONT.txt holds "glyph CODE" lines (CODE a printable ASCII code, decimal),
// each followed by 7 rows of 5 characters, '#' lit and '.' dark; blank lines
// and '#' comment lines between glyphs. OUT.cpp defines
// `OverlayFontGlyphs[95][7]`: for each of the codes 32 to 126, one byte a row
// from the top, bit 4 the leftmost pixel. A code without a glyph gets '?'.
#include "tool_io.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>

enum { FIRST = 32, COUNT = 95, ROWS = 7, COLUMNS = 5 };

static int Fail(const char* path, int line, const std::string& why) {
    fprintf(stderr, "fontmake: %s: line %d: %s\n", path, line, why.c_str());
    return 1;
}

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: fontmake FONT.txt OUT.cpp\n");
        return 2;
    }
    std::string text;
    if (!ReadTextInput("fontmake", argv[1], 1 << 20, &text)) return 1;
    unsigned char glyphs[COUNT][ROWS] = {};
    bool have[COUNT] = {};
    std::istringstream in(text);
    std::string line;
    int number = 0, code = -1, row = ROWS;
    while (std::getline(in, line)) {
        number++;
        if (row < ROWS) {
            if (line.size() != COLUMNS || line.find_first_not_of("#.") != std::string::npos)
                return Fail(argv[1], number, "a glyph row is 5 of '#' and '.'");
            for (int c = 0; c < COLUMNS; c++)
                if (line[c] == '#') glyphs[code - FIRST][row] |= (unsigned char)(16 >> c);
            row++;
            continue;
        }
        if (line.empty() || line[0] == '#') continue;
        char* end = nullptr;
        if (line.compare(0, 6, "glyph ") != 0 ||
            (code = (int)strtol(line.c_str() + 6, &end, 10), *end != 0) || code < FIRST ||
            code >= FIRST + COUNT)
            return Fail(argv[1], number, "expected \"glyph CODE\" with CODE from 32 to 126");
        if (have[code - FIRST]) return Fail(argv[1], number, "a second glyph for this code");
        have[code - FIRST] = true;
        row = 0;
    }
    if (row < ROWS) return Fail(argv[1], number, "the file ends inside a glyph");
    if (!have['?' - FIRST]) return Fail(argv[1], number, "no glyph for '?'");
    std::string out = "// Made by fontmake from font5x7.txt; edit that instead.\n"
                      "extern const unsigned char OverlayFontGlyphs[95][7];\n"
                      "const unsigned char OverlayFontGlyphs[95][7] = {\n";
    for (int g = 0; g < COUNT; g++) {
        const unsigned char* rows = glyphs[have[g] ? g : '?' - FIRST];
        out += "    {";
        for (int r = 0; r < ROWS; r++) out += std::to_string(rows[r]) + (r + 1 < ROWS ? ", " : "");
        out += "},\n";
    }
    out += "};\n";
    return WriteOutput("fontmake", argv[2], out.data(), out.size()) ? 0 : 1;
}
