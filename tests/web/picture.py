"""PNG reading (8-bit grey, RGB or RGBA, not interlaced) and the luma PSNR
of two pictures, with Python's own zlib."""

import math
import struct
import zlib


def read_png(data):
    """(width, height, rows of RGB byte strings)."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack(">I4s", data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
    width, height, depth, colour, _, _, interlace = header
    channels = {0: 1, 2: 3, 6: 4}.get(colour)
    if depth != 8 or not channels or interlace:
        raise ValueError("unsupported PNG (depth %d, colour type %d)" % (depth, colour))
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 255
            elif kind == 2:
                line[i] = (line[i] + up) & 255
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 255
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 255
        previous = line
        if channels == 1:
            rows.append(bytes(b for v in line for b in (v, v, v)))
        elif channels == 4:
            rows.append(bytes(v for i, v in enumerate(line) if i % 4 != 3))
        else:
            rows.append(bytes(line))
    return width, height, rows


def luma_psnr(a, b):
    """PSNR in dB of the BT.601 luma of two same-sized pictures (inf if equal)."""
    (wa, ha, ra), (wb, hb, rb) = a, b
    if (wa, ha) != (wb, hb):
        raise ValueError("sizes differ: %dx%d and %dx%d" % (wa, ha, wb, hb))
    total = 0.0
    for row_a, row_b in zip(ra, rb):
        for i in range(0, len(row_a), 3):
            ya = 0.299 * row_a[i] + 0.587 * row_a[i + 1] + 0.114 * row_a[i + 2]
            yb = 0.299 * row_b[i] + 0.587 * row_b[i + 1] + 0.114 * row_b[i + 2]
            total += (ya - yb) ** 2
    mse = total / (wa * ha)
    return math.inf if mse == 0 else 10 * math.log10(255 * 255 / mse)
