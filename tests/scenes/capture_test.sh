#!/usr/bin/env bash
# `zelkor capture` on a small show folder made here: every built scene gets a
# frame, frames are exact across runs, sizes other than 4:3 get bars, bad
# input fails cleanly.
# Usage: capture_test.sh BUILD_DIR
set -u
BUILD=$(cd "$1" && pwd)
Z=$BUILD/tools/zelkor/zelkor
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
SHOW=$WORK/show
mkdir -p "$SHOW"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}
# One private X server for all the runs below.
. "$(dirname "$0")/../lib.sh"
zk_start_xvfb || exit 1

zk_make_show "$Z" "$SHOW" "$WORK" "# one short slot per scene, then the end
0     1200  preload
0     400   scene1
400   400   scene2
800   400   scene6
1200  400   scene7
1600  400   scene8
2000  400   creditsend
2400  400   scene3
2800  400   scene4
3200  400   scene5
3600  400   scene9
4000  200   ende" || fail "making the show"

# One frame of each scene, some way into its slot.
AT=300,700,1100,1500,1900,2300,2700,3100,3500,3900
"$Z" capture --dir "$SHOW" --size 320x240 --at $AT -o "$WORK/a" >"$WORK/a.out" ||
    fail "capture exited $?"
[ "$(wc -l <"$WORK/a.out")" -eq 10 ] || fail "expected ten frames: $(cat "$WORK/a.out")"
for t in ${AT//,/ }; do
    f=$WORK/a/frame_$(printf %06d $t).png
    [ -f "$f" ] || {
        fail "no frame for $t"
        continue
    }
    read -r w h mean < <(identify -format '%w %h %[fx:mean]\n' "$f")
    [ "$w $h" = "320 240" ] || fail "frame $t is ${w}x$h"
    awk -v m="$mean" 'BEGIN { exit !(m > 0.05) }' || fail "frame $t is dark (mean $mean)"
done
# The printed music time is the first frame at or after the asked time.
awk '{ split($1, p, "_"); t = p[2] + 0; if ($2 < t || $2 >= t + 17) exit 1 }' "$WORK/a.out" ||
    fail "music times: $(cat "$WORK/a.out")"

# Exact: the same frame from a run that asks for it alone, and from a run
# started in the show folder itself.
"$Z" capture --dir "$SHOW" --size 320x240 --at 1500 -o "$WORK/b" >/dev/null ||
    fail "second capture"
cmp -s "$WORK/a/frame_001500.png" "$WORK/b/frame_001500.png" || fail "frame 1500 differs"
(cd "$SHOW" && "$Z" capture --size 320x240 --from 1900 --to 1900 -o "$WORK/c" >/dev/null) ||
    fail "capture from the show folder"
cmp -s "$WORK/a/frame_001900.png" "$WORK/c/frame_001900.png" || fail "frame 1900 differs"

# A frame that is not 4:3 holds the 4:3 picture between black bars, the very
# picture a capture at the picture's size gives: 1280x720 against 960x720 (bars
# left and right, where the wide strokes of the line scenes used to linger) and
# 320x300 against the 320x240 frames above (bars top and bottom).
"$Z" capture --dir "$SHOW" --size 1280x720 --at $AT -o "$WORK/wide" >/dev/null &&
    "$Z" capture --dir "$SHOW" --size 960x720 --at $AT -o "$WORK/mid" >/dev/null &&
    "$Z" capture --dir "$SHOW" --size 320x300 --at $AT -o "$WORK/tall" >/dev/null ||
    fail "captures beside 4:3"
same() { # FRAME CROP OTHER: that part of the frame equals the other frame
    convert "$1" -crop "$2" +repage "$WORK/crop.png" &&
        [ "$(compare -metric AE "$WORK/crop.png" "$3" null: 2>&1)" = 0 ]
}
black() { [ "$(convert "$1" -crop "$2" -format '%[fx:maxima]' info:)" = 0 ]; }
for t in ${AT//,/ }; do
    n=frame_$(printf %06d $t).png
    same "$WORK/wide/$n" 960x720+160+0 "$WORK/mid/$n" || fail "1280x720 at $t: the middle differs"
    black "$WORK/wide/$n" 160x720+0+0 && black "$WORK/wide/$n" 160x720+1120+0 ||
        fail "1280x720 at $t: the side bars are not black"
    same "$WORK/tall/$n" 320x240+0+30 "$WORK/a/$n" || fail "320x300 at $t: the middle differs"
    black "$WORK/tall/$n" 320x30+0+0 && black "$WORK/tall/$n" 320x30+0+270 ||
        fail "320x300 at $t: the bars are not black"
done

# Failures: a time after the end, a folder without an archive, bad usage.
"$Z" capture --dir "$SHOW" --size 64x48 --at 2000,19000 -o "$WORK/d" >/dev/null 2>"$WORK/d.err"
rc=$?; [ $rc -eq 1 ] || fail "capture past the end should exit 1, not $rc: $(cat "$WORK/d.err")"
grep -q "ended" "$WORK/d.err" || fail "no message for the end: $(cat "$WORK/d.err")"
[ -f "$WORK/d/frame_002000.png" ] || fail "the frame before the end was not written"
# A range from the end on is refused at once, saying where the show ends:
# nothing is made (not even the folder) and nothing simulated.
"$Z" capture --dir "$SHOW" --from 0:04.1 --to 5000 -o "$WORK/late" >/dev/null 2>"$WORK/late.err"
rc=$?; [ $rc -eq 1 ] && [ ! -e "$WORK/late" ] &&
    grep -q "the show ends at 0:04.000 (4000 ms).*nothing to capture from 0:04.100 on" \
        "$WORK/late.err" || fail "a range past the end: status $rc: $(cat "$WORK/late.err")"
# Refused as soon, however many stills the range would hold (an address
# space too small to list them all).
(ulimit -v 500000 && "$Z" capture --dir "$SHOW" --from 200000 --to 86400000 --step 1 \
    -o "$WORK/late" 2>"$WORK/late.err")
rc=$?; [ $rc -eq 1 ] && grep -q "the show ends at" "$WORK/late.err" ||
    fail "a long range past the end: status $rc: $(cat "$WORK/late.err")"
# Catching up to a range's start, the progress line (on a terminal) says so.
script -qec "$Z capture --dir $SHOW --size 640x480 --fps 10 --from 3500 --to 3600 -o $WORK/late" \
    /dev/null >"$WORK/late.out" 2>&1
grep -q "simulating up to 0:03.500, [0-9]* %" "$WORK/late.out" ||
    fail "no catch-up line: $(tr '\r' '\n' <"$WORK/late.out")"
mkdir -p "$WORK/empty"
"$Z" capture --dir "$WORK/empty" --at 0 -o "$WORK/e" 2>"$WORK/e.err"
[ $? -eq 1 ] || fail "missing archive should exit 1"
grep -q "data.vkz" "$WORK/e.err" || fail "message does not name data.vkz: $(cat "$WORK/e.err")"
for args in "--at 100" "--at x -o $WORK/f" "--at 1 --from 1 --to 2 -o $WORK/f" \
    "--size 0x10 --at 1 -o $WORK/f" "--from 5 --to 1 -o $WORK/f" "--bogus"; do
    # shellcheck disable=SC2086
    "$Z" capture $args 2>/dev/null
    [ $? -eq 2 ] || fail "usage error not reported for: $args"
done

# A timetable whose entries of one scene overlap draws it again and again
# each frame: refused with tmg compile's words.
mkdir -p "$WORK/twice" && cp "$SHOW"/* "$WORK/twice/" &&
    printf '0 5000 scene5\n0 5000 scene5\n' >"$WORK/twice.txt" &&
    "$Z" tmg compile "$WORK/twice.txt" -o "$WORK/default.tmg" 2>/dev/null &&
    "$Z" vkz create "$WORK/twice/data.vkz" "$WORK/default.tmg" >/dev/null || fail "making the show"
"$Z" capture --dir "$WORK/twice" --size 64x48 --at 100 -o "$WORK/twice-out" 2>"$WORK/twice.err"
rc=$?
[ $rc -eq 1 ] && grep -q "data.vkz: default.tmg: entry 2: 'scene5' overlaps its entry 1" "$WORK/twice.err" ||
    fail "overlapping entries: exit $rc: $(cat "$WORK/twice.err")"

# A read-only show folder captures fine: the log goes with the output and the
# show folder is left as it was (checked by listing, since root may write anyway).
ls -lA --time-style=full-iso "$SHOW" >"$WORK/show.before"
chmod -R a-w "$SHOW"
"$Z" capture --dir "$SHOW" --size 64x48 --at 300 -o "$WORK/g" >/dev/null 2>&1 || fail "stills from a read-only show"
"$Z" capture --dir "$SHOW" --size 64x48 --fps 10 --from 0 --to 500 -o "$WORK/h/v.mkv" \
    2>"$WORK/h.err" && fail "video into a missing folder succeeded"
mkdir -p "$WORK/h"
"$Z" capture --dir "$SHOW" --size 64x48 --fps 10 --from 0 --to 500 -o "$WORK/h/v.mkv" \
    2>"$WORK/h.err" || fail "video from a read-only show: $(cat "$WORK/h.err")"
chmod -R u+w "$SHOW"
ls -lA --time-style=full-iso "$SHOW" | cmp -s - "$WORK/show.before" || fail "the show folder changed"
[ -f "$WORK/g/zelkor.log" ] && [ -f "$WORK/h/zelkor.log" ] || fail "no log beside the output"
[ -s "$WORK/h/v.mkv" ] || fail "no video"
grep -q "sound.mp3.*no sound track" "$WORK/h.err" || fail "no word of the missing sound: $(cat "$WORK/h.err")"

# Bad video arguments leave nothing behind; an unknown video format is not
# taken for a folder of PNGs.
mkdir -p "$WORK/bad"
for args in "-o $WORK/bad/v.avi" "--size 321x240 -o $WORK/bad/v.mp4" "--fps 0 -o $WORK/bad/v.mp4" \
    "-o $WORK/bad/none/v.mp4" "--at 100 -o $WORK/bad/v.mp4" "--crf 60 -o $WORK/bad/v.mp4" \
    "-o $WORK/bad/v.xyz" "-o $WORK/bad/.mp4"; do
    # shellcheck disable=SC2086
    "$Z" capture --dir "$SHOW" --from 0 --to 500 $args 2>/dev/null
    rc=$?
    [ $rc -eq 1 ] || [ $rc -eq 2 ] || fail "bad video arguments exit $rc: $args"
done
[ -z "$(ls -A "$WORK/bad")" ] || fail "bad arguments left files: $(ls -A "$WORK/bad")"
"$Z" capture --dir "$SHOW" --at 100 -o /dev/full 2>"$WORK/full.err"
rc=$?
[ $rc -eq 2 ] && grep -q "neither a folder nor a video name.*/dev/full" "$WORK/full.err" ||
    fail "-o /dev/full: exit $rc: $(cat "$WORK/full.err")"

# Over what is there: a zelkor.log that is a link fails the start and its
# target is left alone; a video keeps its mode, a link to one stays a link,
# and SIGTERM or SIGHUP half-way leaves the old video and no temporary file.
mkdir -p "$WORK/over/stills"
printf 'keep me' >"$WORK/over/precious"
ln -s "$WORK/over/precious" "$WORK/over/stills/zelkor.log"
"$Z" capture --dir "$SHOW" --size 64x48 --at 300 -o "$WORK/over/stills" >/dev/null 2>"$WORK/over.err"
rc=$?
[ $rc -eq 1 ] && grep -q "zelkor.log.*symbolic link" "$WORK/over.err" ||
    fail "a linked log: exit $rc: $(cat "$WORK/over.err")"
[ "$(cat "$WORK/over/precious")" = "keep me" ] || fail "the log's link target was written"
video() { "$Z" capture --dir "$SHOW" --size 64x48 --fps 10 --from 0 --to "$2" --quiet -o "$1" 2>>"$WORK/over.err"; }
video "$WORK/over/v.mkv" 500 && chmod 600 "$WORK/over/v.mkv" && video "$WORK/over/v.mkv" 800 &&
    ln -s v.mkv "$WORK/over/link.mkv" && video "$WORK/over/link.mkv" 700 ||
    fail "videos over videos: $(cat "$WORK/over.err")"
[ -L "$WORK/over/link.mkv" ] || fail "the link was replaced by a file"
[ "$(stat -c %a "$WORK/over/v.mkv")" = 600 ] || fail "mode $(stat -c %a "$WORK/over/v.mkv"), not 600"
cp "$WORK/over/v.mkv" "$WORK/over/v.before"
# The signal comes once the new video's temporary file is there, over a range
# long enough that the capture is still making it then, whichever backend draws.
for sig in TERM HUP; do
    "$Z" capture --dir "$SHOW" --size 64x48 --fps 60 --from 0 --to 60000 --quiet \
        -o "$WORK/over/v.mkv" 2>>"$WORK/over.err" &
    pid=$!
    zk_wait_for 30 sh -c "ls -A '$WORK/over' | grep -q '^\.v\.mkv\..*\.tmp$'"
    kill -$sig $pid
    wait $pid
    left=$(ls -A "$WORK/over" | grep tmp)
    [ -z "$left" ] || fail "SIG$sig left $left"
    cmp -s "$WORK/over/v.mkv" "$WORK/over/v.before" || fail "SIG$sig changed the old video"
    rm -f "$WORK/over/zelkor.log"
done

[ $failures -eq 0 ] && echo "capture_test: all checks passed"
[ $failures -eq 0 ]
