#!/usr/bin/env bash
# `zelkor tmg compile|dump` from the command line: round trip, exit codes,
# messages, and a failed compile leaving an existing output alone.
set -u
Z="$1/tools/zelkor/zelkor"
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

printf '0 1000 preload\n1000 500 "credits end"\n1500 100 ende\n' > "$T/a.txt"
"$Z" tmg compile "$T/a.txt" -o "$T/a.tmg" || fail "compile"
[ "$(stat -c %s "$T/a.tmg")" = $((8 + 3 * 72)) ] || fail "size"
"$Z" tmg dump "$T/a.tmg" > "$T/b.txt" || fail "dump"
cmp -s "$T/a.txt" "$T/b.txt" || fail "dump text differs"

for args in "" "frobnicate" "compile $T/a.txt" "dump" "dump $T/a.tmg $T/a.tmg"; do
    "$Z" tmg $args 2>/dev/null; [ $? = 2 ] || fail "usage: tmg $args"
done

printf '0 10 a\n5 oops b\n' > "$T/bad.txt"
cp "$T/a.tmg" "$T/keep.tmg"
msg=$("$Z" tmg compile "$T/bad.txt" -o "$T/keep.tmg" 2>&1); [ $? = 1 ] || fail "bad text"
[ "$msg" = "zelkor tmg: $T/bad.txt: line 2: expected a decimal number" ] || fail "message: $msg"
cmp -s "$T/a.tmg" "$T/keep.tmg" || fail "failed compile touched the output"
"$Z" tmg compile "$T/a.txt" -o "$T/nodir/x.tmg" 2>/dev/null; [ $? = 1 ] || fail "unwritable"

head -c 223 "$T/a.tmg" > "$T/short.tmg"
msg=$("$Z" tmg dump "$T/short.tmg" 2>&1); [ $? = 1 ] || fail "short"
[ "$msg" = "zelkor tmg: $T/short.tmg: 3 entries need 216 bytes, only 215 follow the header" ] ||
    fail "message: $msg"
printf 'TMGX\0\0\0\0' > "$T/magic.tmg"
for f in "$T/magic.tmg" "$T/missing.tmg" "$T"; do
    "$Z" tmg dump "$f" 2>/dev/null; [ $? = 1 ] || fail "dump $f"
done
echo "tmg cli ok"
