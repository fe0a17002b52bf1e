#!/usr/bin/env bash
# The real show (BUILD/show) captured at one time in each scene, seven eighths
# into its slot: once with the quick catch-up (frames before the lead only
# advance the scenes) and once drawing every frame; each pair must be equal
# pixel for pixel. At 20 frames a second the 120-frame lead of the swirls
# (which draw over their previous frame) starts inside their own slot, so
# their trails are rebuilt from a picture that differs from the reference's;
# a track that lengthens a trail past the lead makes it reach back further.
set -u
BUILD=$(cd "$1" && pwd)
source "$2/tests/lib.sh" # arguments: the build folder, the source folder
zk_e2e_begin "$BUILD"
Z=$ZELKOR work=$ZK_WORK

zk_timetable_text "$Z" "$BUILD/show" "$work/timetable.txt"
at=$(awk '$3 ~ /^(scene[0-9]|creditsend)$/ { printf "%d\n", $1 + int($2 * 0.875) }' \
    "$work/timetable.txt" | paste -sd,)
[ "$(echo "$at" | tr ',' '\n' | wc -l)" -eq 10 ] || zk_fail "expected ten scenes: $at"

# A track that lengthens scene2's trail far past the lead: the catch-up must
# find where the picture owes nothing before, further back.
printf 'bpm 128 rows 4\ntrack scene2.trail\n0 0.99\n' >"$work/long.txt"
for how in quick every; do
    extra=$([ $how = every ] && echo --draw-every-frame)
    "$Z" capture --dir "$BUILD/show" --size 160x120 --sim-fps 20 --at "$at" $extra --quiet \
        -o "$work/$how" >/dev/null || zk_fail "capture ($how) exited $?"
    "$Z" capture --dir "$BUILD/show" --size 160x120 --sim-fps 20 --at 29000 $extra --quiet \
        --tracks "$work/long.txt" -o "$work/$how/long" >/dev/null || zk_fail "long trail ($how)"
done

failures=0
for t in ${at//,/ }; do
    f=frame_$(printf %06d "$t").png
    # compare prints the number of differing pixels on stderr.
    diff=$(compare -metric AE "$work/quick/$f" "$work/every/$f" null: 2>&1)
    [ "$diff" = 0 ] || {
        echo "FAIL: at $t ms $diff pixels differ"
        failures=$((failures + 1))
    }
done
diff=$(compare -metric AE "$work/quick/long/frame_029000.png" "$work/every/long/frame_029000.png" \
    null: 2>&1)
[ "$diff" = 0 ] || { echo "FAIL: with a long trail at 29000 ms $diff pixels differ"; failures=$((failures + 1)); }
[ $failures -eq 0 ] || exit 1
echo "catch_up: ok"
