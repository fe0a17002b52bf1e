#!/usr/bin/env python3
"""Lays out the web site: the page, the program (.js and .wasm) and, in
data/, the show's content (its shaders in data/shaders/) with files.json,
the list the page fetches with each file's size for its progress bar.

  make_site.py SITE SHOW PROGRAM.js PAGE_FILE..."""

import json
import os
import shutil
import stat
import struct
import sys

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


def main():
    if len(sys.argv) < 4:
        fail("usage: make_site.py SITE SHOW PROGRAM.js PAGE_FILE...")
    site, show, program, pages = sys.argv[1], sys.argv[2], sys.argv[3], sys.argv[4:]
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
    if os.path.isdir(os.path.join(show, "shaders")):
        os.makedirs(os.path.join(data, "shaders"))
        names += ["shaders/" + n for n in sorted(os.listdir(os.path.join(show, "shaders")))
                  if n.endswith(SHADERS)]
    for name in names:
        path = os.path.join(show, name)
        if not regular(path):
            fail("%s is not a regular file; make the show again" % path)
        shutil.copyfile(path, os.path.join(data, name))
        listing.append({"name": name, "size": os.path.getsize(path)})
    with open(os.path.join(data, "files.json"), "w") as f:
        json.dump(listing, f, indent=1)
        f.write("\n")


main()
