#!/usr/bin/env bash
# `zelkor trk compile|dump` from the command line: round trip, exit codes,
# messages naming the file and the line or offset, and a failed compile
# leaving an existing output alone.
set -u
Z="$1/tools/zelkor/zelkor"
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

printf 'bpm 128 rows 4\ntrack global.fade\n0 0 smooth\n16 1\ntrack "a b"\n' >"$T/a.txt"
"$Z" trk compile "$T/a.txt" -o "$T/a.trk" || fail "compile"
"$Z" trk dump "$T/a.trk" >"$T/b.txt" || fail "dump"
"$Z" trk compile "$T/b.txt" -o "$T/b.trk" && cmp -s "$T/a.trk" "$T/b.trk" || fail "round trip"

printf 'bpm 128 rows 4\ntrack x\n4 1\n2 0\n' >"$T/bad.txt"
cp "$T/a.trk" "$T/keep.trk"
msg=$("$Z" trk compile "$T/bad.txt" -o "$T/keep.trk" 2>&1); [ $? = 1 ] || fail "bad text"
[ "$msg" = "zelkor trk: $T/bad.txt: line 4: rows out of order (each key's row must be after the one before)" ] ||
    fail "message: $msg"
cmp -s "$T/a.trk" "$T/keep.trk" || fail "a failed compile touched the output"
printf 'bpm 128 rows 4\ntrack x\n0 +-1\n' >"$T/sign.txt"
msg=$("$Z" trk compile "$T/sign.txt" -o "$T/sign.trk" 2>&1); [ $? = 1 ] || fail "0 +-1 taken"
[ "$msg" = "zelkor trk: $T/sign.txt: line 3: expected a number" ] || fail "message: $msg"

head -c 40 "$T/a.trk" >"$T/cut.trk"
msg=$("$Z" trk dump "$T/cut.trk" 2>&1); [ $? = 1 ] || fail "cut file"
[ "$msg" = "zelkor trk: $T/cut.trk: offset 39: cut short: 24 bytes needed for the keys, 1 left" ] ||
    fail "message: $msg"
"$Z" trk dump "$T/missing.trk" 2>/dev/null; [ $? = 1 ] || fail "missing file"

for args in "" "frobnicate" "compile $T/a.txt" "compile $T/a.txt -o" "dump" "dump $T/a.trk $T/a.trk"; do
    "$Z" trk $args 2>/dev/null; [ $? = 2 ] || fail "usage: trk $args"
done
echo "trk cli ok"
