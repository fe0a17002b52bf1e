// aPLib packer: an optimal parse over the format's exact bit costs.
//
// The input is parsed in segments of up to segmentSize positions. Within a
// segment a forward dynamic programme keeps, for every position, the cheapest
// ways found to arrive there ("arrivals"), at most one per coder state. The
// state that matters for later costs is the repeat offset and whether the last
// command was a match (which forbids a repeat match next and shortens the
// offset's gamma code). From each arrival we try a literal or single-byte code,
// a repeat match at its own offset and the matches the finder reports, priced
// exactly as they would be written. An arrival that costs more than the
// cheapest one at its position by more than its repeat offset could ever win
// back is dropped (Slack). The cheapest arrival at the segment end is traced
// back and the path is committed up to a margin before the end, where
// truncated matches could have distorted it; the next segment starts there in
// the committed state.
//
// Which lengths of a match are worth trying: for a given length the nearest
// offset is the cheapest (but for the two lengths after each power of two,
// where the shorter length code of offsets from 1280 on can win), so a farther
// offset is tried at the lengths no nearer one reaches. Below that its offset
// only matters as the repeat offset it leaves, and a piece of a match followed
// by a literal and a repeat of the same offset always costs more than the one
// longer match: so there only its full length is tried.
//
// Matches come from two finders. A binary tree per two-byte key over a window
// as long as the input (at most windowLimit) gives, for every length, the
// nearest offset its walk meets: the format's offsets have no limit of their
// own, so a match may reach anywhere in the window. Chains of the positions
// holding the same two bytes over the last 64 KiB add the nearby offsets that
// match no longer than nearer ones, which can pay off as repeat offsets.
//
// Memory, bounded whatever the input's length: the caller's work area holds the
// chains (256 KiB) and the tree's heads (256 KiB); the packer allocates the
// tree's links, 8 bytes per window position (the input's length rounded up to
// a power of two, at most windowLimit: up to 32 MiB), the arrival table
// ((segmentSize + 1) x 32 x 12 bytes, 1.5 MiB) and the finder's results for
// one segment (4096 x 520 bytes, 2 MiB): about 36 MiB at most, less for
// shorter inputs.
#include "archive/aplib.h"

#include <cstdlib>
#include <cstring>

