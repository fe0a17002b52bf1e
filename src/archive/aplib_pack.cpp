// aPLib packer: an optimal parse over the format's exact bit costs.
//
// The input is parsed in segments of up to segmentSize positions. Within a
// segment a forward dynamic programme keeps, for every position, the cheapest
// ways found to arrive there ("arrivals"), at most one per coder state. The
// state that matters for later costs is the repeat offset and whether the last
// command was a match (which forbids a repeat match next and shortens the
// offset's gamma code). From each arrival we try a literal or single-byte code,
// a repeat match at its own offset and the matches the finder reports, priced
// exactly as they would be written. The cheapest arrival at the segment end is
// traced back and the path is committed up to a margin before the end, where
// truncated matches could have distorted it; the next segment starts there in
// the committed state.
//
// Matches are found through chains of earlier positions holding the same two
// bytes, over a 64 KiB window. Everything lives in the 655360-byte work area:
// two 64 Ki-entry 16-bit tables for the chains and the arrival table.
#include "archive/aplib.h"

#include <cstring>

namespace {

enum : uint32_t {
    windowSize = 65535, // largest offset searched
    arrivalsPerPosition = 32,
    segmentSize = 1023,  // positions per segment; (size + 1) * arrivals fill the work area
    segmentMargin = 256, // path kept back from a segment's end
    chainDepth = 512,    // candidates tried per position
    longMatch = 300,     // a match this long is taken without parsing inside it
    matchRoom = 64,      // candidates kept per position
    paretoReserve = 16,  // of which kept for ever longer matches
    extraLengths = 32,   // lengths tried at offsets that are not the nearest
    runScan = 4096,      // bytes of earlier runs one position may step over
    none = 0xFFFFFFFFu,
};

enum : uint8_t { kindLiteral = 0, kindSingle = 1, kindMatch = 2, kindRepeat = 3 };

// One way of arriving at a position: the command that ends there, the slot at
// its start it extends, the cost so far and the repeat offset it leaves.
struct Arrival {
    uint32_t cost;
    uint32_t rep; // 0: no match has set one yet
    uint16_t len; // bytes the command covers
    uint8_t from; // arrival slot at position - len
    uint8_t kind; // low 2 bits the command; single-byte offset in the high 4
};
static_assert(sizeof(Arrival) == 12, "arrival layout");

struct WorkArea {
    uint16_t head[65536]; // two-byte key -> low 16 bits of its latest position
    uint16_t prev[65536]; // position & 0xFFFF -> distance to the previous one, 0 ends
    Arrival arrivals[(segmentSize + 1) * arrivalsPerPosition];
};
static_assert(sizeof(WorkArea) <= aPLibWorkMemSize, "work area");

inline uint32_t GammaBits(uint32_t v) {
    return 2 * (31 - __builtin_clz(v));
}
inline bool LastWasMatch(uint8_t kind) {
    return (kind & 3) >= kindMatch;
}

// Bits of an explicit-offset match, or none when the format cannot say it.
inline uint32_t MatchCost(uint32_t offset, uint32_t len, bool afterMatch) {
    if (offset < 128 && len <= 3) return 11;
    uint32_t adjust = offset >= 32000 ? 2 : offset >= 1280 ? 1 : offset < 128 ? 2 : 0;
    if (len < adjust + 2) return none;
    return 10 + GammaBits((offset >> 8) + (afterMatch ? 2 : 3)) + GammaBits(len - adjust);
}
inline uint32_t RepeatCost(uint32_t len) {
    return 4 + GammaBits(len);
}

struct Packer {
    const uint8_t* in;
    uint32_t length;
    WorkArea* work;
    uint32_t inserted; // positions below this are in the chains

    uint32_t Key(uint32_t p) const { return in[p] | (uint32_t)in[p + 1] << 8; }

    // Latest chained position at or before `latest` with key `key`, or none.
    uint32_t Newest(uint32_t key, uint32_t latest) const {
        uint32_t c = latest - ((latest - work->head[key]) & 0xFFFF);
        return c <= latest && Key(c) == key ? c : none;
    }

    void Insert(uint32_t p) {
        uint32_t key = Key(p);
        uint32_t c = p ? Newest(key, p - 1) : none;
        uint32_t d = c == none ? 0 : p - c;
        work->prev[p & 0xFFFF] = (uint16_t)(d > windowSize ? 0 : d);
        work->head[key] = (uint16_t)p;
    }

    uint32_t MatchLen(uint32_t p, uint32_t from, uint32_t limit) const {
        uint32_t n = 0;
        while (n + 8 <= limit) {
            uint64_t a, b;
            memcpy(&a, in + p + n, 8);
            memcpy(&b, in + from + n, 8);
            if (a != b) return n + (__builtin_ctzll(a ^ b) >> 3);
            n += 8;
        }
        while (n < limit && in[p + n] == in[from + n]) n++;
        return n;
    }

