// Archive builder. Every record's dataOffset is the absolute position right
// after it; both digests are computed as the reader checks them.
#include "archive/vkz_write.h"
#include "archive/codec.h"
#include "archive/md5.h"
#include "archive/vkz.h"

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

VKZ_Writer* VKZ_WriterOpen(const char* path, const char** why) {
    VKZ_Writer* w = new (std::nothrow) VKZ_Writer();
    if (!w) {
        if (why) *why = "out of memory";
        return nullptr;
    }
    if (!IO_OutputOpen(&w->output, path, 0, why)) {
        FreeWriter(w);
        return nullptr;
    }
    w->stream = w->output.stream;
    if (fseek(w->stream, 0, SEEK_CUR) != 0) w->stream = open_memstream(&w->memory, &w->memorySize);
    static const uint8_t header[10] = {'V', 'K', 'Z', 0, 1, 0, 0, 0, 0, 0};
    if (!w->stream || fwrite(header, 1, 10, w->stream) != 10) {
        if (why) *why = "write failed";
        FreeWriter(w);
        return nullptr;
    }
    w->position = 10;
    return w;
}

int VKZ_WriterAdd(VKZ_Writer* w, const char* name, const void* data, uint32_t size, int codecId) {
    VKZ_EntryRecord record = {};
    size_t nameLength = strlen(name);
    char* lower = (char*)malloc(nameLength + 1);
    if (!lower) return w->error = "out of memory", -1;
    for (size_t i = 0; i <= nameLength; i++)
        lower[i] = name[i] >= 'A' && name[i] <= 'Z' ? (char)(name[i] - 'A' + 'a') : name[i];
    VKZ_MD5 md5;
    md5.CompressString(lower, record.nameDigest);
    free(lower);
    for (uint32_t i = 0; i < w->entryCount; i++)
        if (memcmp(w->names[i], record.nameDigest, 16) == 0)
            return w->error = "duplicate entry name (names are compared in lower case)", -1;
    if (size > VKZ_MAX_ENTRY_SIZE) return w->error = "entry too large", -1;
    md5.Compress(data, size, record.dataDigest);

    if (codecId == VKZ_CODEC_APLIB && size < 2) codecId = VKZ_CODEC_STORED;
    VKZ_Codec* codec = codecId == VKZ_CODEC_MD5 ? nullptr : VKZ_CreateCodec(codecId);
    if (!codec) return w->error = "unknown codec", -1;
    int bound = codec->MaxCompressedSize(size);
    uint8_t* packed = bound < 0 ? nullptr : (uint8_t*)malloc((size_t)bound);
    int storedSize = packed ? codec->Compress(data, size, packed) : -1;
    delete codec;
    if (storedSize < 0 || (storedSize == 0 && codecId == VKZ_CODEC_APLIB)) {
        free(packed);
        return w->error = "compression failed", -1;
    }

    uint64_t dataOffset = w->position + 48;
    if (dataOffset + (uint64_t)storedSize > 0xFFFFFFFFu) {
        free(packed);
        return w->error = "archive would exceed 4 GiB", -1;
    }
    uint8_t(*names)[16] = (uint8_t(*)[16])realloc(w->names, (w->entryCount + 1) * 16u);
    if (!names) {
        free(packed);
        return w->error = "out of memory", -1;
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
    if (!written) return w->writeFailed = 1, w->error = "write failed", -1;
    memcpy(w->names[w->entryCount], record.nameDigest, 16);
    w->entryCount++;
    w->position = dataOffset + (uint64_t)storedSize;
    return codecId;
}

int VKZ_WriterFinish(VKZ_Writer* w, const char** why) {
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
        if (why) *why = "write failed";
        FreeWriter(w);
        return 0;
    }
    w->stream = nullptr;
    ok = IO_OutputCommit(&w->output, why);
    FreeWriter(w);
    return ok;
}

void VKZ_WriterAbort(VKZ_Writer* w) {
    if (w) FreeWriter(w);
}
