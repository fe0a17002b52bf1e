#include "sequencing/track_file.h"

#include "sequencing/text_line.h"

#include <cmath>
#include <cstring>
#include <unordered_set>

static void PutU32(std::vector<uint8_t>* out, uint32_t v) {
    for (int i = 0; i < 4; i++) out->push_back((uint8_t)(v >> (8 * i)));
}

static void PutF32(std::vector<uint8_t>* out, float f) {
    uint32_t v;
    memcpy(&v, &f, 4);
    PutU32(out, v);
}

void EncodeTrackFile(const TrackSet& set, std::vector<uint8_t>* out) {
    out->assign({'T', 'R', 'K', 0});
    PutU32(out, TRACK_FILE_VERSION);
    PutF32(out, set.grid.bpm);
    PutU32(out, set.grid.rowsPerBeat);
    PutU32(out, (uint32_t)set.tracks.size());
    for (const Track& track : set.tracks) {
        PutU32(out, (uint32_t)track.name.size());
        out->insert(out->end(), track.name.begin(), track.name.end());
        PutU32(out, (uint32_t)track.keys.size());
        for (const TrackKey& key : track.keys) {
            PutU32(out, key.row);
            PutF32(out, key.value);
            PutU32(out, key.interp);
        }
    }
}

struct Reader {
    const uint8_t* data;
    size_t size;
    size_t at;
    std::string problem; // "offset N: ..." once something is wrong

    int Fail(size_t offset, const std::string& why) {
        problem = "offset " + std::to_string(offset) + ": " + why;
        return 0;
    }
    // `what` needs n bytes from here.
    int Need(uint64_t n, const char* what) {
        if (n <= size - at) return 1;
        return Fail(at, "cut short: " + std::to_string(n) + " bytes needed for " + what + ", " +
                            std::to_string(size - at) + " left");
    }
    uint32_t U32() {
        uint32_t v = 0;
        for (int i = 0; i < 4; i++) v |= (uint32_t)data[at + i] << (8 * i);
        at += 4;
        return v;
    }
    float F32() {
        uint32_t v = U32();
        float f;
        memcpy(&f, &v, 4);
        return f;
    }
};

static int ReadTrack(Reader* r, Track* track, std::unordered_set<std::string>* names) {
    size_t start = r->at;
    if (!r->Need(4, "a track's name length")) return 0;
    uint32_t length = r->U32();
    if (length < 1 || length > TRACK_MAX_NAME)
        return r->Fail(start, "name length " + std::to_string(length) + " (1 to 255)");
    if (!r->Need(length, "a track's name")) return 0;
    track->name.assign((const char*)r->data + r->at, length);
    if (memchr(track->name.data(), 0, length)) return r->Fail(r->at, "a zero byte in a track name");
    if (!names->insert(track->name).second)
        return r->Fail(r->at,
                       "a second track named " + TextLine_FormatName(track->name.data(), length));
    r->at += length;
    size_t countAt = r->at;
    if (!r->Need(4, "a track's key count")) return 0;
    uint32_t count = r->U32();
    if (count > TRACK_MAX_KEYS)
        return r->Fail(countAt, std::to_string(count) + " keys, more than 1048576");
    if (!r->Need((uint64_t)count * 12, "the keys")) return 0;
    track->keys.resize(count);
    for (uint32_t i = 0; i < count; i++) {
        size_t at = r->at;
        TrackKey& key = track->keys[i];
        key.row = r->U32();
        key.value = r->F32();
        uint32_t interp = r->U32();
        if (i > 0 && key.row <= track->keys[i - 1].row)
            return r->Fail(at, "row " + std::to_string(key.row) + " is not after row " +
                                   std::to_string(track->keys[i - 1].row));
        if (!std::isfinite(key.value)) return r->Fail(at + 4, "NaN or infinity is no value");
        if (interp >= TRACK_INTERP_COUNT)
            return r->Fail(at + 8, "interpolation " + std::to_string(interp) + " (0 to 3)");
        key.interp = (uint8_t)interp;
    }
    return 1;
}

ZK_Status DecodeTrackFile(const uint8_t* data, size_t size, TrackSet* out) {
    Reader r = {data, size, 0, {}};
    TrackSet set;
    std::unordered_set<std::string> names;
    int ok = r.Need(20, "the header");
    if (ok && memcmp(data, "TRK", 4) != 0) ok = r.Fail(0, "not a track file (no \"TRK\\0\")");
    r.at = 4;
    uint32_t version = ok ? r.U32() : 0;
    if (ok && version != TRACK_FILE_VERSION)
        ok = r.Fail(4, "version " + std::to_string(version) + " (this reads version 1)");
    if (ok) set.grid.bpm = r.F32();
    if (ok && !(set.grid.bpm >= 1 && set.grid.bpm <= 1000))
        ok = r.Fail(8, "bpm must be from 1 to 1000");
    if (ok) set.grid.rowsPerBeat = r.U32();
    if (ok && (set.grid.rowsPerBeat < 1 || set.grid.rowsPerBeat > 256))
        ok = r.Fail(12, "rows per beat must be from 1 to 256");
    uint32_t count = ok ? r.U32() : 0;
    if (ok && count > TRACK_MAX_TRACKS)
        ok = r.Fail(16, std::to_string(count) + " tracks, more than 65536");
    // Each track takes 9 bytes or more: no more than that is reserved.
    if (ok) set.tracks.reserve(std::min<size_t>(count, (size - r.at) / 9));
    for (uint32_t i = 0; ok && i < count; i++) {
        set.tracks.emplace_back();
        ok = ReadTrack(&r, &set.tracks.back(), &names);
    }
    if (ok && r.at != size)
        ok = r.Fail(r.at, std::to_string(size - r.at) + " bytes after the last track");
    if (!ok) return ZK_Fail(r.problem);
    *out = std::move(set);
    return ZK_Ok();
}
