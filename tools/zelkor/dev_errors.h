// What zelkor dev shows of a failed build: the first lines that say what
// went wrong, found in the output of cmake --build with Make or Ninja.
#pragma once
#include <string>
#include <vector>

// At most `most` lines of the failing step's output (a compiler's, a
// linker's, CMake's, a content tool's), from its first line naming an error,
// without the build tools' own lines; `folder` (ending in '/') is written as
// `shown` in them. The last lines of the output when no step stands out.
std::vector<std::string> Dev_ErrorLines(const std::string& output, size_t most,
                                        const std::string& folder, const std::string& shown);
// A line in the overlay font's ASCII: the compilers' typographic quotes (in
// a UTF-8 locale) made plain, any other character beyond ASCII a '?'.
std::string Dev_PlainText(const std::string& line);
