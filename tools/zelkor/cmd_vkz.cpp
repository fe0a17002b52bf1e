// zelkor vkz create ARCHIVE [--codec C] [NAME=]FILE...
// zelkor vkz list ARCHIVE [--long] [NAME...]
// zelkor vkz extract ARCHIVE NAME [-o OUT]
// zelkor vkz verify ARCHIVE [NAME...]
#include "commands.h"
#include "usage.h"

#include "cli/args.h"

#include "archive/codec.h"
#include "archive/vkz.h"
#include "archive/vkz_write.h"
#include "io/write_file.h"
#include "tool_io.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

static const char* tool = "zelkor vkz";

// Entries this large take a while to unpack; verify's line says how large.
enum : uint32_t { LARGE_ENTRY = 16u << 20 };

static void Hex(const uint8_t* bytes, char* out33) {
    for (int i = 0; i < 16; i++) snprintf(out33 + 2 * i, 3, "%02x", bytes[i]);
}

// The codec's name, or "#ID" for an id no codec has.
static std::string CodecLabel(uint32_t id) {
    const char* name = VKZ_CodecName((int)id);
    return name ? name : std::to_string(id).insert(0, 1, '#');
}

static VKZ_Archive* OpenArchive(const char* path) {
    VKZ_Archive* archive = VKZ_Open(path);
    if (archive) return archive;
    FILE* f = fopen(path, "rb");
    if (!f) {
        fprintf(stderr, "%s: %s: %s\n", tool, path, strerror(errno));
    } else {
        fclose(f);
        fprintf(stderr,
                "%s: %s: not a valid archive (bad header, entries that do not fit the file, or "
                "one of more than 256 MiB)\n",
                tool, path);
    }
    return nullptr;
}

// What create stores an argument as: NAME=FILE, or FILE under its base name.
// An argument holding '=' that names an existing file is that file, as before
// the NAME= form existed.
struct Member {
    std::string name, file;
};
static Member MemberOf(const char* arg) {
    const char* eq = strchr(arg, '=');
    if (eq && eq != arg && access(arg, F_OK) != 0) return {std::string(arg, eq), eq + 1};
    const char* slash = strrchr(arg, '/');
    return {slash ? slash + 1 : arg, arg};
}

static int Create(int argc, char** argv) {
    static const CLI_Option options[] = {{"--codec", CLI_TEXT}, {}};
    CLI_Args args;
    if (CLI_ParseArgs(VkzUsage, options, argc, argv, &args)) return CLI_USAGE;
    int codecId = VKZ_CODEC_APLIB;
    if (const char* name = args["--codec"].text) {
        codecId = VKZ_CodecIdFromName(name);
        if (codecId < 0 || codecId == VKZ_CODEC_MD5)
            return CLI_UsageError(VkzUsage, "unknown codec", name, CodecChoices);
    }
    if (args.operands.empty()) return CLI_UsageError(VkzUsage, "create: no archive given");
    if (args.operands.size() < 2) return CLI_UsageError(VkzUsage, "create: no files to pack");
    const char* archivePath = args.operands[0];
    std::vector<const char*> files(args.operands.begin() + 1, args.operands.end());

    ZK_Status status;
    VKZ_Writer* writer = VKZ_WriterOpen(archivePath, &status);
    if (!writer) {
        fprintf(stderr, "%s: %s: cannot write: %s\n", tool, archivePath, status.problem.c_str());
        return 1;
    }
    for (const char* arg : files) {
        Member m = MemberOf(arg);
        std::vector<uint8_t> data;
        if (m.name.empty()) {
            fprintf(stderr, "%s: %s: no file name to store\n", tool, arg);
        } else if (ReadInput(tool, m.file.c_str(), VKZ_MAX_ENTRY_SIZE, &data)) {
            int used = VKZ_WriterAdd(writer, m.name.c_str(), data.data(), (uint32_t)data.size(),
                                     codecId, &status);
            if (used >= 0) continue;
            // A problem with a file named is the archive's own write.
            fprintf(stderr, "%s: %s: %s%s\n", tool, status.file.empty() ? arg : archivePath,
                    status.file.empty() ? "" : "cannot write: ", status.problem.c_str());
        }
        VKZ_WriterAbort(writer);
        return 1;
    }
    status = VKZ_WriterFinish(writer);
    if (!status.ok) {
        fprintf(stderr, "%s: %s: cannot write: %s\n", tool, archivePath, status.problem.c_str());
        return 1;
    }
    return 0;
}

