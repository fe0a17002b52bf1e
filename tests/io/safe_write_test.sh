#!/usr/bin/env bash
# Every command that writes a file, into three kinds of output:
#   full  a good file already there, and a write that fails (file-size limit):
#         exit 1, the old file intact, no temporary file left beside it;
#   fifo  a FIFO with a reader: the output arrives and the FIFO stays;
#   dev   a character device whose writes fail, made with mknod (root only):
#         exit 1 and the node stays.
set -u
BUILD=$1
SRC=$2
source "$SRC/tests/lib.sh"
zk_programs "$BUILD"
SYNTH=$BUILD/tools/synth/zksynth
TEXMAKE=$BUILD/tools/texmake/texmake
zk_start_xvfb || exit 1 # for capture
export SDL_AUDIODRIVER=dummy

T=$(mktemp -d)
trap 'kill $ZK_XVFB_PID 2>/dev/null; rm -rf "$T"' EXIT
IN=$T/in
mkdir -p "$IN/show"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# --- inputs: every output below is larger than the 4 KiB limit ---
head -c 100000 /dev/urandom >"$IN/big.bin"
printf 'Plasma 0 1 2 3 4 1 1 1\n' >"$IN/plasma.txt"
"$ZELKOR" rgs asm "$IN/plasma.txt" -o "$IN/plasma.rgs" || exit 1
"$ZELKOR" rgs run "$IN/plasma.rgs" --tga "$IN/pic.tga" >/dev/null || exit 1
for i in $(seq 1 200); do echo "Fill 0 $i"; done >"$IN/long.txt"
for i in $(seq 0 99); do echo "$((i * 10)) 10 scene$((i % 9 + 1))"; done >"$IN/timetable.txt"
"$ZELKOR" vkz create "$IN/big.vkz" --codec stored "$IN/big.bin" >/dev/null || exit 1
printf '0 100000 idle\n' >"$IN/show.txt"
"$ZELKOR" tmg compile "$IN/show.txt" -o "$IN/default.tmg" || exit 1
"$ZELKOR" vkz create "$IN/show/data.vkz" "$IN/default.tmg" >/dev/null || exit 1
printf 'size 256 256\nfill #204060\n' >"$IN/recipe.txt"
printf 'inst p saw\npat a p C3 . . . . . . . . . . . . . . .\nsec one 1 : a\n' >"$IN/score.txt"

# Each writer gets its output path; capture names its frame itself, so its
# output path is always "frame_000000.png" in the folder it is given. A writer
# that waits on its own output (reading back a FIFO) is stopped.
Z=(timeout -k 5 60 "$ZELKOR")
SYNTH=(timeout -k 5 60 "$SYNTH")
TEXMAKE=(timeout -k 5 60 "$TEXMAKE")
w_codec_compress() { "${Z[@]}" codec compress --codec stored "$IN/big.bin" "$1"; }
w_codec_decompress() { "${Z[@]}" codec decompress --codec stored --size 100000 "$IN/big.bin" "$1"; }
w_tex_raw() { "${Z[@]}" tex decode "$IN/pic.tga" --raw "$1"; }
w_rgs_asm() { "${Z[@]}" rgs asm "$IN/long.txt" -o "$1"; }
w_rgs_layers() { "${Z[@]}" rgs run "$IN/plasma.rgs" --layers "$1"; }
w_rgs_tga() { "${Z[@]}" rgs run "$IN/plasma.rgs" --tga "$1"; }
w_rgs_png() { "${Z[@]}" rgs run "$IN/plasma.rgs" --png "$1"; }
w_vkz_extract() { "${Z[@]}" vkz extract "$IN/big.vkz" big.bin -o "$1"; }
w_vkz_create() { "${Z[@]}" vkz create "$1" --codec stored "$IN/big.bin"; }
w_tmg_compile() { "${Z[@]}" tmg compile "$IN/timetable.txt" -o "$1"; }
w_capture() { "${Z[@]}" capture --dir "$IN/show" --size 800x600 --at 0 -o "${1%/*}"; }
w_zksynth() { "${SYNTH[@]}" "$IN/score.txt" -o "$1"; }
w_texmake() { "${TEXMAKE[@]}" "$IN/recipe.txt" -o "$1"; }
WRITERS="codec_compress codec_decompress tex_raw rgs_asm rgs_layers rgs_tga rgs_png vkz_extract
         vkz_create tmg_compile capture zksynth texmake"

kinds="full fifo"
if [ "$(id -u)" = 0 ] && mknod "$T/probe" c 1 7 2>/dev/null; then
    kinds="$kinds dev"
else
    echo "not root or no mknod: the character device cases are skipped"
fi

for w in $WRITERS; do
    for kind in $kinds; do
        dir=$T/$w-$kind
        mkdir -p "$dir"
        out=$dir/out
        [ $w = capture ] && out=$dir/frame_000000.png
        case $kind in
        full)
            printf 'the good old file' >"$out"
            (ulimit -f 4 && "w_$w" "$out") >/dev/null 2>"$T/err"
            status=$?
            [ $status = 1 ] || fail "$w $kind: exit $status, expected 1"
            printf 'the good old file' | cmp -s - "$out" || fail "$w $kind: the old file is gone"
            ;;
        fifo)
            mkfifo "$out"
            timeout 60 cat "$out" >"$T/got" &
            reader=$!
            "w_$w" "$out" >/dev/null 2>"$T/err"
            status=$?
            wait $reader
            [ $status = 0 ] || fail "$w $kind: exit $status: $(cat "$T/err")"
            [ -p "$out" ] || fail "$w $kind: the FIFO is gone"
            [ -s "$T/got" ] || fail "$w $kind: nothing came through the FIFO"
            ;;
        dev)
            mknod "$out" c 1 7 # writes fail with ENOSPC, as on /dev/full
            "w_$w" "$out" >/dev/null 2>"$T/err"
            status=$?
            [ $status = 1 ] || fail "$w $kind: exit $status, expected 1"
            [ -c "$out" ] || fail "$w $kind: the device node is gone"
            ;;
        esac
        [ $status = 0 ] || grep -q "${out##*/}" "$T/err" || fail "$w $kind: no message naming the file: $(cat "$T/err")"
        # Capture's log goes with its output; nothing else may be left here.
        left=$(ls -A "$dir" | grep -vx "${out##*/}")
        [ $w = capture ] && left=$(echo "$left" | grep -vx zelkor.log)
        [ -z "$left" ] || fail "$w $kind: left behind: $left"
    done
done

[ $failures = 0 ] && echo "safe_write: all checks passed"
[ $failures = 0 ]
