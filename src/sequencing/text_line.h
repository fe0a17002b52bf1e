// Reading the line-based text forms (timetable, tracks): blanks, '#'
// comments, decimal numbers and names that may be quoted. A name holding
// blanks, '#', '"', '\' or bytes outside printable ASCII is written in double
// quotes with \" \\ and \xHH escapes; "" is the empty name.
#pragma once
#include <cstddef>
#include <cstdint>
#include <string>

struct TextLine {
    const char* p;
    const char* end;
    void SkipBlanks();
    // Nothing but blanks or a comment left.
    int AtEnd();
};

// Calls `line(reader, number)` for each line of `text` (numbered from 1)
// until it returns 0; a final line without '\n' counts too.
template <class F> void ForEachTextLine(const std::string& text, F line) {
    size_t pos = 0;
    for (int number = 1; pos <= text.size(); number++) {
        size_t eol = text.find('\n', pos);
        if (eol == std::string::npos) eol = text.size();
        TextLine r = {text.data() + pos, text.data() + eol};
        pos = eol + 1;
        if (!line(&r, number)) return;
    }
}

// Each returns null, or a static text saying what is wrong.
const char* TextLine_ReadU32(TextLine* r, uint32_t* value);
// The next word, up to a blank or a comment (empty when there is none).
std::string TextLine_ReadWord(TextLine* r);
// A name as above; `missing` is the text when the line holds none.
const char* TextLine_ReadName(TextLine* r, std::string* name, const char* missing);
// A name as the text form writes it: as it is, or quoted with escapes.
std::string TextLine_FormatName(const char* name, size_t length);
