// The archive reader. The header and every record are checked against the
// file's real length before anything is allocated from them, so a damaged
// archive fails to open (or an entry fails to read) instead of misbehaving.
#include "archive/vkz.h"
#include "archive/codec.h"
#include "archive/md5.h"
#include "io/read_file.h"

#include <cstdlib>
#include <cstring>
#include <new>

static const uint32_t headerSize = 10;

static void NameDigest(const char* name, uint8_t out[16]) {
    VKZ_MD5 md5;
    md5.CompressString(name, out);
}

static int ReadRecord(FILE* stream, VKZ_EntryRecord* record) {
    uint8_t raw[48];
    if (fread(raw, 1, 48, stream) != 48) return 0;
    memcpy(record->nameDigest, raw, 16);
    memcpy(record->dataDigest, raw + 16, 16);
    uint32_t* fields[4] = {&record->dataOffset, &record->size, &record->storedSize,
                           &record->codecId};
    for (int i = 0; i < 4; i++) {
        const uint8_t* p = raw + 32 + 4 * i;
        *fields[i] =
            (uint32_t)p[0] | (uint32_t)p[1] << 8 | (uint32_t)p[2] << 16 | (uint32_t)p[3] << 24;
    }
    return 1;
}

VKZ_Archive* VKZ_Open(const char* path) {
    VKZ_Archive* archive = new (std::nothrow) VKZ_Archive{};
    if (!archive) return nullptr;
    // A FIFO or device in its place fails like a missing file instead of
    // blocking in open(); the reader seeks, so only a regular file serves.
    archive->stream = IO_FopenRead(path, IO_REGULAR_ONLY, nullptr);
    if (!archive->stream) {
        VKZ_Close(archive);
        return nullptr;
    }

    uint8_t header[headerSize];
    off_t fileSize = -1;
    if (fseeko(archive->stream, 0, SEEK_END) == 0) fileSize = ftello(archive->stream);
    if (fileSize < (off_t)headerSize || fseeko(archive->stream, 0, SEEK_SET) != 0 ||
        fread(header, 1, headerSize, archive->stream) != headerSize) {
        VKZ_Close(archive);
        return nullptr;
    }
    memcpy(archive->magic, header, 4);
    archive->version = (uint16_t)(header[4] | header[5] << 8);
    archive->entryCount = (uint32_t)header[6] | (uint32_t)header[7] << 8 |
                          (uint32_t)header[8] << 16 | (uint32_t)header[9] << 24;
    if (memcmp(archive->magic, "VKZ", 4) != 0 || archive->version != 1) {
        VKZ_Close(archive);
        return nullptr;
    }

    // Every record takes 48 bytes of the file, so a count the file cannot hold
    // is refused before the table is allocated.
    if ((uint64_t)archive->entryCount * 48 > (uint64_t)fileSize - headerSize) {
        VKZ_Close(archive);
        return nullptr;
    }
    archive->entries = (VKZ_EntryRecord*)calloc(archive->entryCount ? archive->entryCount : 1,
                                                sizeof(VKZ_EntryRecord));
    if (!archive->entries) {
        VKZ_Close(archive);
        return nullptr;
    }

    // Records and the data after each must lie inside the file; entry data
    // itself is not read until an entry is.
    uint64_t position = headerSize;
    for (uint32_t i = 0; i < archive->entryCount; i++) {
        VKZ_EntryRecord* record = &archive->entries[i];
        if (!ReadRecord(archive->stream, record)) {
            VKZ_Close(archive);
            return nullptr;
        }
        position += 48 + (uint64_t)record->storedSize;
        if (position > (uint64_t)fileSize || record->size > VKZ_MAX_ENTRY_SIZE ||
            fseeko(archive->stream, (off_t)position, SEEK_SET) != 0) {
            VKZ_Close(archive);
            return nullptr;
        }
    }
    return archive;
}

void VKZ_Close(VKZ_Archive* archive) {
    if (!archive) return;
    free(archive->entries);
    if (archive->stream) fclose(archive->stream);
    delete archive;
}

VKZ_EntryRecord* VKZ_FindEntry(VKZ_Archive* archive, char* name) {
    if (!archive || !name) return nullptr;
    for (char* c = name; *c; c++)
        if (*c >= 'A' && *c <= 'Z') *c = (char)(*c - 'A' + 'a');
    uint8_t digest[16];
    NameDigest(name, digest);
    for (uint32_t i = 0; i < archive->entryCount; i++)
        if (memcmp(archive->entries[i].nameDigest, digest, 16) == 0) return &archive->entries[i];
    return nullptr;
}

