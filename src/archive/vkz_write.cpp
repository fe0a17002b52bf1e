// Archive builder. Every record's dataOffset is the absolute position right
// after it; both digests are computed as the reader checks them.
#include "archive/vkz_write.h"
#include "archive/codec.h"
#include "archive/md5.h"
#include "archive/vkz.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <new>

static void Put32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; i++) p[i] = (uint8_t)(v >> (8 * i));
}

static void FreeWriter(VKZ_Writer* w) {
    if (w->stream && w->stream != w->output.stream) fclose(w->stream);
    IO_OutputAbort(&w->output);
    free(w->memory);
    free(w->names);
    delete w;
}

VKZ_Writer* VKZ_WriterOpen(const char* path, ZK_Status* status) {
    VKZ_Writer* w = new (std::nothrow) VKZ_Writer();
    if (!w) return ZK_Report(status, ZK_FailIn(path, "out of memory")), nullptr;
    ZK_Status opened = IO_OutputOpen(&w->output, path, 0);
    if (!opened.ok) {
        FreeWriter(w);
        return ZK_Report(status, opened), nullptr;
    }
    w->stream = w->output.stream;
    if (fseek(w->stream, 0, SEEK_CUR) != 0) w->stream = open_memstream(&w->memory, &w->memorySize);
    static const uint8_t header[10] = {'V', 'K', 'Z', 0, 1, 0, 0, 0, 0, 0};
    if (!w->stream || fwrite(header, 1, 10, w->stream) != 10) {
        FreeWriter(w);
        return ZK_Report(status, ZK_FailIn(path, "write failed")), nullptr;
    }
    w->position = 10;
    return w;
}

// The entry refused, or (when `file` is named) the archive's write failed.
static int Refuse(ZK_Status* status, const char* problem, const std::string& file = "") {
    return ZK_Report(status, ZK_FailIn(file, problem)), -1;
}

int VKZ_WriterAdd(VKZ_Writer* w, const char* name, const void* data, uint32_t size, int codecId,
                  ZK_Status* status) {
    VKZ_EntryRecord record = {};
    size_t nameLength = strlen(name);
    char* lower = (char*)malloc(nameLength + 1);
    if (!lower) return Refuse(status, "out of memory");
    for (size_t i = 0; i <= nameLength; i++)
        lower[i] = name[i] >= 'A' && name[i] <= 'Z' ? (char)(name[i] - 'A' + 'a') : name[i];
    VKZ_MD5 md5;
    md5.CompressString(lower, record.nameDigest);
    free(lower);
    for (uint32_t i = 0; i < w->entryCount; i++)
        if (memcmp(w->names[i], record.nameDigest, 16) == 0)
            return Refuse(status, "duplicate entry name (names are compared in lower case)");
    if (size > VKZ_MAX_ENTRY_SIZE) return Refuse(status, "entry too large");
    md5.Compress(data, size, record.dataDigest);

    if (codecId == VKZ_CODEC_APLIB && size < 2) codecId = VKZ_CODEC_STORED;
    VKZ_Codec* codec = codecId == VKZ_CODEC_MD5 ? nullptr : VKZ_CreateCodec(codecId);
    if (!codec) return Refuse(status, "unknown codec");
    int bound = codec->MaxCompressedSize(size);
    uint8_t* packed = bound < 0 ? nullptr : (uint8_t*)malloc((size_t)bound);
    int storedSize = packed ? codec->Compress(data, size, packed) : -1;
    delete codec;
    if (storedSize < 0 || (storedSize == 0 && codecId == VKZ_CODEC_APLIB)) {
        free(packed);
        return Refuse(status, "compression failed");
    }

    uint64_t dataOffset = w->position + 48;
    if (dataOffset + (uint64_t)storedSize > 0xFFFFFFFFu) {
        free(packed);
        return Refuse(status, "archive would exceed 4 GiB");
    }
    uint8_t(*names)[16] = (uint8_t(*)[16])realloc(w->names, (w->entryCount + 1) * 16u);
    if (!names) {
        free(packed);
        return Refuse(status, "out of memory");
    }
    w->names = names;

    uint8_t raw[48];
    memcpy(raw, record.nameDigest, 16);
    memcpy(raw + 16, record.dataDigest, 16);
    Put32(raw + 32, (uint32_t)dataOffset);
    Put32(raw + 36, size);
    Put32(raw + 40, (uint32_t)storedSize);
    Put32(raw + 44, (uint32_t)codecId);
    bool written = fwrite(raw, 1, 48, w->stream) == 48 &&
                   fwrite(packed, 1, (size_t)storedSize, w->stream) == (size_t)storedSize;
    free(packed);
    if (!written) return Refuse(status, strerror(errno), w->output.path);
    memcpy(w->names[w->entryCount], record.nameDigest, 16);
    w->entryCount++;
    w->position = dataOffset + (uint64_t)storedSize;
    return codecId;
}

ZK_Status VKZ_WriterFinish(VKZ_Writer* w) {
    uint8_t count[4];
    Put32(count, w->entryCount);
    bool ok = fseek(w->stream, 6, SEEK_SET) == 0 && fwrite(count, 1, 4, w->stream) == 4;
    if (ok && w->stream != w->output.stream) {
        // Memory: closing it makes the buffer final; then it goes out whole.
        ok = fclose(w->stream) == 0;
        w->stream = nullptr;
        ok = ok && fwrite(w->memory, 1, w->memorySize, w->output.stream) == w->memorySize;
    }
    if (!ok) {
        std::string path = w->output.path;
        FreeWriter(w);
        return ZK_FailIn(path, "write failed");
    }
    w->stream = nullptr;
    ZK_Status committed = IO_OutputCommit(&w->output);
    FreeWriter(w);
    return committed;
}

void VKZ_WriterAbort(VKZ_Writer* w) {
    if (w) FreeWriter(w);
}
