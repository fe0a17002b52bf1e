// Files carried inside the program (the templates of `zelkor new`), made
// into a table at build time by cmake/embed_files.cmake.
#pragma once
#include <cstddef>

struct EmbeddedFile {
    const char* path; // relative, '/' between folders; null ends a table
    const char* bytes;
    size_t size;
};

extern const EmbeddedFile NewShowFiles[];
