#include "sequencing/scene_registry.h"

#include "sequencing/scene_state.h"
#include "sequencing/timing_script.h"

#include <cstdlib>
#include <cstring>

// The scene registry (grown one record at a time), where the frames come
// from, and whether the timetable (timingTable) is loaded.
static struct {
    SceneFrameSource frameSource;
    SceneRecord* sceneRecords = nullptr;
    int sceneCount = 0;
    int timingLoaded = 0;
} sequencing;

int RegisterScene(const char* name, SceneCallback callback, void* state, SceneSlot* slot) {
    // Grows by exactly one record each time; registration happens only at start-up.
    SceneRecord* grown = (SceneRecord*)realloc(
        sequencing.sceneRecords, (size_t)(sequencing.sceneCount + 1) * sizeof(SceneRecord));
    if (!grown) return 0;
    sequencing.sceneRecords = grown;
    SceneRecord* record = &sequencing.sceneRecords[sequencing.sceneCount++];
    memset(record, 0, sizeof(*record));
    record->callback = callback;
    record->state = state;
    record->slot = slot;
    if (name) strncpy(record->name, name, sizeof(record->name) - 1);
    return 1;
}

static int LowerAscii(unsigned char c) {
    return c >= 'A' && c <= 'Z' ? c + ('a' - 'A') : c;
}

int SceneNameMatches(const char* a, const char* b) {
    for (int i = 0; i < 64; i++) {
        if (LowerAscii((unsigned char)a[i]) != LowerAscii((unsigned char)b[i])) return 0;
        if (a[i] == 0) return 1;
    }
    return 1;
}

// "ende" holds from its start on: a frame longer than the whole entry (a
// stall, a slow start) must not skip it, or the show would never end.
static int EntryActive(const TimingEntry& entry, uint32_t t) {
    if (SceneNameMatches(entry.name, "ende")) return entry.start <= t;
    return TimingEntryActive(entry, t);
}

void SetSceneFrameSource(const SceneFrameSource* source) {
    sequencing.frameSource = source ? *source : SceneFrameSource();
}

static uint32_t MusicTime() {
    const SceneFrameSource& source = sequencing.frameSource;
    return source.musicTime ? source.musicTime(source.user) : 0;
}

static void CallScene(const SceneRecord& record) {
    SceneFrame frame;
    frame.musicTime = MusicTime();
    const SceneFrameSource& source = sequencing.frameSource;
    if (source.frameAt) source.frameAt(source.user, frame.musicTime, &frame);
    frame.state = record.state;
    SceneState_SetOwner(record.slot);
    record.callback(frame);
    SceneState_SetOwner(nullptr);
}

int SceneDispatcher() {
    if (!sequencing.timingLoaded) {
        sequencing.timingLoaded = LoadTimingScript();
        if (!sequencing.timingLoaded) return 0;
    }
    // The clock is read afresh for every test and every call, as scenes see it.
    for (uint32_t i = 0; i < timingTable.header.count; i++) {
        const TimingEntry& entry = timingTable.entries[i];
        if (!EntryActive(entry, MusicTime())) continue;
        // By index: a scene that registers another must not pull the array away.
        for (int s = 0; s < sequencing.sceneCount; s++) {
            if (SceneNameMatches(sequencing.sceneRecords[s].name, entry.name))
                CallScene(sequencing.sceneRecords[s]);
        }
    }
    // A gap in the timetable is not an error: the show waits for the next entry.
    return 1;
}

int ReplaceTimingScript(const void* data, uint32_t size) {
    if (!ParseTimingScript(data, size, &timingTable).ok) return 0;
    sequencing.timingLoaded = 1;
    return 1;
}

void ClearRegisteredScenes() {
    free(sequencing.sceneRecords);
    sequencing.sceneRecords = nullptr;
    sequencing.sceneCount = 0;
}

void FreeSceneTables() {
    ClearRegisteredScenes();
    FreeTimingTable(&timingTable);
    sequencing.timingLoaded = 0;
}