    // Matches at p, nearest first. Every match longer than all nearer ones is
    // kept; others too while there is room, since a farther offset can pay
    // off later as the repeat offset. Returns the count.
    int FindMatches(uint32_t p, uint32_t maxLen, uint32_t* offsets, uint32_t* lens, int room) {
        if (maxLen < 2 || p + 1 >= length) return 0;
        while (inserted < p && inserted + 1 < length) Insert(inserted++);
        uint32_t key = Key(p);
        uint32_t c = Newest(key, inserted - 1);
        // The chains may already run ahead of p when a segment restarts.
        while (c != none && c >= p) {
            uint32_t d = work->prev[c & 0xFFFF];
            c = d && d <= c ? c - d : none;
        }
        int count = 0;
        uint32_t best = 1;
        // Tries candidate `at`; false once the list is full or a match reaches maxLen.
        auto consider = [&](uint32_t at) {
            if (count < room - (int)paretoReserve || in[at + best] == in[p + best]) {
                uint32_t len = 2 + MatchLen(p + 2, at + 2, maxLen - 2);
                if (len > best || count < room - (int)paretoReserve) {
                    if (len > best) best = len;
                    offsets[count] = p - at;
                    lens[count] = len;
                    if (++count == room || len >= maxLen) return false;
                }
            }
            return true;
        };
        // In a run of one byte every earlier position of such a run is on the
        // chain, which would soon use up the search depth. Within each earlier
        // run only two positions can match differently from the rest: its
        // nearest, and the one whose run ends as far ahead as ours does (the
        // only one that can match past the run). The others are stepped over.
        uint8_t b = in[p];
        uint32_t runEnd = 0, scanned = 0;
        if (in[p + 1] == b)
            for (runEnd = p + 2; runEnd < length && in[runEnd] == b;) runEnd++;
        for (uint32_t depth = 0; c != none && p - c <= windowSize && depth < chainDepth; depth++) {
            if (!consider(c)) break;
            // The scanning is bounded per position; past that, plain chain steps.
            if (runEnd && scanned < runScan) {
                uint32_t start = c, floor = c > runScan - scanned ? c - (runScan - scanned) : 0;
                while (start > floor && p - (start - 1) <= windowSize && in[start - 1] == b)
                    start--;
                scanned += c - start;
                uint32_t end = c + 2;
                while (end < p && in[end] == b) end++;
                uint32_t aligned = end - (runEnd - p); // may wrap: then below start
                if (end < p && aligned >= start && aligned < c && !consider(aligned)) break;
                c = start;
            }
            uint32_t d = work->prev[c & 0xFFFF];
            c = d && d <= c ? c - d : none;
        }
        return count;
    }
};

// Keeps the list sorted by cost with at most one arrival per state.
void Offer(Arrival* list, uint32_t cost, uint32_t rep, uint8_t kind, uint32_t len, uint8_t from) {
    const int K = arrivalsPerPosition;
    if (list[K - 1].cost <= cost) return;
    bool afterMatch = LastWasMatch(kind);
    int at = 0;
    for (; list[at].cost <= cost; at++)
        if (list[at].rep == rep && LastWasMatch(list[at].kind) == afterMatch) return;
    int last = at;
    while (last < K - 1 && list[last].cost != none &&
           !(list[last].rep == rep && LastWasMatch(list[last].kind) == afterMatch))
        last++;
    memmove(list + at + 1, list + at, (size_t)(last - at) * sizeof(Arrival));
    list[at] = Arrival{cost, rep, (uint16_t)len, from, kind};
}

struct BitWriter {
    uint8_t* out;
    uint32_t pos, limit, tagPos, bitsLeft;
    bool full;

