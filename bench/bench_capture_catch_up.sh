#!/usr/bin/env bash
# Whole-program figures of zelkor capture on the built show, before (every
# frame drawn from music time 0: --draw-every-frame) and after (the catch-up
# that only simulates up to the lead) side by side in one run, as wall and
# CPU seconds (user + system of the process and its threads; on a shared
# machine CPU is the steadier figure):
#   a still at 2:30 at 640x480;
#   a 3-second clip from 0:45 to .mp4 at 640x480;
#   the export speed, as a multiple of real time, and the file's size, of a
#   range (default the whole show) to a 60 fps .mp4 with each backend and
#   preset (realtime, the default, against x264's superfast), at 640x480,
#   1280x720 and 1920x1080.
# Usage: bench/bench_capture_catch_up.sh BUILD [FROM TO]   (FROM TO in ms;
# the export part is slow: minutes a size on two cores)
# Runs on SDL's offscreen driver when no display is set.
set -u
BUILD=${1:?usage: $0 BUILD [FROM TO]}
FROM=${2:-0}
TO=${3:-159375}
Z=$BUILD/tools/zelkor/zelkor
SHOW=$BUILD/show
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# run NAME ARGS...: one capture, its wall and CPU seconds on one line.
run() {
    local name=$1
    shift
    /usr/bin/time -f "%e %U %S" -o "$work/time" "$Z" capture --dir "$SHOW" --quiet "$@" \
        >/dev/null 2>"$work/err" || { echo "$name: failed: $(cat "$work/err")"; return 1; }
    awk -v n="$name" '{ printf "  %-44s %8.2f s wall %8.2f s CPU\n", n, $1, $2 + $3 }' "$work/time"
}

echo "still at 2:30, 640x480:"
run "before (every frame drawn)" --size 640x480 --at 150000 --draw-every-frame -o "$work/a"
run "after (catch-up)" --size 640x480 --at 150000 -o "$work/b"
cmp -s "$work/a/frame_150000.png" "$work/b/frame_150000.png" && echo "  the two stills are equal"

echo "3-second clip from 0:45, 640x480 .mp4:"
run "before (every frame drawn)" --size 640x480 --from 45000 --to 48000 --draw-every-frame \
    -o "$work/a.mp4"
run "after (catch-up)" --size 640x480 --from 45000 --to 48000 -o "$work/b.mp4"

span=$(awk -v f="$FROM" -v t="$TO" 'BEGIN { print (t - f) / 1000 }')
echo "export of $FROM-$TO ms ($span s of show) to a 60 fps .mp4 (crf 18):"
for size in 640x480 1280x720 1920x1080; do
    for renderer in fixed modern; do
        for preset in realtime superfast; do
            name="$size $renderer $preset"
            line=$(run "$name" --size $size --from "$FROM" --to "$TO" --renderer $renderer \
                --preset $preset -o "$work/v.mp4") || { echo "$line"; continue; }
            wall=$(echo "$line" | awk '{ print $(NF-5) }')
            bytes=$(stat -c %s "$work/v.mp4")
            echo "$line  $(awk -v s="$span" -v w="$wall" -v b="$bytes" \
                'BEGIN { printf "%.2fx real time %6.1f MB", s / w, b / 1e6 }')"
        done
    done
done
