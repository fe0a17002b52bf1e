#!/usr/bin/env bash
# `zelkor tmg compile|dump` from the command line: exit codes, messages and
# that a failed compile leaves an existing output alone.
set -u
BUILD=$1
Z="$BUILD/tools/zelkor/zelkor"
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

printf '0 1000 preload\n1000 500 "credits end"\n1500 100 ende\n' > "$T/a.txt"
"$Z" tmg compile "$T/a.txt" -o "$T/a.tmg" || fail "compile"
[ "$(stat -c %s "$T/a.tmg")" = $((8 + 3 * 72)) ] || fail "size"
[ "$(head -c 4 "$T/a.tmg" | od -An -c | tr -d ' ')" = 'TMG\0' ] || fail "magic"
"$Z" tmg dump "$T/a.tmg" > "$T/b.txt" || fail "dump"
cmp -s "$T/a.txt" "$T/b.txt" || fail "dump text differs"
"$Z" tmg compile -o "$T/b.tmg" "$T/b.txt" || fail "compile with -o first"
cmp -s "$T/a.tmg" "$T/b.tmg" || fail "round trip"

# Usage errors: 2.
"$Z" tmg 2>/dev/null; [ $? = 2 ] || fail "no subcommand"
"$Z" tmg frobnicate 2>/dev/null; [ $? = 2 ] || fail "unknown subcommand"
"$Z" tmg compile "$T/a.txt" 2>/dev/null; [ $? = 2 ] || fail "compile without -o"
"$Z" tmg dump 2>/dev/null; [ $? = 2 ] || fail "dump without file"
"$Z" tmg dump "$T/a.tmg" "$T/a.tmg" 2>/dev/null; [ $? = 2 ] || fail "dump two files"

# Failures: 1, one line naming the file, and the old output kept.
printf '0 10 a\n5 oops b\n' > "$T/bad.txt"
cp "$T/a.tmg" "$T/keep.tmg"
msg=$("$Z" tmg compile "$T/bad.txt" -o "$T/keep.tmg" 2>&1); [ $? = 1 ] || fail "bad text"
[ "$msg" = "zelkor tmg: $T/bad.txt: line 2: expected a decimal number" ] || fail "message: $msg"
cmp -s "$T/a.tmg" "$T/keep.tmg" || fail "failed compile touched the output"
[ ! -e "$T/keep.tmg.tmp" ] || fail "temp left"
"$Z" tmg compile "$T/missing.txt" -o "$T/x.tmg" 2>/dev/null; [ $? = 1 ] || fail "missing src"
"$Z" tmg compile "$T/a.txt" -o "$T/nodir/x.tmg" 2>/dev/null; [ $? = 1 ] || fail "unwritable"

head -c 223 "$T/a.tmg" > "$T/short.tmg"
msg=$("$Z" tmg dump "$T/short.tmg" 2>&1); [ $? = 1 ] || fail "short"
[ "$msg" = "zelkor tmg: $T/short.tmg: 3 entries need 216 bytes, only 215 follow the header" ] ||
    fail "message: $msg"
printf 'TMGX\0\0\0\0' > "$T/magic.tmg"
"$Z" tmg dump "$T/magic.tmg" 2>/dev/null; [ $? = 1 ] || fail "magic"
printf 'TMG' > "$T/tiny.tmg"
"$Z" tmg dump "$T/tiny.tmg" 2>/dev/null; [ $? = 1 ] || fail "tiny"
printf 'TMG\0\xff\xff\xff\xff' > "$T/count.tmg"
"$Z" tmg dump "$T/count.tmg" 2>/dev/null; [ $? = 1 ] || fail "huge count"
"$Z" tmg dump "$T" 2>/dev/null; [ $? = 1 ] || fail "directory"
echo "tmg cli ok"
