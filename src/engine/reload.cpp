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
static int Readable(const char* path, std::string* why) {
    ZK_Status status;
    int fd = IO_OpenRead(path, IO_REGULAR_ONLY, &status);
    if (fd < 0) {
        *why = status.problem;
        return 0;
    }
    close(fd);
    return 1;
}

// `lines`, when the timetable came from text, numbers its entries.
static int Install(const uint8_t* data, size_t size, const std::vector<int>* lines,
                   std::string* why) {
    TimingTable table = {};
    ZK_Status parsed = ParseTimingScript(data, (uint32_t)size, &table);
    if (!parsed.ok) {
        *why = parsed.problem;
        return 0;
    }
    // Overlapping entries of one scene draw it again and again each frame.
    *why = FirstTimingOverlap(table.entries, table.header.count, lines);
    FreeTimingTable(&table);
    if (!why->empty()) return 0;
    return ReplaceTimingScript(data, (uint32_t)size);
}

static int InstallFromArchive(VKZ_Archive* archive, std::string* why) {
    char name[] = "default.tmg"; // the lookup lower-cases it in place
    VKZ_EntryRecord* record = VKZ_FindEntry(archive, name);
    if (!record) {
        *why = "no entry \"default.tmg\"";
        return 0;
    }
    if (record->size > TIMING_MAX_BYTES) {
        *why = "default.tmg: too large for a timetable";
        return 0;
    }
    std::vector<uint8_t> buffer(record->size ? record->size : 1);
    if (VKZ_ReadEntry(archive, record, buffer.data()) != 1) {
        *why = "default.tmg: cannot be unpacked, or fails its digest check";
        return 0;
    }
    if (Install(buffer.data(), record->size, nullptr, why)) return 1;
    *why = "default.tmg: " + *why;
    return 0;
}

int Reload_Archive(const char* path, std::string* why, std::vector<std::string>* warnings) {
    if (!Readable(path, why)) return 0;
    VKZ_Archive* archive = VKZ_Open(path);
    if (!archive) {
        *why = "not a VKZ archive, or damaged";
        return 0;
    }
    if (!InstallFromArchive(archive, why)) {
        VKZ_Close(archive);
        return 0;
    }
    // Before start-up there is none to replace.
    if (g_archive) std::swap(g_archive, archive);
    VKZ_Close(archive);
    if (warnings) {
        *warnings = TimingWarningLines(timingTable.entries, timingTable.header.count, nullptr,
                                       KnownSceneNames());
        for (std::string& w : *warnings) w = "default.tmg: " + w;
    }
    return 1;
}

int Reload_TimetableText(const char* path, std::string* why, std::vector<std::string>* warnings) {
    std::string text;
    // A line per entry: a text many times the binary limit cannot compile.
    ZK_Status read = IO_ReadText(path, (uint64_t)TIMING_MAX_BYTES * 4, IO_REGULAR_ONLY, &text);
    if (!read.ok) {
        *why = read.problem;
        return 0;
    }
    std::vector<uint8_t> bytes;
    std::vector<int> lines;
    ZK_Status compiled = CompileTimingText(text, &bytes, &lines);
    if (!compiled.ok) {
        *why = compiled.problem;
        return 0;
    }
    if (!Install(bytes.data(), bytes.size(), &lines, why)) return 0;
    if (warnings)
        *warnings = TimingWarningLines(timingTable.entries, timingTable.header.count, &lines,
                                       KnownSceneNames());
    return 1;
}

int Reload_Music(const char* path, std::string* why) {
    if (!Readable(path, why)) return 0;
    if (g_sound && g_sound->ReopenCurrentStream(path)) return 1;
    *why = "no playable MPEG audio in it";
    return 0;
}