// The names given for the entries: a NAME argument as written, or the name
// create stores a FILE or NAME=FILE argument under. 0 when one matches none.
static int NameEntries(VKZ_Archive* archive, const char* path, const std::vector<const char*>& args,
                       std::vector<std::string>* names) {
    int ok = 1;
    names->assign(archive->entryCount, "");
    for (const char* arg : args) {
        std::string shown = arg, lookup = arg; // the lookup lower-cases in place
        VKZ_EntryRecord* entry = VKZ_FindEntry(archive, lookup.data());
        if (!entry) {
            shown = lookup = MemberOf(arg).name;
            entry = VKZ_FindEntry(archive, lookup.data());
        }
        if (!entry) {
            fprintf(stderr, "%s: %s: no entry named '%s'\n", tool, path, arg);
            ok = 0;
        } else if ((*names)[entry - archive->entries].empty()) {
            (*names)[entry - archive->entries] = shown;
        }
    }
    return ok;
}

static int List(int argc, char** argv) {
    static const CLI_Option options[] = {{"--long"}, {}};
    CLI_Args parsed;
    if (CLI_ParseArgs(VkzUsage, options, argc, argv, &parsed)) return CLI_USAGE;
    bool longForm = parsed["--long"].on;
    const std::vector<const char*>& args = parsed.operands;
    if (args.empty()) return CLI_UsageError(VkzUsage, "list: no archive given");
    VKZ_Archive* archive = OpenArchive(args[0]);
    if (!archive) return 1;
    std::vector<std::string> names;
    int status = NameEntries(archive, args[0],
                             std::vector<const char*>(args.begin() + 1, args.end()), &names)
                     ? 0
                     : 1;
    if (longForm)
        printf("# %-30s %-6s %10s %10s %6s\n", "entry", "codec", "size", "stored", "ratio");
    else
        printf("# name-md5 data-md5 offset size stored codec name\n");
    for (uint32_t i = 0; i < archive->entryCount; i++) {
        const VKZ_EntryRecord& e = archive->entries[i];
        char nameHex[33], dataHex[33];
        Hex(e.nameDigest, nameHex);
        Hex(e.dataDigest, dataHex);
        std::string codec = CodecLabel(e.codecId);
        if (!longForm) {
            printf("%s %s %u %u %u %s %s\n", nameHex, dataHex, e.dataOffset, e.size, e.storedSize,
                   codec.c_str(), names[i].empty() ? "-" : names[i].c_str());
            continue;
        }
        char ratio[16] = "-";
        if (e.size) snprintf(ratio, sizeof ratio, "%.1f%%", 100.0 * e.storedSize / e.size);
        printf("%-32s %-6s %10u %10u %6s\n", names[i].empty() ? nameHex : names[i].c_str(),
               codec.c_str(), e.size, e.storedSize, ratio);
    }
    VKZ_Close(archive);
    if (fflush(stdout) != 0) return 1;
    return status;
}

