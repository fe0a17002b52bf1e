// A shared library's file, looked at before anything maps or runs it: a file
// still being written or cut short would fault inside the loader (SIGBUS on
// a page past its end), one built for another CPU gets a vague answer from
// it, and a library's constructors run as soon as it is opened.
#pragma once
#include "core/status.h"

#include <cstdint>
#include <string>
#include <vector>

// The whole file, read only when it stayed the same file of the same size and
// time throughout.
ZK_Status LibraryFile_Read(const char* path, std::vector<uint8_t>* bytes);

// Whether `bytes` is a shared library for this CPU whose headers, segments
// and sections all lie within the file (no file named).
ZK_Status LibraryFile_Check(const std::vector<uint8_t>& bytes);

// The text a defined dynamic symbol's bytes hold (a `const char name[]`),
// read from the file of a checked library: 1 found, 0 no such symbol, -1 the
// symbol's bytes are not a text within the file (*status, when given, says so).
int LibraryFile_SymbolText(const std::vector<uint8_t>& bytes, const char* name, std::string* text,
                           ZK_Status* status = nullptr);
