#!/usr/bin/env bash
# `zelkor tmg compile|dump` from the command line: round trip, exit codes,
# messages, and a failed compile leaving an existing output alone.
set -u
Z="$1/tools/zelkor/zelkor"
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

printf '0 1000 preload\n1000 500 "credits end"\n1500 100 ende\n' > "$T/a.txt"
"$Z" tmg compile "$T/a.txt" -o "$T/a.tmg" 2>/dev/null || fail "compile"
[ "$(stat -c %s "$T/a.tmg")" = $((8 + 3 * 72)) ] || fail "size"
"$Z" tmg dump "$T/a.tmg" > "$T/b.txt" || fail "dump"
# The dump marks the name no scene is registered under, and compiles back.
sed -i 's/  # warning: .*//' "$T/b.txt"
cmp -s "$T/a.txt" "$T/b.txt" || fail "dump text differs"

# Warnings with line numbers: a misspelt scene, one scene in two places at
# once, an entry past the clock's end; --strict refuses them and writes nothing.
printf '0 3000 preload\n0 15000 Scene1\n15000 15000 scne2\n14000 2000 SCENE1\n15000 100 scene3\n' >"$T/w.txt"
printf '4294967000 1000 scene4\n' >>"$T/w.txt"
"$Z" tmg compile "$T/w.txt" -o "$T/w.tmg" 2>"$T/err" || fail "warnings are no failure"
[ "$(cat "$T/err")" = "zelkor tmg: $T/w.txt: line 3: warning: no scene is registered as 'scne2' (did you mean 'scene2'?)
zelkor tmg: $T/w.txt: line 4: warning: 'SCENE1' overlaps its entry on line 2 (the scene runs twice a frame)
zelkor tmg: $T/w.txt: line 6: warning: START + LENGTH passes 4294967295 ms: the entry never runs" ] ||
    fail "warnings: $(cat "$T/err")"
"$Z" tmg dump "$T/w.tmg" | grep -qx "15000 15000 scne2  # warning: no scene is registered as 'scne2' (did you mean 'scene2'?)" ||
    fail "dump marks the unknown name"
"$Z" tmg dump --scene-names scne2 "$T/w.tmg" | grep -qx "15000 15000 scne2" ||
    fail "dump with a show's own scene names"
"$Z" tmg compile --strict "$T/w.txt" -o "$T/s.tmg" 2>/dev/null; [ $? = 1 ] || fail "--strict status"
[ ! -e "$T/s.tmg" ] || fail "--strict wrote its output"

for args in "" "frobnicate" "compile $T/a.txt" "dump" "dump $T/a.tmg $T/a.tmg"; do
    "$Z" tmg $args 2>/dev/null; [ $? = 2 ] || fail "usage: tmg $args"
done

printf '0 10 a\n5 oops b\n' > "$T/bad.txt"
cp "$T/a.tmg" "$T/keep.tmg"
msg=$("$Z" tmg compile "$T/bad.txt" -o "$T/keep.tmg" 2>&1); [ $? = 1 ] || fail "bad text"
[ "$msg" = "zelkor tmg: $T/bad.txt: line 2: expected a decimal number, not 'oops'" ] ||
    fail "message: $msg"
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