namespace {

enum : uint32_t {
    windowLimit = 1u << 22, // offsets searched stay below it: 4 MiB
    treeDepth = 48,         // tree nodes visited per position
    niceLength = 128,       // tree comparisons stop at this length
    nearWindow = 65535,     // reach of the chains
    nearDepth = 48,         // chain candidates tried per position
    arrivalsPerPosition = 32,
    segmentSize = 4095,  // positions per segment
    segmentMargin = 256, // path kept back from a segment's end
    rowCount = 4096,     // finder results kept, one segment's worth
    longMatch = 300,     // a match this long is taken without parsing inside it
    matchRoom = 64,      // candidates kept per position
    paretoReserve = 16,  // of which kept for ever longer matches
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

// The finder's candidates at one position, nearest first, at their full
// lengths (up to the input's end).
struct Row {
    uint32_t pos, count;
    uint32_t offset[matchRoom], len[matchRoom];
};

struct WorkArea {
    uint16_t nearHead[65536]; // two-byte key -> low 16 bits of its latest position
    uint16_t nearPrev[65536]; // position & 0xFFFF -> distance to the previous one, 0 ends
    uint32_t treeHead[65536]; // two-byte key -> its latest position (the tree's root)
};
static_assert(sizeof(WorkArea) <= aPLibWorkMemSize, "work area");

inline uint32_t GammaBits(uint32_t v) {
    return 2 * (31 - __builtin_clz(v));
}
inline bool LastWasMatch(uint8_t kind) {
    return (kind & 3) >= kindMatch;
}
inline uint32_t LengthAdjust(uint32_t offset) {
    return offset >= 32000 ? 2 : offset >= 1280 ? 1 : offset < 128 ? 2 : 0;
}

// Bits of an explicit-offset match, or none when the format cannot say it.
inline uint32_t MatchCost(uint32_t offset, uint32_t len, bool afterMatch) {
    if (offset < 128 && len <= 3) return 11;
    uint32_t adjust = LengthAdjust(offset);
    if (len < adjust + 2) return none;
    return 10 + GammaBits((offset >> 8) + (afterMatch ? 2 : 3)) + GammaBits(len - adjust);
}
inline uint32_t RepeatCost(uint32_t len) {
    return 4 + GammaBits(len);
}

// How much more than the cheapest arrival at a position one with repeat offset
// `rep` may cost and still lead to a cheaper stream. The cheapest can follow
// any path from the other, paying an explicit match where that path first
// repeats `rep` (its price over a repeat match is this bound) or at most 2 bits
// for the other state's first match; from then on the two are in one state.
inline uint32_t Slack(uint32_t rep) {
    return 6 + GammaBits((rep >> 8) + 3);
}

inline uint32_t MatchLen(const uint8_t* a, const uint8_t* b, uint32_t limit) {
    uint32_t n = 0;
    while (n + 8 <= limit) {
        uint64_t x, y;
        memcpy(&x, a + n, 8);
        memcpy(&y, b + n, 8);
        if (x != y) return n + (__builtin_ctzll(x ^ y) >> 3);
        n += 8;
    }
    while (n < limit && a[n] == b[n]) n++;
    return n;
}

// The end of the run of byte b from `from` on, at most `limit`.
inline uint32_t RunForward(const uint8_t* in, uint32_t from, uint32_t limit, uint8_t b) {
    const uint64_t all = 0x0101010101010101ull * b;
    while (from + 8 <= limit) {
        uint64_t x;
        memcpy(&x, in + from, 8);
        if (x != all) return from + (__builtin_ctzll(x ^ all) >> 3);
        from += 8;
    }
    while (from < limit && in[from] == b) from++;
    return from;
}

// The start of the run of byte b that ends at `to`, at least `floor`.
inline uint32_t RunBack(const uint8_t* in, uint32_t to, uint32_t floor, uint8_t b) {
    const uint64_t all = 0x0101010101010101ull * b;
    while (to >= floor + 8) {
        uint64_t x;
        memcpy(&x, in + to - 8, 8);
        if (x != all) return to - (__builtin_clzll(x ^ all) >> 3);
        to -= 8;
    }
    while (to > floor && in[to - 1] == b) to--;
    return to;
}

struct Finder {
    const uint8_t* in;
    uint32_t length;
    WorkArea* work;
    uint32_t* links; // per window slot: the smaller and the larger subtree
    uint32_t mask;   // window size - 1
    uint32_t next;   // positions below this are in both finders
    Row* rows;       // a ring of rowMask + 1, one segment's worth
    uint32_t rowMask;

    uint32_t Key(uint32_t p) const { return in[p] | (uint32_t)in[p + 1] << 8; }