// The entry's codec, once its stored data is known to lie inside the file and
// its size within bounds.
static ZK_Status CodecFor(VKZ_Archive* archive, VKZ_EntryRecord* entry, VKZ_Codec** out) {
    // An id no codec has (or the digest's id 2) can never read successfully,
    // even if the record's content digest happens to be all zeros.
    VKZ_Codec* codec = VKZ_CreateCodec((int)entry->codecId);
    if (!codec)
        return ZK_Fail(entry->codecId == VKZ_CODEC_MD5 ? "codec 2 (md5) cannot unpack"
                                                       : "unknown codec id");
    // The open checked the records' own positions, but dataOffset may point anywhere.
    off_t fileSize = -1;
    if (fseeko(archive->stream, 0, SEEK_END) == 0) fileSize = ftello(archive->stream);
    if (fileSize >= 0 && (uint64_t)entry->dataOffset + entry->storedSize <= (uint64_t)fileSize &&
        entry->size <= VKZ_MAX_ENTRY_SIZE) {
        *out = codec;
        return ZK_Ok();
    }
    delete codec;
    return ZK_Fail("the stored data lies outside the file");
}

static const char* SizeProblem(int64_t n) {
    return n < 0 ? "damaged stream (or larger than the entry's size)"
                 : "the stream unpacks to fewer bytes than the entry's size";
}

// The caller names the entry.
static ZK_Status ReadEntry(VKZ_Archive* archive, VKZ_EntryRecord* entry, void* destination) {
    if (!archive || !entry || !destination) return ZK_Fail("no archive, entry or destination");
    VKZ_Codec* codec = nullptr;
    ZK_Status status = CodecFor(archive, entry, &codec);
    if (!status.ok) return status;
    uint8_t* stored = (uint8_t*)malloc(entry->storedSize ? entry->storedSize : 1);
    if (!stored) {
        status = ZK_Fail("out of memory");
    } else if (fseeko(archive->stream, (off_t)entry->dataOffset, SEEK_SET) != 0 ||
               fread(stored, 1, entry->storedSize, archive->stream) != entry->storedSize) {
        status = ZK_Fail("cannot read the stored data");
    } else {
        // Unpacked straight into the caller's buffer, which holds `size` bytes.
        // A decoder failure or a short result is a failed read.
        int n = codec->Decompress(stored, entry->storedSize, destination, entry->size);
        if (n < 0 || (uint32_t)n != entry->size) {
            status = ZK_Fail(SizeProblem(n));
        } else {
            uint8_t digest[16];
            VKZ_MD5 md5;
            md5.Compress(destination, entry->size, digest);
            if (memcmp(digest, entry->dataDigest, 16) != 0)
                status = ZK_Fail("the content digest does not match");
        }
    }
    free(stored);
    delete codec;
    return status;
}

int VKZ_ReadEntry(VKZ_Archive* archive, VKZ_EntryRecord* entry, void* destination,
                  ZK_Status* status) {
    return ZK_Report(status, ReadEntry(archive, entry, destination));
}

namespace {

struct EntryStream {
    FILE* stream = nullptr;
    uint32_t left = 0; // stored bytes not yet read
    int readFailed = 0, stopped = 0;
    VKZ_MD5 md5;
    int (*write)(void* user, const uint8_t* data, uint32_t size) = nullptr;
    void* user = nullptr;
};

int ReadStored(void* user, uint8_t* buffer, uint32_t size) {
    EntryStream* e = (EntryStream*)user;
    if (size > e->left) size = e->left;
    size_t n = size ? fread(buffer, 1, size, e->stream) : 0;
    e->left -= (uint32_t)n;
    if (n < size) e->readFailed = 1;
    return n ? (int)n : size ? -1 : 0;
}

int WriteUnpacked(void* user, const uint8_t* data, uint32_t size) {
    EntryStream* e = (EntryStream*)user;
    e->md5.Update(data, size);
    if (e->write(e->user, data, size)) return 1;
    e->stopped = 1;
    return 0;
}

} // namespace

static ZK_Status StreamEntry(VKZ_Archive* archive, VKZ_EntryRecord* entry,
                             int (*write)(void* user, const uint8_t* data, uint32_t size),
                             void* user) {
    if (!archive || !entry) return ZK_Fail("no archive or entry");
    VKZ_Codec* codec = nullptr;
    ZK_Status status = CodecFor(archive, entry, &codec);
    if (!status.ok) return status;
    EntryStream e;
    e.stream = archive->stream, e.left = entry->storedSize;
    e.write = write, e.user = user;
    VKZ_StreamIO io{ReadStored, WriteUnpacked, &e};
    int64_t n = -1;
    if (fseeko(archive->stream, (off_t)entry->dataOffset, SEEK_SET) == 0)
        n = codec->DecompressStream(&io, entry->storedSize, entry->size);
    delete codec;
    if (e.stopped) return ZK_Fail("the output could not be written");
    if (e.readFailed) return ZK_Fail("cannot read the stored data");
    if (n != (int64_t)entry->size) return ZK_Fail(SizeProblem(n));
    uint8_t digest[16];
    e.md5.Final();
    e.md5.GetDigest(digest);
    if (memcmp(digest, entry->dataDigest, 16) != 0)
        return ZK_Fail("the content digest does not match");
    return ZK_Ok();
}

ZK_Status VKZ_StreamEntry(VKZ_Archive* archive, VKZ_EntryRecord* entry,
                          int (*write)(void* user, const uint8_t* data, uint32_t size),
                          void* user) {
    return StreamEntry(archive, entry, write, user);
}
