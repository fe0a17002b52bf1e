// bzip2 through libbz2's buffer-to-buffer calls, 900 k blocks.
#include "archive/codecs.h"

#include <bzlib.h>

#include <vector>

int VKZ_CodecBzip2::Compress(const void* source, uint32_t length, void* destination) {
    int bound = MaxCompressedSize(length);
    if (bound < 0) return -1;
    unsigned int outLength = (unsigned int)bound;
    char empty = 0; // the library refuses a null source even when it is empty
    int r = BZ2_bzBuffToBuffCompress((char*)destination, &outLength,
                                     length ? (char*)source : &empty, length, 9, 0, 0);
    return r == BZ_OK ? (int)outLength : -1;
}

// A library error is a failure (-1), not the unchanged destination length.
int VKZ_CodecBzip2::Decompress(const void* source, uint32_t sourceLength, void* destination,
                               uint32_t destinationLength) {
    unsigned int outLength = destinationLength;
    int r = BZ2_bzBuffToBuffDecompress((char*)destination, &outLength, (char*)source, sourceLength,
                                       0, 0);
    if (r != BZ_OK || outLength > 0x7FFFFFFF) return -1;
    return (int)outLength;
}

// As Decompress, through the library's stream calls a piece at a time: the
// output is never held, so an entry's size costs time, not memory.
int64_t VKZ_CodecBzip2::DecompressStream(VKZ_StreamIO* io, uint32_t sourceLength,
                                         uint32_t destinationLength) {
    enum : uint32_t { PIECE = 1 << 16 };
    bz_stream s = {};
    if (BZ2_bzDecompressInit(&s, 0, 0) != BZ_OK) return -1;
    std::vector<char> in(PIECE), out(PIECE);
    uint32_t left = sourceLength;
    int64_t total = 0;
    for (;;) {
        if (s.avail_in == 0 && left) {
            int n = io->read(io->user, (uint8_t*)in.data(), left < PIECE ? left : PIECE);
            if (n <= 0) {
                total = -1;
                break;
            }
            s.next_in = in.data();
            s.avail_in = (unsigned)n;
            left -= (uint32_t)n;
        }
        s.next_out = out.data();
        s.avail_out = PIECE;
        int r = BZ2_bzDecompress(&s);
        uint32_t made = PIECE - s.avail_out;
        total += made;
        // More than the entry holds, damage, or a stream that ends early.
        if ((r != BZ_OK && r != BZ_STREAM_END) || total > destinationLength ||
            (made && !io->write(io->user, (const uint8_t*)out.data(), made)) ||
            (r == BZ_OK && !made && !s.avail_in && !left)) {
            total = -1;
            break;
        }
        if (r == BZ_STREAM_END) break;
    }
    BZ2_bzDecompressEnd(&s);
    return total;
}
