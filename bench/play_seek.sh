#!/usr/bin/env bash
# zelkor play's seek as the person at the keyboard meets it: Right (+2 s)
# pressed while the show plays inside a swirl, then the time from the key to
# the window's title telling the new time (the fast picture is shown with
# it), and to the title dropping "[exact pending]" (the exact picture shown).
# Each run presses the key once, a few seconds after the last; the figures
# are each run's and their median. On a private Xvfb, the build's show, SDL's
# dummy audio driver.
#   bench/play_seek.sh [BUILD] [--at MS] [--window WxH] [--runs N]
set -u
here=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$here/build}" && pwd)
[ $# -gt 0 ] && shift
at=96000 window=800x600 runs=5
while [ $# -gt 0 ]; do
    case "$1" in
    --at) at=$2; shift 2 ;;
    --window) window=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    *) echo "play_seek.sh: unknown argument $1" >&2; exit 2 ;;
    esac
done
source "$here/tests/lib.sh"
zk_programs "$build"
zk_start_xvfb || exit 1
export SDL_AUDIODRIVER=dummy LIBGL_ALWAYS_SOFTWARE=1
log=$(mktemp)
"$ZELKOR" play --dir "$build/show" --at "$at" --window="$window" 2>"$log" &
pid=$!
trap 'kill $pid 2>/dev/null; rm -f "$log"' EXIT
zk_wait_for 60 sh -c "xwininfo -root -tree | grep -q '\"zelkor play  '" ||
    { echo "play_seek.sh: no window: $(cat "$log")" >&2; exit 1; }
win=$(xwininfo -root -tree | awk '/"zelkor play  / { print $1; exit }')
title() { xprop -id "$win" _NET_WM_NAME 2>/dev/null | sed 's/^[^"]*"//; s/"$//'; }
# Read while the title is being set, the property may come back empty.
pending() { local t; t=$(title); [ -z "$t" ] || [[ $t == *"exact pending"* ]]; }
ms() { echo $(($(date +%s%N) / 1000000)); }
unchanged() { local t; t=$(title); [ -z "$t" ] || [ "$(echo "$t" | awk '{ print $3 }')" = "$1" ]; }
settle() { while pending; do sleep 0.05; done; sleep 2; }
settle
printf 'zelkor play, %s, Right from about %d ms (ms from the key)\n' "$window" "$at"
printf '  %-6s %12s %16s\n' run "new time" "exact picture"
firsts=() exacts=()
for run in $(seq 1 "$runs"); do
    before=$(title | awk '{ print $3 }')
    xdotool windowfocus --sync "$win" >/dev/null 2>&1
    t0=$(ms)
    xdotool key Right
    while unchanged "$before"; do :; done
    t1=$(ms)
    while pending; do :; done
    t2=$(ms)
    firsts+=($((t1 - t0))) exacts+=($((t2 - t0)))
    printf '  %-6d %12d %16d\n' "$run" $((t1 - t0)) $((t2 - t0))
    sleep 2
    # Back where the runs began, so each seeks into the same stretch.
    xdotool key Left Left Left
    settle
done
median() { printf '%s\n' "$@" | sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }
printf '  %-6s %12d %16d\n' median "$(median "${firsts[@]}")" "$(median "${exacts[@]}")"