    // Candidates along the chains, nearest first: the nearest ones whatever
    // their length, then only ever longer ones. Returns the count.
    uint32_t Near(uint32_t p, uint32_t* offsets, uint32_t* lens) const {
        const uint32_t maxLen = length - p, room = matchRoom - paretoReserve;
        uint32_t key = Key(p);
        uint32_t c = p - 1 - ((p - 1 - work->nearHead[key]) & 0xFFFF);
        if (c >= p || Key(c) != key) return 0;
        uint32_t count = 0, best = 1;
        // Tries candidate `at`; false once the list is full or a match reaches maxLen.
        auto consider = [&](uint32_t at) {
            if (count < room || in[at + best] == in[p + best]) {
                uint32_t len = 2 + MatchLen(in + p + 2, in + at + 2, maxLen - 2);
                if (len > best || count < room) {
                    if (len > best) best = len;
                    offsets[count] = p - at;
                    lens[count] = len;
                    if (++count == matchRoom || len >= maxLen) return false;
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
        if (in[p + 1] == b) runEnd = RunForward(in, p + 2, length, b);
        for (uint32_t depth = 0; c != none && p - c <= nearWindow && depth < nearDepth; depth++) {
            if (!consider(c)) break;
            // The scanning is bounded per position; past that, plain chain steps.
            if (runEnd && scanned < runScan) {
                uint32_t floor = c > runScan - scanned ? c - (runScan - scanned) : 0;
                if (p > nearWindow && floor < p - nearWindow) floor = p - nearWindow;
                uint32_t start = RunBack(in, c, floor, b);
                scanned += c - start;
                uint32_t end = RunForward(in, c + 2, p, b);
                uint32_t aligned = end - (runEnd - p); // may wrap: then below start
                if (end < p && aligned >= start && aligned < c && !consider(aligned)) break;
                c = start;
            }
            uint32_t d = work->nearPrev[c & 0xFFFF];
            c = d && d <= c ? c - d : none;
        }
        return count;
    }

    void NearInsert(uint32_t p) {
        uint32_t key = Key(p), d = 0;
        if (p) {
            uint32_t c = p - 1 - ((p - 1 - work->nearHead[key]) & 0xFFFF);
            if (c < p && Key(c) == key) d = p - c;
        }
        work->nearPrev[p & 0xFFFF] = (uint16_t)(d > nearWindow ? 0 : d);
        work->nearHead[key] = (uint16_t)p;
    }

    // Inserts p as the root of its key's tree, which keeps the window's
    // positions in the order of the strings that start there, each above the
    // older ones. The walk down meets the nearest candidates first; each one
    // longer than all before it is reported (when offsets is not null), the
    // longest at its full length. Returns the count.
    uint32_t Tree(uint32_t p, uint32_t* offsets, uint32_t* lens) {
        const uint32_t avail = length - p, limit = avail < niceLength ? avail : niceLength;
        uint32_t key = Key(p), cur = work->treeHead[key];
        work->treeHead[key] = p;
        uint32_t* smaller = &links[2 * (p & mask)];
        uint32_t* larger = smaller + 1;
        uint32_t lenSmaller = 2, lenLarger = 2, best = 1, count = 0;
        for (uint32_t depth = 0;; depth++) {
            if (cur == none || p - cur > mask || depth == treeDepth) {
                *smaller = *larger = none;
                break;
            }
            uint32_t* pair = &links[2 * (cur & mask)];
            uint32_t len = lenSmaller < lenLarger ? lenSmaller : lenLarger;
            len += MatchLen(in + p + len, in + cur + len, limit - len);
            if (len > best) {
                best = len;
                if (offsets) {
                    offsets[count] = p - cur;
                    lens[count++] = len;
                }
            }
            if (len == limit) { // p takes cur's place
                *smaller = pair[0];
                *larger = pair[1];
                break;
            }
            if (in[cur + len] < in[p + len]) {
                *smaller = cur;
                smaller = &pair[1];
                cur = *smaller;
                lenSmaller = len;
            } else {
                *larger = cur;
                larger = &pair[0];
                cur = *larger;
                lenLarger = len;
            }
        }
        if (count && best == niceLength && avail > niceLength) {
            uint32_t from = p - offsets[count - 1];
            lens[count - 1] += MatchLen(in + p + best, in + from + best, avail - best);
        }
        return count;
    }

    // Adds position `next` to both finders, recording its candidates when asked.
    void Advance(bool record) {
        uint32_t p = next++;
        if (length - p < 2) return;
        if (!record) {
            NearInsert(p);
            Tree(p, nullptr, nullptr);
            return;
        }
        uint32_t nearOff[matchRoom], nearLen[matchRoom], treeOff[treeDepth], treeLen[treeDepth];
        uint32_t n = Near(p, nearOff, nearLen);
        NearInsert(p);
        uint32_t t = Tree(p, treeOff, treeLen);
        // Both lists run nearest first: merge them, keeping the nearby ones
        // whatever their length while there is room and the ever longer ones.
        Row& row = rows[p & rowMask];
        row.pos = p;
        uint32_t count = 0, best = 1, a = 0, b = 0;
        while ((a < n || b < t) && count < matchRoom) {
            uint32_t o, len;
            if (b == t || (a < n && nearOff[a] <= treeOff[b])) {
                o = nearOff[a], len = nearLen[a];
                if (b < t && treeOff[b] == o) b++;
                a++;
            } else {
                o = treeOff[b], len = treeLen[b++];
            }
            if (len > best || count < matchRoom - paretoReserve) {
                if (len > best) best = len;
                row.offset[count] = o;
                row.len[count++] = len;
            }
        }
        row.count = count;
    }

    // The candidates at p. Positions are added in order; one passed over
    // without recording (inside a long match) has none.
    const Row& At(uint32_t p) {
        while (next < p) Advance(false);
        if (next == p) Advance(true);
        Row& row = rows[p & rowMask];
        if (row.pos != p) row.pos = p, row.count = 0;
        return row;
    }
};

// Keeps the list sorted by cost with at most one arrival per state.
void Offer(Arrival* list, uint32_t cost, uint32_t rep, uint8_t kind, uint32_t len, uint8_t from) {
    const int K = arrivalsPerPosition;
    if (list[K - 1].cost <= cost) return;
    if (list[0].cost != none && cost >= list[0].cost + Slack(rep)) return;
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

// Writes one command covering `len` bytes at p; `afterMatch` is the state before it.
void Emit(BitWriter& w, const uint8_t* in, uint32_t p, uint8_t kind, uint32_t offset, uint32_t len,
          bool afterMatch) {
    switch (kind & 3) {
    case kindLiteral:
        w.Bit(0);
        w.Byte(in[p]);
        break;
    case kindSingle:
        w.Bit(1), w.Bit(1), w.Bit(1);
        for (int k = 3; k >= 0; k--) w.Bit((kind >> (4 + k)) & 1);
        break;
    case kindRepeat:
        w.Bit(1), w.Bit(0);
        w.Gamma(2);
        w.Gamma(len);
        break;
    default:
        if (offset < 128 && len <= 3) {
            w.Bit(1), w.Bit(1), w.Bit(0);
            w.Byte(offset << 1 | (len - 2));
        } else {
            w.Bit(1), w.Bit(0);
            w.Gamma((offset >> 8) + (afterMatch ? 2 : 3));
            w.Byte(offset & 255);
            w.Gamma(len - LengthAdjust(offset));
        }
        break;
    }
}

struct Packer {
    const uint8_t* in;
    uint32_t length;
    Finder finder;
    Arrival* arrivals; // (segmentSize + 1) x arrivalsPerPosition
};

// Parses [start, end) from the given state and leaves the chosen commands at
// the slot 0 of the positions where they start. Returns the end of the part to
// commit.
uint32_t ParseSegment(Packer& pk, uint32_t start, uint32_t end, uint32_t rep, bool afterMatch,
                      bool* longNext) {
    const uint32_t K = arrivalsPerPosition;
    Arrival* arr = pk.arrivals;
    const uint8_t* in = pk.in;
    for (uint32_t i = 0; i < (end - start + 1) * K; i++) arr[i] = Arrival{none, 0, 0, 0, 0};
    arr[0] = Arrival{0, rep, 0, 0, afterMatch ? kindMatch : kindLiteral};

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
        // Arrivals that a cheaper one has overtaken since they were offered
        // are left out.
        bool live[K];
        for (uint32_t k = 0; k < K && here[k].cost != none; k++)
            live[k] = here[k].cost < here[0].cost + Slack(here[k].rep);
        for (uint32_t k = 0; k < K && here[k].cost != none; k++) {
            if (!live[k]) continue;
            Offer(here + K, here[k].cost + bits, here[k].rep, kind, 1, (uint8_t)k);
            int m = LastWasMatch(here[k].kind);
            if (base[m] < 0) base[m] = (int)k;
        }

        // The longest match from here at its full length, and the longest of
        // the finder's (which the caller can write again from here).
        uint32_t longest = 0, longestFound = 0;
        // Repeat matches, open only after a literal or single-byte code.
        for (uint32_t k = 0; k < K && here[k].cost != none; k++) {
            uint32_t r = here[k].rep;
            if (!live[k] || LastWasMatch(here[k].kind) || r == 0 || r > i) continue;
            uint32_t full = MatchLen(in + i, in + i - r, pk.length - i);
            uint32_t len = full < maxLen ? full : maxLen;
            uint32_t top = len < longMatch ? len : longMatch;
            for (uint32_t l = 2; l <= top; l++)
                Offer(here + l * K, here[k].cost + RepeatCost(l), r, kindRepeat, l, (uint8_t)k);
            if (len > top)
                Offer(here + len * K, here[k].cost + RepeatCost(len), r, kindRepeat, len,
                      (uint8_t)k);
            if (full > longest) longest = full;
        }

        const Row& row = pk.finder.At(i);
        uint32_t shorter = 1;
        for (uint32_t m = 0; m < row.count; m++) {
            uint32_t o = row.offset[m], full = row.len[m];
            uint32_t len = full < maxLen ? full : maxLen;
            if (full > longestFound) longestFound = full;
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
            // The lengths no nearer offset reaches, or else the full length;
            // below, the lengths where the shorter length code can win.
            if (len > shorter) {
                uint32_t top = len < longMatch ? len : longMatch;
                for (uint32_t l = shorter + 1; l <= top; l++) offer(l);
                if (len > top) offer(len);
            } else {
                offer(len);
            }
            if (o >= 1280)
                for (uint32_t l = 4; l <= shorter && l < len; l *= 2) {
                    offer(l);
                    if (l + 1 <= shorter && l + 1 < len) offer(l + 1);
                }
            if (len > shorter) shorter = len;
        }
        if (longestFound > longest) longest = longestFound;
        if (longest >= longMatch) {
            // Inside a very long match nothing better is likely; jump over it.
            // One that runs into the segment's end would be cut there: end the
            // segment here and let the caller write it at its full length.
            if (longestFound >= longMatch && i + longestFound >= end && end < pk.length) {
                end = i;
                *longNext = true;
                break;
            }
            skipTo = i + longest;
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

// Writes the longest match at p in one command, by the repeat offset when it
// reaches as far, while one of at least longMatch bytes is there. Returns the
// new position.
uint32_t EmitLongMatches(Packer& pk, BitWriter& w, uint32_t p, uint32_t& rep, bool& afterMatch) {
    while (p < pk.length) {
        const Row& row = pk.finder.At(p);
        uint32_t len = 0, offset = 0;
        for (uint32_t m = 0; m < row.count; m++)
            if (row.len[m] > len) len = row.len[m], offset = row.offset[m];
        uint8_t kind = kindMatch;
        if (!afterMatch && rep && rep <= p) {
            uint32_t repLen = MatchLen(pk.in + p, pk.in + p - rep, pk.length - p);
            if (repLen >= 2 && repLen >= len) len = repLen, offset = rep, kind = kindRepeat;
        }
        if (len < longMatch) break;
        Emit(w, pk.in, p, kind, offset, len, afterMatch);
        rep = offset;
        afterMatch = true;
        p += len;
    }
    return p;
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

    // Everything sized to the input, so that short ones pack quickly too.
    uint32_t window = 64, rowTotal = 64;
    while (window < length && window < windowLimit) window *= 2;
    while (rowTotal < length && rowTotal < rowCount) rowTotal *= 2;
    uint32_t segment = length - 1 < segmentSize ? length - 1 : segmentSize;
    size_t linkBytes = (size_t)window * 2 * sizeof(uint32_t);
    size_t arrivalBytes = (size_t)(segment + 1) * arrivalsPerPosition * sizeof(Arrival);
    uint8_t* block = (uint8_t*)malloc(linkBytes + arrivalBytes + rowTotal * sizeof(Row));
    if (!block) return 0;
    memset(work->nearHead, 0, sizeof work->nearHead);
    memset(work->nearPrev, 0, sizeof work->nearPrev);
    memset(work->treeHead, 0xFF, sizeof work->treeHead);
    Row* rows = (Row*)(block + linkBytes + arrivalBytes);
    for (uint32_t r = 0; r < rowTotal; r++) rows[r].pos = none;
    Packer pk{in, length,
              Finder{in, length, work, (uint32_t*)block, window - 1, 0, rows, rowTotal - 1},
              (Arrival*)(block + linkBytes)};

    // The output never exceeds the codecs' common bound; should the parse ever
    // come close, plain literals (9 bits a byte) are written instead.
    uint64_t bound = (uint64_t)length + length / 8 + 256;
    BitWriter w{out, 0, bound > 0xFFFFFFFFu ? 0xFFFFFFFFu : (uint32_t)bound, 0, 0, false};

    w.Byte(in[0]); // the stream starts with a plain byte
    pk.finder.Advance(false);
    uint32_t p = 1, rep = 0;
    bool afterMatch = false, abandoned = false;
    while (p < length && !w.full) {
        uint32_t end = length - p > segmentSize ? p + segmentSize : length;
        bool longNext = false;
        uint32_t commit = ParseSegment(pk, p, end, rep, afterMatch, &longNext);
        const Arrival* arr = pk.arrivals;
        uint32_t start = p;
        while (p < commit) {
            const Arrival& a = arr[(p - start) * arrivalsPerPosition];
            Emit(w, in, p, a.kind, a.rep, a.len, afterMatch);
            afterMatch = LastWasMatch(a.kind);
            rep = a.rep;
            p += a.len;
        }
        if (longNext) p = EmitLongMatches(pk, w, p, rep, afterMatch);
        if (progress && !progress(p, length)) {
            abandoned = true;
            break;
        }
    }
    free(block);
    if (abandoned) return 0;
    w.Bit(1), w.Bit(1), w.Bit(0);
    w.Byte(0);
    if (w.full) return PackLiterals(in, out, length);
    return w.pos;
}
