// The timetable's text form, for `zelkor tmg`: one entry per line,
// "START LENGTH NAME" in decimal milliseconds; '#' starts a comment. A name
// holding blanks, '#', '"', '\' or bytes outside printable ASCII is written
// in double quotes with \" \\ and \xHH escapes; "" is the empty name. Names
// are at most 63 bytes, so the field keeps its terminator.
#pragma once
#include "sequencing/timing_script.h"

#include <cstdint>
#include <string>
#include <vector>

// Text to script bytes, or the problem ("line N: reason"; no file named).
// `entryLines`, when given, receives the line number of each entry.
ZK_Status CompileTimingText(const std::string& text, std::vector<uint8_t>* out,
                            std::vector<int>* entryLines = nullptr);
// A name as the text form writes it: as it is, or in double quotes with
// escapes when it holds blanks, '#', '"', '\' or bytes outside printable ASCII.
std::string FormatTimingName(const char* name, size_t length);
// Entries to text that compiles back to the same bytes. What the text cannot
// hold (bytes after a name's terminator, a name with no terminator, bytes
// after the last entry) is mentioned in comments, and so is any non-empty
// `notes` entry, after the entry's line.
std::string FormatTimingText(const TimingTable& table, uint32_t trailingBytes,
                             const std::vector<std::string>* notes = nullptr);