    void Byte(uint32_t v) {
        if (pos >= limit) {
            full = true;
            return;
        }
        out[pos++] = (uint8_t)v;
    }
    void Bit(uint32_t b) {
        if (!bitsLeft) {
            if (pos >= limit) {
                full = true;
                return;
            }
            tagPos = pos;
            out[pos++] = 0;
            bitsLeft = 8;
        }
        bitsLeft--;
        if (b) out[tagPos] |= (uint8_t)(1 << bitsLeft);
    }
    void Gamma(uint32_t v) {
        for (int k = 30 - __builtin_clz(v); k >= 0; k--) {
            Bit((v >> k) & 1);
            Bit(k > 0);
        }
    }
};

// Writes one command; `afterMatch` is the state before it.
void Emit(BitWriter& w, const uint8_t* in, uint32_t p, const Arrival& a, bool afterMatch) {
    switch (a.kind & 3) {
    case kindLiteral:
        w.Bit(0);
        w.Byte(in[p]);
        break;
    case kindSingle:
        w.Bit(1), w.Bit(1), w.Bit(1);
        for (int k = 3; k >= 0; k--) w.Bit((a.kind >> (4 + k)) & 1);
        break;
    case kindRepeat:
        w.Bit(1), w.Bit(0);
        w.Gamma(2);
        w.Gamma(a.len);
        break;
    default:
        if (a.rep < 128 && a.len <= 3) {
            w.Bit(1), w.Bit(1), w.Bit(0);
            w.Byte(a.rep << 1 | (a.len - 2));
        } else {
            uint32_t adjust = a.rep >= 32000 ? 2 : a.rep >= 1280 ? 1 : a.rep < 128 ? 2 : 0;
            w.Bit(1), w.Bit(0);
            w.Gamma((a.rep >> 8) + (afterMatch ? 2 : 3));
            w.Byte(a.rep & 255);
            w.Gamma(a.len - adjust);
        }
        break;
    }
}

// Parses [start, end) from the given state and leaves the chosen commands at
// the slot 0 of the positions where they start. Returns the end of the part to
// commit.
uint32_t ParseSegment(Packer& pk, uint32_t start, uint32_t end, uint32_t rep, bool afterMatch,
                      bool* longNext) {
    const uint32_t K = arrivalsPerPosition;
    Arrival* arr = pk.work->arrivals;
    const uint8_t* in = pk.in;
    for (uint32_t i = 0; i < (end - start + 1) * K; i++) arr[i] = Arrival{none, 0, 0, 0, 0};
    arr[0] = Arrival{0, rep, 0, 0, afterMatch ? kindMatch : kindLiteral};

    uint32_t offsets[matchRoom], lens[matchRoom];
    uint32_t skipTo = start;
    for (uint32_t i = start; i < end; i++) {
        Arrival* here = arr + (i - start) * K;
        if (i < skipTo || here[0].cost == none) continue;
        uint32_t maxLen = end - i;

        // Literal, or the 7-bit single-byte code when the byte is 0 or is
        // found up to 15 bytes back. Neither changes the repeat offset.
        uint8_t kind = kindLiteral;
        uint32_t bits = 9;
        if (in[i] == 0) {
            kind = kindSingle, bits = 7;
        } else {
            for (uint32_t o = 1; o <= 15 && o <= i; o++)
                if (in[i - o] == in[i]) {
                    kind = (uint8_t)(kindSingle | o << 4), bits = 7;
                    break;
                }
        }
        int base[2] = {-1, -1}; // cheapest slot after a literal / after a match
        for (uint32_t k = 0; k < K && here[k].cost != none; k++) {
            Offer(here + K, here[k].cost + bits, here[k].rep, kind, 1, (uint8_t)k);
            int m = LastWasMatch(here[k].kind);
            if (base[m] < 0) base[m] = (int)k;
        }

        uint32_t longest = 0, longestEnd = 0;
        // Repeat matches, open only after a literal or single-byte code.
        for (uint32_t k = 0; k < K && here[k].cost != none; k++) {
            uint32_t r = here[k].rep;
            if (LastWasMatch(here[k].kind) || r == 0 || r > i) continue;
            uint32_t len = pk.MatchLen(i, i - r, maxLen);
            uint32_t top = len < longMatch ? len : longMatch;
            for (uint32_t l = 2; l <= top; l++)
                Offer(here + l * K, here[k].cost + RepeatCost(l), r, kindRepeat, l, (uint8_t)k);
            if (len >= longMatch) {
                Offer(here + len * K, here[k].cost + RepeatCost(len), r, kindRepeat, len,
                      (uint8_t)k);
                if (len > longest) longest = len, longestEnd = i + len;
            }
        }

        // Explicit offsets, every length of every candidate: for a given length
        // the nearest offset is cheapest, but the others leave other states.
        int count = pk.FindMatches(i, maxLen, offsets, lens, matchRoom);
        uint32_t shorter = 1;
        for (int m = 0; m < count; m++) {
            uint32_t o = offsets[m], len = lens[m];
            auto offer = [&](uint32_t l) {
                uint32_t cost = none;
                uint8_t from = 0;
                for (int s = 0; s < 2; s++) {
                    uint32_t c = base[s] < 0 ? none : MatchCost(o, l, s == 1);
                    if (c == none) continue;
                    c += here[base[s]].cost;
                    if (c < cost) cost = c, from = (uint8_t)base[s];
                }
                if (cost != none) Offer(here + l * K, cost, o, kindMatch, l, from);
            };
            // Every length the nearer candidates do not reach; below that only
            // a few short ones, which is where another offset can still win.
            uint32_t top = len < longMatch ? len : longMatch;
            uint32_t few = shorter < extraLengths ? shorter : extraLengths;
            if (few > top) few = top;
            for (uint32_t l = 2; l <= few; l++) offer(l);
            for (uint32_t l = shorter + 1; l <= top; l++) offer(l);
            if (len > top) offer(len);
            if (len > shorter) shorter = len;
            if (len >= longMatch && len > longest) longest = len, longestEnd = i + len;
        }
        // Inside a very long match nothing better is likely; jump over it.
        if (longest >= longMatch) skipTo = longestEnd;
        // One that runs into the segment's end would be cut there: end the
        // segment here and let the caller write it at its full length.
        if (longest >= longMatch && longestEnd == end && end < pk.length) {
            end = i;
            *longNext = true;
            break;
        }
    }

    // Trace back from the cheapest arrival at the end, moving each command to
    // slot 0 of the position where it starts.
    uint32_t p = end;
    Arrival a = arr[(end - start) * K];
    while (p > start) {
        uint32_t from = p - a.len;
        Arrival before = arr[(from - start) * K + a.from];
        arr[(from - start) * K] = a;
        a = before;
        p = from;
    }
    if (end == pk.length || *longNext) return end;
    uint32_t commit = start;
    while (commit < end) {
        uint32_t next = commit + arr[(commit - start) * K].len;
        if (next > end - segmentMargin && commit > start) break;
        commit = next;
    }
    return commit;
}

// Writes the longest match at p in one command (or a few, past 65535 bytes),
// by the repeat offset when it reaches as far. Returns the new position.
uint32_t EmitLongMatch(Packer& pk, BitWriter& w, uint32_t p, uint32_t& rep, bool& afterMatch) {
    uint32_t offsets[matchRoom], lens[matchRoom];
    for (;;) {
        uint32_t maxLen = pk.length - p < 65535 ? pk.length - p : 65535;
        int count = pk.FindMatches(p, maxLen, offsets, lens, matchRoom);
        uint32_t len = 0, offset = 0;
        for (int m = 0; m < count; m++)
            if (lens[m] > len) len = lens[m], offset = offsets[m];
        uint8_t kind = kindMatch;
        if (!afterMatch && rep && rep <= p) {
            uint32_t repLen = pk.MatchLen(p, p - rep, maxLen);
            if (repLen >= 2 && repLen >= len) len = repLen, offset = rep, kind = kindRepeat;
        }
        if (len < longMatch) return p;
        Emit(w, pk.in, p, Arrival{0, offset, (uint16_t)len, 0, kind}, afterMatch);
        rep = offset;
        afterMatch = true;
        p += len;
    }
}

uint32_t PackLiterals(const uint8_t* in, uint8_t* out, uint32_t length) {
    BitWriter w{out, 0, 0xFFFFFFFFu, 0, 0, false};
    w.Byte(in[0]);
    for (uint32_t i = 1; i < length; i++) w.Bit(0), w.Byte(in[i]);
    w.Bit(1), w.Bit(1), w.Bit(0);
    w.Byte(0);
    return w.pos;
}

} // namespace

