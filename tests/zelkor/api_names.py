#!/usr/bin/env python3
"""The scene API's functions, read from zelkor/zelkor.h and the headers it
includes: every declaration marked ZELKOR_API, qualified by its class (one
name a line, sorted). Usage: api_names.py SRC (the source tree's src/)."""
import re
import sys

src = sys.argv[1]
header = open(f"{src}/zelkor/zelkor.h").read()
names = set()
for path in re.findall(r'^#include "([^"]+)"', header, re.M):
    text = open(f"{src}/{path}").read()
    text = re.sub(r"//[^\n]*", "", text)
    # Classes by their braces: a member is named with its class.
    scopes, depth = [], 0
    for token in re.finditer(r"(?:class|struct)\s+(\w+)[^;{]*\{|\{|\}|ZELKOR_API\s+[^;{]*?(~?\w+)\s*\(",
                             text):
        t = token.group(0)
        if t.startswith("ZELKOR_API"):
            names.add("::".join([s for s, _ in scopes] + [token.group(2)]))
        elif t.endswith("{"):
            depth += 1
            if token.group(1):
                scopes.append((token.group(1), depth))
        else:
            if scopes and scopes[-1][1] == depth:
                scopes.pop()
            depth -= 1
print("\n".join(sorted(names)))
