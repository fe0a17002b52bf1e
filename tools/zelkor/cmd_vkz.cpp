// zelkor vkz create ARCHIVE [--codec C] FILE...
// zelkor vkz list ARCHIVE [NAME...]
// zelkor vkz extract ARCHIVE NAME [-o OUT]
// zelkor vkz verify ARCHIVE
#include "commands.h"

#include "archive/codec.h"
#include "archive/vkz.h"
#include "archive/vkz_write.h"
#include "tool_io.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

static const char* tool = "zelkor vkz";

static int Usage() {
    fprintf(stderr, "usage: zelkor vkz create ARCHIVE [--codec aplib|ucl|bzip2|stored] FILE...\n"
                    "       zelkor vkz list ARCHIVE [NAME...]\n"
                    "       zelkor vkz extract ARCHIVE NAME [-o OUT]\n"
                    "       zelkor vkz verify ARCHIVE\n");
    return 2;
}

static void Hex(const uint8_t* bytes, char* out33) {
    for (int i = 0; i < 16; i++) snprintf(out33 + 2 * i, 3, "%02x", bytes[i]);
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
                "%s: %s: not a valid archive (bad header, or entries that do not fit the file)\n",
                tool, path);
    }
    return nullptr;
}

static const char* BaseName(const char* path) {
    const char* slash = strrchr(path, '/');
    return slash ? slash + 1 : path;
}

static int Create(int argc, char** argv) {
    const char* archivePath = nullptr;
    int codecId = VKZ_CODEC_APLIB;
    std::vector<const char*> files;
    for (int i = 0; i < argc; i++) {
        if (strcmp(argv[i], "--codec") == 0 && i + 1 < argc) {
            codecId = VKZ_CodecIdFromName(argv[++i]);
            if (codecId < 0 || codecId == VKZ_CODEC_MD5) {
                fprintf(stderr, "%s: unknown codec '%s'\n", tool, argv[i]);
                return 2;
            }
        } else if (!archivePath) {
            archivePath = argv[i];
        } else {
            files.push_back(argv[i]);
        }
    }
    if (!archivePath || files.empty()) return Usage();

    const char* why = nullptr;
    VKZ_Writer* writer = VKZ_WriterOpen(archivePath, &why);
    if (!writer) {
        fprintf(stderr, "%s: %s: cannot write: %s\n", tool, archivePath, why);
        return 1;
    }
    for (const char* file : files) {
        const char* name = BaseName(file);
        std::vector<uint8_t> data;
        if (!*name) {
            fprintf(stderr, "%s: %s: no file name to store\n", tool, file);
        } else if (ReadInput(tool, file, TOOL_MAX_INPUT, &data)) {
            int used = VKZ_WriterAdd(writer, name, data.data(), (uint32_t)data.size(), codecId);
            if (used >= 0) continue;
            if (writer->writeFailed)
                fprintf(stderr, "%s: %s: cannot write: %s\n", tool, archivePath, strerror(errno));
            else
                fprintf(stderr, "%s: %s: %s\n", tool, file, writer->error);
        }
        VKZ_WriterAbort(writer);
        return 1;
    }
    if (!VKZ_WriterFinish(writer, &why)) {
        fprintf(stderr, "%s: %s: cannot write: %s\n", tool, archivePath, why);
        return 1;
    }
    return 0;
}

static int List(int argc, char** argv) {
    if (argc < 1) return Usage();
    VKZ_Archive* archive = OpenArchive(argv[0]);
    if (!archive) return 1;
    int status = 0;
    std::vector<const char*> names(archive->entryCount, nullptr);
    for (int i = 1; i < argc; i++) {
        std::string lookup = argv[i];
        VKZ_EntryRecord* entry = VKZ_FindEntry(archive, lookup.data());
        if (!entry) {
            fprintf(stderr, "%s: %s: no entry named '%s'\n", tool, argv[0], argv[i]);
            status = 1;
        } else if (!names[entry - archive->entries]) {
            names[entry - archive->entries] = argv[i];
        }
    }
    for (uint32_t i = 0; i < archive->entryCount; i++) {
        const VKZ_EntryRecord& e = archive->entries[i];
        char nameHex[33], dataHex[33], codec[16];
        Hex(e.nameDigest, nameHex);
        Hex(e.dataDigest, dataHex);
        const char* codecName = VKZ_CodecName((int)e.codecId);
        if (codecName)
            snprintf(codec, sizeof codec, "%s", codecName);
        else
            snprintf(codec, sizeof codec, "#%u", e.codecId);
        printf("%s %s %u %u %u %s %s\n", nameHex, dataHex, e.dataOffset, e.size, e.storedSize,
               codec, names[i] ? names[i] : "-");
    }
    VKZ_Close(archive);
    if (fflush(stdout) != 0) return 1;
    return status;
}

static int Extract(int argc, char** argv) {
    const char* outPath = nullptr;
    std::vector<const char*> args;
    for (int i = 0; i < argc; i++) {
        if (strcmp(argv[i], "-o") == 0 && i + 1 < argc)
            outPath = argv[++i];
        else
            args.push_back(argv[i]);
    }
    if (args.size() != 2) return Usage();
    if (!outPath) outPath = args[1];
    VKZ_Archive* archive = OpenArchive(args[0]);
    if (!archive) return 1;
    std::string lookup = args[1];
    VKZ_EntryRecord* entry = VKZ_FindEntry(archive, lookup.data());
    int status = 1;
    if (!entry) {
        fprintf(stderr, "%s: %s: no entry named '%s'\n", tool, args[0], args[1]);
    } else {
        uint8_t* data = (uint8_t*)malloc(entry->size ? entry->size : 1);
        if (!data)
            fprintf(stderr, "%s: %s: out of memory\n", tool, args[0]);
        else if (!VKZ_ReadEntry(archive, entry, data))
            fprintf(stderr, "%s: %s: entry '%s' is damaged (content digest does not match)\n", tool,
                    args[0], args[1]);
        else if (WriteOutput(tool, outPath, data, entry->size, 1))
            status = 0;
        free(data);
    }
    VKZ_Close(archive);
    return status;
}

static int Verify(int argc, char** argv) {
    if (argc != 1) return Usage();
    VKZ_Archive* archive = OpenArchive(argv[0]);
    if (!archive) return 1;
    uint32_t failed = 0, count = archive->entryCount;
    for (uint32_t i = 0; i < archive->entryCount; i++) {
        VKZ_EntryRecord* e = &archive->entries[i];
        uint8_t* data = (uint8_t*)malloc(e->size ? e->size : 1);
        bool ok = data && VKZ_ReadEntry(archive, e, data);
        free(data);
        char nameHex[33];
        Hex(e->nameDigest, nameHex);
        printf("%s %s\n", nameHex, ok ? "OK" : "FAILED");
        if (!ok) failed++;
    }
    VKZ_Close(archive);
    fflush(stdout);
    if (failed) {
        fprintf(stderr, "%s: %s: %u of %u entries failed to read\n", tool, argv[0], failed, count);
        return 1;
    }
    return 0;
}

int CmdVkz(int argc, char** argv) {
    if (argc < 1) return Usage();
    if (strcmp(argv[0], "create") == 0) return Create(argc - 1, argv + 1);
    if (strcmp(argv[0], "list") == 0) return List(argc - 1, argv + 1);
    if (strcmp(argv[0], "extract") == 0) return Extract(argc - 1, argv + 1);
    if (strcmp(argv[0], "verify") == 0) return Verify(argc - 1, argv + 1);
    return Usage();
}