uint32_t aPLibPack(const void* source, void* destination, uint32_t length, void* workMem,
                   aPLibProgress progress) {
    if (!source || !destination || !workMem || length < 2) return 0;
    const uint8_t* in = (const uint8_t*)source;
    uint8_t* out = (uint8_t*)destination;
    WorkArea* work = (WorkArea*)workMem;
    memset(work->head, 0, sizeof work->head);
    memset(work->prev, 0, sizeof work->prev);

    // The output never exceeds the codecs' common bound; should the parse ever
    // come close, plain literals (9 bits a byte) are written instead.
    uint64_t bound = (uint64_t)length + length / 8 + 256;
    BitWriter w{out, 0, bound > 0xFFFFFFFFu ? 0xFFFFFFFFu : (uint32_t)bound, 0, 0, false};
    Packer pk{in, length, work, 0};

    w.Byte(in[0]); // the stream starts with a plain byte
    uint32_t p = 1, rep = 0;
    bool afterMatch = false;
    while (p < length && !w.full) {
        uint32_t end = length - p > segmentSize ? p + segmentSize : length;
        bool longNext = false;
        uint32_t commit = ParseSegment(pk, p, end, rep, afterMatch, &longNext);
        const Arrival* arr = work->arrivals;
        uint32_t start = p;
        while (p < commit) {
            const Arrival& a = arr[(p - start) * arrivalsPerPosition];
            Emit(w, in, p, a, afterMatch);
            afterMatch = LastWasMatch(a.kind);
            rep = a.rep;
            p += a.len;
        }
        if (longNext) p = EmitLongMatch(pk, w, p, rep, afterMatch);
        if (progress && !progress(p, length)) return 0;
    }
    w.Bit(1), w.Bit(1), w.Bit(0);
    w.Byte(0);
    if (w.full) return PackLiterals(in, out, length);
    return w.pos;
}
