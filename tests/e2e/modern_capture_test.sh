#!/usr/bin/env bash
# The real show (BUILD/show) captured at 640x480 with the fixed and with the
# modern draw backend, three times in each scene: each pair of frames within
# a luma PSNR of 30 dB. Prints each frame's figure. Both runs simulate at 10
# frames a second: the same frames for both, at a sixth of the cost of 60.
set -u
BUILD=$1
SRC=$2
source "$SRC/tests/lib.sh"
zk_start_xvfb || exit 1
Z=$BUILD/tools/zelkor/zelkor
work=$(mktemp -d)
trap 'kill $ZK_XVFB_PID 2>/dev/null; rm -rf "$work"' EXIT

# START LENGTH NAME of each scene in the timetable, then a fifth, half and
# seven eighths of the way into its slot.
zk_timetable_text "$Z" "$BUILD/show" "$work/timetable.txt"
awk '$3 ~ /^(scene[0-9]|creditsend)$/ {
         for (i = 0; i < 3; i++) printf "%s %d\n", $3, $1 + int($2 * (i == 0 ? 0.2 : i == 1 ? 0.5 : 0.875))
     }' "$work/timetable.txt" >"$work/times"
[ "$(wc -l <"$work/times")" -eq 30 ] || zk_fail "expected ten scenes: $(cat "$work/timetable.txt")"
at=$(awk '{ print $2 }' "$work/times" | paste -sd,)

for r in fixed modern; do
    "$Z" capture --dir "$BUILD/show" --size 640x480 --sim-fps 10 --at "$at" --renderer $r \
        --quiet -o "$work/$r" >/dev/null || zk_fail "capture --renderer $r exited $?"
done

failures=0
while read -r scene t; do
    f=frame_$(printf %06d "$t").png
    for r in fixed modern; do
        convert "$work/$r/$f" -grayscale Rec601Luma "$work/$r-luma.png" || zk_fail "no $r $f"
    done
    # compare prints the figure on stderr ("inf" for equal frames) and exits 1 when they differ.
    psnr=$(compare -metric PSNR "$work/fixed-luma.png" "$work/modern-luma.png" null: 2>&1)
    echo "$scene $t $psnr dB"
    awk -v p="$psnr" 'BEGIN { exit !(p == "inf" || p + 0 >= 30) }' || {
        echo "FAIL: $scene at $t: $psnr dB"
        failures=$((failures + 1))
    }
done <"$work/times"
[ $failures -eq 0 ] || exit 1
echo "modern_capture: ok"
