// zelkor md5 FILE...: prints the same lines as md5sum, "<hex>  <name>".
#include "commands.h"

#include "archive/md5.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

// md5sum marks names holding a backslash or newline with a leading backslash
// and escapes those two characters.
static std::string EscapedName(const char* name, bool* escaped) {
    std::string out;
    *escaped = false;
    for (const char* c = name; *c; c++) {
        if (*c == '\\')
            out += "\\\\", *escaped = true;
        else if (*c == '\n')
            out += "\\n", *escaped = true;
        else
            out += *c;
    }
    return out;
}

int CmdMd5(int argc, char** argv) {
    if (argc < 1) {
        fprintf(stderr, "usage: zelkor md5 FILE...\n");
        return 2;
    }
    int status = 0;
    static unsigned char chunk[1 << 16];
    for (int i = 0; i < argc; i++) {
        const char* name = argv[i];
        bool useStdin = strcmp(name, "-") == 0;
        FILE* f = useStdin ? stdin : fopen(name, "rb");
        if (!f) {
            fprintf(stderr, "zelkor md5: %s: %s\n", name, strerror(errno));
            status = 1;
            continue;
        }
        VKZ_MD5 md5;
        size_t n;
        while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) md5.Update(chunk, (uint32_t)n);
        bool failed = ferror(f);
        int savedErrno = errno;
        if (!useStdin) fclose(f);
        if (failed) {
            fprintf(stderr, "zelkor md5: %s: %s\n", name, strerror(savedErrno));
            status = 1;
            continue;
        }
        md5.Final();
        char hex[33];
        md5.GetHexDigest(hex);
        bool escaped;
        std::string shown = EscapedName(name, &escaped);
        printf("%s%s  %s\n", escaped ? "\\" : "", hex, shown.c_str());
    }
    if (fflush(stdout) != 0) return 1;
    return status;
}
