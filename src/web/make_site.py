#!/usr/bin/env python3
"""Lays out the web site: the page, the program (.js and .wasm) and, in
data/, the show's content (its shaders in data/shaders/) with files.json,
the list the page fetches with each file's size for its progress bar. With
--zelkor (a native zelkor), the TGA pictures go into data/pictures.vkz
packed with aPLib, each first made a prediction residual (as PNG's Paeth
filter, one colour plane after another), which the program undoes as it
unpacks them: the same pixels in a third of the bytes.

  make_site.py [--zelkor ZELKOR] SITE SHOW PROGRAM.js PAGE_FILE..."""

import json
import os
import shutil
import stat
import struct
import subprocess
import sys
import tempfile

CONTENT = (".vkz", ".mp3", ".tga", ".bmp", ".rgs")
SHADERS = (".vert", ".frag")


def fail(text):
    print("make_site: " + text, file=sys.stderr)
    sys.exit(1)


def regular(path):
    """A regular file (a link to one is followed); a FIFO or a device would
    block or never end the copy."""
    try:
        return stat.S_ISREG(os.stat(path).st_mode)
    except OSError:
        return False


def check_codecs(path):
    """The web build unpacks aplib (0) and stored (255) entries only: refuse
    an archive that holds others now rather than in the viewer's browser."""
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"VKZ\0" or len(data) < 10:
        fail("%s is not a show archive" % path)
    count, position = struct.unpack_from("<I", data, 6)[0], 10
    for i in range(count):
        if position + 48 > len(data):
            fail("%s is damaged" % path)
        stored, codec = struct.unpack_from("<II", data, position + 40)
        if codec not in (0, 255):
            name = {1: "ucl", 2: "md5", 3: "bzip2"}.get(codec, "codec %d" % codec)
            fail("%s: entry %d of %d is packed with %s, which the web build cannot unpack; pack it "
                 "with zelkor vkz create --codec aplib" % (path, i + 1, count, name))
        position += 48 + stored


def tga_pixels(data):
    """An uncompressed or run-length true-colour TGA as (header of an
    uncompressed one, pixel bytes, what follows them, width, bytes a pixel),
    or None for any other kind (those go as they are)."""
    if len(data) < 18:
        return None
    idlen, colour_map, kind, bpp = data[0], data[1], data[2], data[16] // 8
    width, height = data[12] | data[13] << 8, data[14] | data[15] << 8
    if colour_map or kind not in (2, 10) or bpp not in (2, 3, 4) or not width or not height:
        return None
    at, size = 18 + idlen, width * height * bpp
    if kind == 2:
        if at + size > len(data):
            return None
        return data[:at], data[at:at + size], data[at + size:], width, bpp
    pixels = bytearray()
    while len(pixels) < size:
        if at >= len(data):
            return None
        count = (data[at] & 127) + 1
        if data[at] & 128:
            pixels += data[at + 1:at + 1 + bpp] * count
            at += 1 + bpp
        else:
            pixels += data[at + 1:at + 1 + bpp * count]
            at += 1 + bpp * count
    if len(pixels) != size:
        return None  # a run across the end: not ours to guess
    header = bytearray(data[:18 + data[0]])
    header[2] = 2
    return bytes(header), bytes(pixels), data[at:], width, bpp


def residuals(pixels, width, bpp):
    """Each colour plane in turn, each byte less its Paeth prediction from
    the left, upper and upper-left bytes of its plane (0 outside)."""
    planes = []
    for k in range(bpp):
        plane = pixels[k::bpp]
        out = bytearray(len(plane))
        above = bytes(width)
        for y in range(0, len(plane), width):
            row = plane[y:y + width]
            a = c = 0
            for x in range(width):
                b, v = above[x], row[x]
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                out[y + x] = (v - (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
                a, c = v, b
            above = row
        planes.append(bytes(out))
    return b"".join(planes)


def pack_pictures(zelkor, show, names, archive):
    """The pictures into ARCHIVE (aPLib) as residuals; the names packed."""
    packed, work = [], tempfile.mkdtemp(prefix="zk-site-")
    try:
        arguments = []
        for name in names:
            with open(os.path.join(show, name), "rb") as f:
                picture = tga_pixels(f.read())
            if not picture:
                continue
            header, pixels, tail, width, bpp = picture
            path = os.path.join(work, "%d.res" % len(packed))
            with open(path, "wb") as f:
                f.write(header + residuals(pixels, width, bpp) + tail)
            arguments.append("%s=%s" % (name, path))
            packed.append(name)
        if packed:
            done = subprocess.run([zelkor, "vkz", "create", archive, "--codec", "aplib"] + arguments,
                                  stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
            if done.returncode != 0:
                fail("packing the pictures: %s" % done.stderr.strip())
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return packed


def main():
    arguments = sys.argv[1:]
    zelkor = None
    if arguments[:1] == ["--zelkor"] and len(arguments) > 1:
        zelkor, arguments = arguments[1] or None, arguments[2:]
    if len(arguments) < 3:
        fail("usage: make_site.py [--zelkor ZELKOR] SITE SHOW PROGRAM.js PAGE_FILE...")
    site, show, program, pages = arguments[0], arguments[1], arguments[2], arguments[3:]
    if not regular(os.path.join(show, "data.vkz")):
        fail("no show content in '%s': make it with cmake --build build --target show and "
             "pass -DZK_SHOW_DIR=build/show" % show)
    check_codecs(os.path.join(show, "data.vkz"))
    data = os.path.join(site, "data")
    shutil.rmtree(data, ignore_errors=True)
    os.makedirs(data)
    for path in pages + [program, os.path.splitext(program)[0] + ".wasm"]:
        shutil.copyfile(path, os.path.join(site, os.path.basename(path)))
    listing = []
    names = [n for n in sorted(os.listdir(show)) if n.lower().endswith(CONTENT)]
    # The web build has no libpng: its engine refuses a PNG, and the page goes
    # without one rather than carry what it cannot show.
    for name in sorted(os.listdir(show)):
        if name.lower().endswith(".png"):
            print("make_site: warning: %s: the web build reads no PNG pictures (it has no "
                  "libpng); the page goes without it: make it a .tga for the web"
                  % os.path.join(show, name), file=sys.stderr)
    if os.path.isdir(os.path.join(show, "shaders")):
        os.makedirs(os.path.join(data, "shaders"))
        names += ["shaders/" + n for n in sorted(os.listdir(os.path.join(show, "shaders")))
                  if n.endswith(SHADERS)]
    for name in names:
        path = os.path.join(show, name)
        if not regular(path):
            fail("%s is not a regular file; make the show again" % path)
    pictures = [n for n in names if n.lower().endswith(".tga")]
    packed = pack_pictures(zelkor, show, pictures, os.path.join(data, "pictures.vkz")) if zelkor else []
    for name in names:
        if name in packed:
            continue
        shutil.copyfile(os.path.join(show, name), os.path.join(data, name))
        listing.append({"name": name, "size": os.path.getsize(os.path.join(show, name))})
    if packed:
        size = os.path.getsize(os.path.join(data, "pictures.vkz"))
        listing.append({"name": "pictures.vkz", "size": size, "holds": packed})
    with open(os.path.join(data, "files.json"), "w") as f:
        json.dump(listing, f, indent=1)
        f.write("\n")


main()