static int Extract(int argc, char** argv) {
    static const CLI_Option options[] = {{"-o", CLI_TEXT}, {}};
    CLI_Args parsed;
    if (CLI_ParseArgs(VkzUsage, options, argc, argv, &parsed)) return CLI_USAGE;
    const char* outPath = parsed["-o"].text;
    const std::vector<const char*>& args = parsed.operands;
    if (args.size() < 2) return CLI_UsageError(VkzUsage, "extract wants an archive and a name");
    if (args.size() > 2) return CLI_UsageError(VkzUsage, "unexpected argument", args[2]);
    if (!outPath) outPath = args[1];
    VKZ_Archive* archive = OpenArchive(args[0]);
    if (!archive) return 1;
    std::string lookup = args[1];
    VKZ_EntryRecord* entry = VKZ_FindEntry(archive, lookup.data());
    int status = 1;
    IO_Output out;
    ZK_Status why;
    if (!entry) {
        fprintf(stderr, "%s: %s: no entry named '%s'\n", tool, args[0], args[1]);
    } else if (!(why = IO_OutputOpen(&out, outPath, IO_DASH_IS_STDOUT)).ok) {
        fprintf(stderr, "%s: %s: %s\n", tool, outPath, why.problem.c_str());
    } else {
        // Streamed into the output, which is put in place only once the
        // digest has been checked.
        static int writeError;
        writeError = 0;
        auto write = [](void* user, const uint8_t* data, uint32_t size) {
            if (fwrite(data, 1, size, ((IO_Output*)user)->stream) == size) return 1;
            writeError = errno ? errno : EIO;
            return 0;
        };
        if (!(why = VKZ_StreamEntry(archive, entry, write, &out)).ok) {
            IO_OutputAbort(&out);
            if (writeError)
                fprintf(stderr, "%s: %s: %s\n", tool, outPath, strerror(writeError));
            else
                fprintf(stderr, "%s: %s: entry '%s' is damaged: %s\n", tool, args[0], args[1],
                        why.problem.c_str());
        } else if (!(why = IO_OutputCommit(&out)).ok) {
            fprintf(stderr, "%s: %s: %s\n", tool, outPath, why.problem.c_str());
        } else {
            status = 0;
        }
    }
    VKZ_Close(archive);
    return status;
}

static int Verify(int argc, char** argv) {
    static const CLI_Option options[] = {{}};
    CLI_Args args;
    if (CLI_ParseArgs(VkzUsage, options, argc, argv, &args)) return CLI_USAGE;
    if (args.operands.empty()) return CLI_UsageError(VkzUsage, "verify: no archive given");
    const char* path = args.operands[0];
    VKZ_Archive* archive = OpenArchive(path);
    if (!archive) return 1;
    std::vector<std::string> names;
    int status =
        NameEntries(archive, path,
                    std::vector<const char*>(args.operands.begin() + 1, args.operands.end()),
                    &names)
            ? 0
            : 1;
    uint32_t failed = 0, count = archive->entryCount;
    for (uint32_t i = 0; i < archive->entryCount; i++) {
        VKZ_EntryRecord* e = &archive->entries[i];
        auto discard = [](void*, const uint8_t*, uint32_t) { return 1; };
        ZK_Status read = VKZ_StreamEntry(archive, e, discard, nullptr);
        bool ok = read.ok;
        char nameHex[33];
        Hex(e->nameDigest, nameHex);
        printf("%s %s", nameHex, ok ? "OK" : "FAILED");
        if (e->size >= LARGE_ENTRY) printf(" (%u bytes)", e->size);
        printf("\n");
        if (ok) continue;
        failed++;
        fflush(stdout);
        std::string which = names[i].empty() ? nameHex : "'" + names[i] + "'";
        fprintf(stderr, "%s: %s: entry %u (%s, %s, %u bytes): %s\n", tool, path, i + 1,
                which.c_str(), CodecLabel(e->codecId).c_str(), e->size, read.problem.c_str());
    }
    VKZ_Close(archive);
    fflush(stdout);
    if (failed) {
        fprintf(stderr, "%s: %s: %u of %u entries failed to read\n", tool, path, failed, count);
        return 1;
    }
    return status;
}

int CmdVkz(int argc, char** argv) {
    int status;
    if (CLI_Info(VkzUsage, argc, argv, &status)) return status;
    static const char* const verbs[] = {"create", "list", "extract", "verify", nullptr};
    if (argc < 1) return CLI_UsageError(VkzUsage, "no subcommand given");
    if (strcmp(argv[0], "create") == 0) return Create(argc - 1, argv + 1);
    if (strcmp(argv[0], "list") == 0) return List(argc - 1, argv + 1);
    if (strcmp(argv[0], "extract") == 0) return Extract(argc - 1, argv + 1);
    if (strcmp(argv[0], "verify") == 0) return Verify(argc - 1, argv + 1);
    return CLI_UsageError(VkzUsage, "unknown subcommand", argv[0], verbs);
}
