#!/usr/bin/env bash
# zelkor rgs asm|disasm|run and tex decode: outputs, exit codes and messages.
set -euo pipefail
Z="$1/tools/zelkor/zelkor"
T=$(mktemp -d)
trap 'rm -rf "$T"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
status() { set +e; "$@" >"$T/out" 2>"$T/err"; echo $?; set -e; }

cat >"$T/a.txt" <<'SRC'
# clouds
FractalNoise 0 32 5 128 1234 1 1 1
Colorize 0 210 0.5
Fill 1 #80ff00
CombineAdd 0 0 1 1 0.25
SRC
"$Z" rgs asm "$T/a.txt" -o "$T/a.rgs"
[ "$(head -c 4 "$T/a.rgs" | od -An -tx1 | tr -d ' ')" = 52475304 ] || fail "magic and count"
[ "$(stat -c %s "$T/a.rgs")" = $((4 + 33 * 4)) ] || fail "script size"
"$Z" rgs disasm "$T/a.rgs" >"$T/a2.txt"
"$Z" rgs asm "$T/a2.txt" -o "$T/a2.rgs"
cmp "$T/a.rgs" "$T/a2.rgs" || fail "disasm output assembles to other bytes"

# Two scripts run in one process: the second sees what the first left.
printf 'Noise 1 8 256 0 1 1 1\nCombineXor 0 0 1 1 1\n' >"$T/b.txt"
"$Z" rgs asm "$T/b.txt" -o "$T/b.rgs"
"$Z" rgs run "$T/a.rgs" "$T/b.rgs" --layers "$T/l.raw" --tga "$T/l.tga" --png "$T/l.png" >"$T/run"
[ "$(stat -c %s "$T/l.raw")" = 983040 ] || fail "layers size"
tail -n1 "$T/run" | grep -Eq '^random [0-9]+$' || fail "random line: $(cat "$T/run")"
first=$(tail -n1 "$T/run")
"$Z" rgs run "$T/a.rgs" "$T/b.rgs" | tail -n1 | grep -qx "$first" || fail "runs differ"
"$Z" rgs run "$T/b.rgs" | tail -n1 | grep -qx "random 0" || fail "fresh state not zero"
[ "$(head -c 8 "$T/l.png" | od -An -tx1 | tr -d ' ')" = 89504e470d0a1a0a ] || fail "png signature"

# Text runs as its compiled form does; any layer goes to PNG, or all five.
"$Z" rgs run "$T/a.txt" "$T/b.txt" --png "$T/l1.png" --layer 1 --png-all "$T/all-" >"$T/run2"
cmp -s "$T/run" "$T/run2" || fail "text form ran differently"
cmp -s "$T/l1.png" "$T/all-1.png" || fail "--layer 1 is not layer 1 of --png-all"
cmp -s "$T/l.png" "$T/all-0.png" || fail "--png-all layer 0 differs from --png"
[ -e "$T/all-4.png" ] || fail "--png-all wrote no layer 4"

# The TGA written by run decodes back to layer 0.
[ "$("$Z" tex decode "$T/l.tga" --raw "$T/t.raw")" = "256 256 rgb" ] || fail "tex decode"
head -c 196608 "$T/l.raw" | cmp - "$T/t.raw" || fail "tga is not layer 0"
[ "$("$Z" tex decode "$T/a.rgs")" = "256 256 rgb" ] || fail "rgs decode"
# --png: the picture as the show shows it, the right way up: the same as
# rgs run makes of the layer the TGA was written from.
"$Z" tex decode "$T/l.tga" --png "$T/d.png" >/dev/null || fail "tex decode --png"
cmp -s "$T/d.png" "$T/l.png" || fail "tex decode --png differs from rgs run --png"

# Failures name the file; a rejected script does not stop the others.
printf 'rgs\0' >"$T/bad.rgs"
[ "$(status "$Z" rgs run "$T/bad.rgs" "$T/b.rgs" --layers "$T/m.raw")" = 1 ] || fail "bad script status"
grep -q "bad.rgs" "$T/err" || fail "bad script message"
tail -n1 "$T/out" | grep -Eq '^random [0-9]+$' || fail "run went on"
# ... but nothing is written from a run that failed: no black picture.
[ ! -e "$T/m.raw" ] || fail "layers written after a rejected script"
[ "$(status "$Z" rgs run "$T/a.txt" "$T/bad.rgs" --png "$T/m.png")" = 1 ] && [ ! -e "$T/m.png" ] ||
    fail "a picture written after a rejected script"
printf 'Fill 0 1\nSwirly 0\n' >"$T/c.txt"
[ "$(status "$Z" rgs asm "$T/c.txt" -o "$T/c.rgs")" = 1 ] || fail "asm error status"
grep -q "c.txt: line 2" "$T/err" || fail "asm message: $(cat "$T/err")"
# A truncated file the show still takes: both commands warn and succeed.
head -c 60 "$T/a.rgs" >"$T/short.rgs"
[ "$(status "$Z" rgs disasm "$T/short.rgs")" = 0 ] || fail "short disasm status"
grep -q "short.rgs: warning" "$T/err" || fail "short disasm warning: $(cat "$T/err")"
[ "$(status "$Z" rgs run "$T/short.rgs")" = 0 ] || fail "short run status"
grep -q "short.rgs: warning" "$T/err" || fail "short run warning: $(cat "$T/err")"
printf '\0\0\12\0\0\0\0\0\0\0\0\0\2\0\2\0\30\0\201\1\2' >"$T/cut.tga"
[ "$(status "$Z" tex decode "$T/cut.tga")" = 0 ] || fail "short tga status"
grep -q "cut.tga: warning" "$T/err" || fail "short tga warning: $(cat "$T/err")"
printf 'P5 junk' >"$T/x.png"
[ "$(status "$Z" tex decode "$T/x.png")" = 1 ] || fail "unknown extension"
printf '\0\0\3\0\0\0\0\0\0\0\0\0\4\0\4\0\10\0' >"$T/grey.TGA"
[ "$(status "$Z" tex decode "$T/grey.TGA")" = 1 ] || fail "8-bit tga"
grep -q "grey.TGA" "$T/err" || fail "tga message"
[ "$(status "$Z" tex decode "$T/missing.bmp")" = 1 ] || fail "missing file"
# A device is read only as far as a file of its kind can need (not to 2 GiB),
# named directly or through a link: peak memory (GNU time, KB) stays low.
ln -s /dev/zero "$T/zero.tga"
for args in "rgs run /dev/zero" "rgs asm /dev/zero -o $T/z.rgs" "tex decode $T/zero.tga"; do
    # shellcheck disable=SC2086
    [ "$(status /usr/bin/time -f %M -o "$T/peak" "$Z" $args)" = 1 ] &&
        grep -q "zero.*: file too large" "$T/err" && [ "$(tail -n1 "$T/peak")" -lt 500000 ] ||
        fail "$args: $(cat "$T/err" "$T/peak")"
done
[ "$(status "$Z" tex decode)" = 2 ] || fail "tex usage"
[ "$(status "$Z" rgs run)" = 2 ] || fail "run usage"
[ "$(status "$Z" rgs asm "$T/a.txt")" = 2 ] || fail "asm usage"
echo "1 passed, 0 failed"
