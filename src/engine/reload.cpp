#include "engine/reload.h"

#include "archive/vkz.h"
#include "io/read_file.h"
#include "music/sound.h"
#include "scenes/scene_names.h"
#include "sequencing/scene_registry.h"
#include "sequencing/timing_check.h"
#include "sequencing/timing_script.h"
#include "sequencing/timing_text.h"
#include "core/globals.h"

#include <unistd.h>
#include <utility>
#include <vector>

// Said before the library's own "cannot open": why it cannot be read.
static ZK_Status Readable(const char* path) {
    ZK_Status status;
    int fd = IO_OpenRead(path, IO_REGULAR_ONLY, &status);
    if (fd >= 0) close(fd);
    return status;
}

// `lines`, when the timetable came from text, numbers its entries.
static ZK_Status Install(const uint8_t* data, size_t size, const std::vector<int>* lines) {
    TimingTable table = {};
    ZK_Status parsed = ParseTimingScript(data, (uint32_t)size, &table);
    if (!parsed.ok) return parsed;
    // Overlapping entries of one scene draw it again and again each frame.
    std::string overlap = FirstTimingOverlap(table.entries, table.header.count, lines);
    FreeTimingTable(&table);
    if (!overlap.empty()) return ZK_Fail(overlap);
    return ReplaceTimingScript(data, (uint32_t)size) ? ZK_Ok() : ZK_Fail("out of memory");
}

static ZK_Status InstallFromArchive(VKZ_Archive* archive) {
    char name[] = "default.tmg"; // the lookup lower-cases it in place
    VKZ_EntryRecord* record = VKZ_FindEntry(archive, name);
    if (!record) return ZK_Fail("no entry \"default.tmg\"");
    if (record->size > TIMING_MAX_BYTES) return ZK_Fail("default.tmg: too large for a timetable");
    std::vector<uint8_t> buffer(record->size ? record->size : 1);
    if (VKZ_ReadEntry(archive, record, buffer.data()) != 1)
        return ZK_Fail("default.tmg: cannot be unpacked, or fails its digest check");
    ZK_Status installed = Install(buffer.data(), record->size, nullptr);
    if (!installed.ok) installed.problem = "default.tmg: " + installed.problem;
    return installed;
}

ZK_Status Reload_Archive(const char* path, std::vector<std::string>* warnings) {
    ZK_Status status = Readable(path);
    if (!status.ok) return status;
    VKZ_Archive* archive = VKZ_Open(path);
    if (!archive) return ZK_FailIn(path, "not a VKZ archive, or damaged");
    status = ZK_StatusIn(InstallFromArchive(archive), path);
    if (!status.ok) {
        VKZ_Close(archive);
        return status;
    }
    // Before start-up there is none to replace.
    if (g_archive) std::swap(g_archive, archive);
    VKZ_Close(archive);
    if (warnings) {
        *warnings = TimingWarningLines(timingTable.entries, timingTable.header.count, nullptr,
                                       KnownSceneNames());
        for (std::string& w : *warnings) w = "default.tmg: " + w;
    }
    return status;
}

ZK_Status Reload_TimetableText(const char* path, std::vector<std::string>* warnings) {
    std::string text;
    // A line per entry: a text many times the binary limit cannot compile.
    ZK_Status status = IO_ReadText(path, (uint64_t)TIMING_MAX_BYTES * 4, IO_REGULAR_ONLY, &text);
    if (!status.ok) return status;
    std::vector<uint8_t> bytes;
    std::vector<int> lines;
    status = CompileTimingText(text, &bytes, &lines);
    if (status.ok) status = Install(bytes.data(), bytes.size(), &lines);
    if (!status.ok) return ZK_StatusIn(status, path);
    if (warnings)
        *warnings = TimingWarningLines(timingTable.entries, timingTable.header.count, &lines,
                                       KnownSceneNames());
    return status;
}

ZK_Status Reload_Music(const char* path) {
    ZK_Status status = Readable(path);
    if (!status.ok) return status;
    if (g_sound && g_sound->ReopenCurrentStream(path)) return status;
    return ZK_FailIn(path, "no playable MPEG audio in it");
}
