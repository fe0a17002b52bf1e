// zelkor md5 FILE...: prints the same lines as md5sum, "<hex>  <name>".
// zelkor md5 -c LIST...: checks them as md5sum -c does.
#include "commands.h"
#include "usage.h"

#include "cli/args.h"

#include "archive/md5.h"
#include "core/status.h"

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

static const char* tool = "zelkor md5";

// md5sum escapes backslashes, line feeds and carriage returns in a name and
// marks the line with a leading backslash.
static std::string Escaped(const std::string& name) {
    std::string out;
    for (char c : name) {
        if (c == '\\')
            out += "\\\\";
        else if (c == '\n')
            out += "\\n";
        else if (c == '\r')
            out += "\\r";
        else
            out += c;
    }
    return out;
}

static bool NeedsEscape(const std::string& name) {
    return name.find_first_of("\\\n\r") != std::string::npos;
}

// The digest of a file ("-" is standard input) as 32 hex digits, or errno's
// text when it cannot be read.
static ZK_Status Digest(const std::string& name, char hex[33]) {
    static unsigned char chunk[1 << 16];
    bool useStdin = name == "-";
    FILE* f = useStdin ? stdin : fopen(name.c_str(), "rb");
    if (!f) return ZK_FailIn(name, strerror(errno));
    VKZ_MD5 md5;
    size_t n;
    while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) md5.Update(chunk, (uint32_t)n);
    bool failed = ferror(f);
    int savedErrno = errno;
    if (useStdin)
        clearerr(stdin);
    else
        fclose(f);
    if (failed) return ZK_FailIn(name, strerror(savedErrno));
    md5.Final();
    md5.GetHexDigest(hex);
    return ZK_Ok();
}

// One line of a list: "HEX  NAME", "HEX *NAME", "HEX NAME" or the tagged
// "MD5 (NAME) = HEX", with a leading backslash when NAME is escaped.
static bool ParseLine(std::string line, std::string* hex, std::string* name) {
    // No file name holds a NUL: the name would be checked cut short there.
    if (line.find('\0') != std::string::npos) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    size_t i = line.find_first_not_of(" \t");
    if (i == std::string::npos) return false;
    bool escaped = line[i] == '\\';
    if (escaped) i++;
    std::string rawName;
    if (line.compare(i, 5, "MD5 (") == 0) {
        size_t close = line.rfind(") = ");
        if (close == std::string::npos || close < i + 5) return false;
        rawName = line.substr(i + 5, close - (i + 5));
        *hex = line.substr(close + 4);
    } else {
        *hex = line.substr(i, 32);
        i += 32;
        if (i >= line.size() || (line[i] != ' ' && line[i] != '\t')) return false;
        i++;
        if (i < line.size() && (line[i] == ' ' || line[i] == '*')) i++;
        rawName = line.substr(i);
    }
    if (hex->size() != 32 || rawName.empty()) return false;
    for (char& c : *hex) {
        if (!isxdigit((unsigned char)c)) return false;
        c = (char)tolower((unsigned char)c);
    }
    name->clear();
    for (size_t k = 0; k < rawName.size(); k++) {
        char c = rawName[k];
        if (!escaped || c != '\\') {
            *name += c;
            continue;
        }
        char next = k + 1 < rawName.size() ? rawName[++k] : 0;
        if (next == '\\')
            *name += '\\';
        else if (next == 'n')
            *name += '\n';
        else if (next == 'r')
            *name += '\r';
        else
            return false;
    }
    return true;
}

static const char* Plural(unsigned n, const char* one, const char* many) {
    return n == 1 ? one : many;
}

// Returns 1 when every listed file was read and matched.
static int CheckList(const char* list) {
    bool useStdin = strcmp(list, "-") == 0;
    FILE* f = useStdin ? stdin : fopen(list, "r");
    if (!f) {
        fprintf(stderr, "%s: %s: %s\n", tool, list, strerror(errno));
        return 0;
    }
    unsigned improper = 0, unreadable = 0, mismatched = 0, checked = 0;
    char* buffer = nullptr;
    size_t capacity = 0;
    ssize_t length;
    while ((length = getline(&buffer, &capacity, f)) >= 0) {
        std::string line(buffer, (size_t)length);
        if (!line.empty() && line.back() == '\n') line.pop_back();
        size_t first = line.find_first_not_of(" \t");
        if (first == std::string::npos || line[first] == '#') continue;
        std::string want, name;
        if (!ParseLine(line, &want, &name)) {
            improper++;
            continue;
        }
        checked++;
        char got[33];
        ZK_Status read = Digest(name, got);
        // Only a name that would break the line is escaped here.
        bool escape = name.find('\n') != std::string::npos;
        std::string shown = escape ? Escaped(name).insert(0, 1, '\\') : name;
        if (!read.ok) {
            fprintf(stderr, "%s: %s: %s\n", tool, name.c_str(), read.problem.c_str());
            printf("%s: FAILED open or read\n", shown.c_str());
            unreadable++;
        } else if (want != got) {
            printf("%s: FAILED\n", shown.c_str());
            mismatched++;
        } else {
            printf("%s: OK\n", shown.c_str());
        }
    }
    bool readFailed = ferror(f);
    int savedErrno = errno;
    free(buffer);
    if (!useStdin) fclose(f);
    fflush(stdout);
    if (readFailed) {
        fprintf(stderr, "%s: %s: %s\n", tool, list, strerror(savedErrno));
        return 0;
    }
    if (checked == 0) {
        fprintf(stderr, "%s: %s: no properly formatted checksum lines found\n", tool, list);
        return 0;
    }
    if (improper)
        fprintf(stderr, "%s: WARNING: %u %s improperly formatted\n", tool, improper,
                Plural(improper, "line is", "lines are"));
    if (unreadable)
        fprintf(stderr, "%s: WARNING: %u listed %s could not be read\n", tool, unreadable,
                Plural(unreadable, "file", "files"));
    if (mismatched)
        fprintf(stderr, "%s: WARNING: %u computed %s did NOT match\n", tool, mismatched,
                Plural(mismatched, "checksum", "checksums"));
    return unreadable == 0 && mismatched == 0;
}

int CmdMd5(int argc, char** argv) {
    int status;
    if (CLI_Info(Md5Usage, argc, argv, &status)) return status;
    static const CLI_Option options[] = {{"--check", CLI_SWITCH, 0, 0, "-c"}, {}};
    CLI_Args args;
    if (CLI_ParseArgs(Md5Usage, options, argc, argv, &args)) return CLI_USAGE;
    bool check = args["--check"].on;
    const std::vector<const char*>& files = args.operands;
    if (files.empty()) return CLI_UsageError(Md5Usage, check ? "no list given" : "no file given");

    status = 0;
    for (const char* name : files) {
        if (check) {
            if (!CheckList(name)) status = 1;
            continue;
        }
        char hex[33];
        ZK_Status read = Digest(name, hex);
        if (!read.ok) {
            fprintf(stderr, "%s: %s: %s\n", tool, name, read.problem.c_str());
            status = 1;
            continue;
        }
        bool escape = NeedsEscape(name);
        printf("%s%s  %s\n", escape ? "\\" : "", hex, escape ? Escaped(name).c_str() : name);
    }
    if (fflush(stdout) != 0) return 1;
    return status;
}
